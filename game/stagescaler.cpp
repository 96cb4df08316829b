// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/stagescaler.h"

#include "assets/stagepicture.h"
#include "platform/platform.h"
#include "widgets/ClassicFrame.h"
#include "widgets/FocusFrameStyle.h"

#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// The stage's size in the window, in pixels.
constexpr int kStageWidth = 15330 / platform::kTwipsPerPixel, kStageHeight = 6225 / platform::kTwipsPerPixel;
// Message boxes, the name prompt and the editor grow with the stage up to this.
constexpr qreal kLargestDialogScale = 2;

QSize stageSize(qreal factor)
{
    return QSize(qRound(kStageWidth * factor), qRound(kStageHeight * factor));
}

} // namespace

StageScaler::StageScaler(QWidget& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("stageScaler"));
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_F11), &window);
    connect(toggle, &QShortcut::activated, this, &StageScaler::toggleFullScreen);
    m_leaveFullScreen = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    m_leaveFullScreen->setEnabled(false); // Escape means nothing to the window
    connect(m_leaveFullScreen, &QShortcut::activated, this, &StageScaler::toggleFullScreen);
    window.installEventFilter(this);
}

qreal StageScaler::fullScreenFactor(QSize screen)
{
    return std::min(qreal(screen.width()) / kStageWidth, qreal(screen.height()) / kStageHeight);
}

qreal StageScaler::dialogScaleFor(qreal stageFactor)
{
    return std::clamp(stageFactor, qreal(1), kLargestDialogScale);
}

void StageScaler::toggleFullScreen()
{
    if (m_window.isFullScreen()) {
        m_window.showNormal(); // the state change gives the window back as it was
        return;
    }
    lay(1, QPoint()); // remembers every control as built
    m_windowGeometry = m_window.geometry();
    // A window manager makes only a resizable window full screen.
    m_window.setMinimumSize(0, 0);
    m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_leaveFullScreen->setEnabled(true);
    m_window.showFullScreen(); // the resize lays the stage out for the size granted
}

void StageScaler::setScale(qreal factor)
{
    if (!m_window.isFullScreen())
        lay(factor, QPoint());
}

QRect StageScaler::stageRect() const { return QRect(m_origin, stageSize(m_factor)); }

void StageScaler::lay(qreal factor, QPoint origin)
{
    m_factor = factor;
    m_origin = origin;
    platform::scaleControls(m_window, factor, origin);
    for (FocusFrameStyle* focus : m_window.findChildren<FocusFrameStyle*>(Qt::FindDirectChildrenOnly))
        focus->setScale(factor);
    for (ClassicFrame* frame : m_window.findChildren<ClassicFrame*>())
        frame->setScale(factor);
    platform::setDialogScale(m_window.isFullScreen() ? dialogScaleFor(factor) : 1);
    m_window.update();
}

bool StageScaler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        if (m_window.isFullScreen()) {
            const qreal factor = fullScreenFactor(m_window.size());
            const QSize stage = stageSize(factor);
            lay(factor, QPoint((m_window.width() - stage.width()) / 2, (m_window.height() - stage.height()) / 2));
        }
        break;
    case QEvent::WindowStateChange:
        // Out of full screen, by F11, Escape or the window manager: the window
        // as it was, fixed size and place included.
        if (!m_window.isFullScreen() && m_leaveFullScreen->isEnabled()) {
            m_leaveFullScreen->setEnabled(false);
            lay(1, QPoint());
            m_window.setGeometry(m_windowGeometry);
        }
        break;
    case QEvent::Paint:
        paint(); // the window itself paints nothing over it
        break;
    default:
        break;
    }
    return false;
}

const QImage& StageScaler::picture() const
{
    // At 100 % the part of the picture the window shows, the pixels of
    // background.png; at any other scale it is drawn afresh for the device
    // pixels and kept for that scale.
    static QHash<QPair<qreal, qreal>, QImage> drawn;
    const qreal ratio = m_window.devicePixelRatioF(), scale = m_factor * ratio;
    if (scale == 1) {
        static const QImage asBuilt = stagepicture::drawShown(stageSize(1));
        return asBuilt;
    }
    auto it = drawn.find({m_factor, ratio});
    if (it == drawn.end()) {
        const QSize stage = stageSize(m_factor);
        QImage drawnNow =
            stagepicture::draw(scale, QSize(std::ceil(stage.width() * ratio), std::ceil(stage.height() * ratio)));
        drawnNow.setDevicePixelRatio(ratio);
        it = drawn.insert({m_factor, ratio}, drawnNow);
    }
    return *it;
}

void StageScaler::paint()
{
    // The picture unstretched from the stage's top-left corner, clipped by the
    // stage; black around it.
    QPainter p(&m_window);
    p.fillRect(m_window.rect(), Qt::black);
    p.setClipRect(stageRect());
    p.drawImage(m_origin, picture());
}
