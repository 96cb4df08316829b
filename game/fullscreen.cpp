// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The stage at any size: full screen on F11 (Escape or F11 leave it), the
// whole stage scaled by one factor and centred on black, and the background
// picture drawn for the device pixels it covers.
#include "game/frmQuiz.h"

#include "assets/stagepicture.h"
#include "platform/platform.h"

#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QShortcut>
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

qreal frmQuiz::fullScreenFactor(QSize screen)
{
    return std::min(qreal(screen.width()) / kStageWidth, qreal(screen.height()) / kStageHeight);
}

qreal frmQuiz::dialogScaleFor(qreal stageFactor)
{
    return std::clamp(stageFactor, qreal(1), kLargestDialogScale);
}

void frmQuiz::offerFullScreen()
{
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(toggle, &QShortcut::activated, this, &frmQuiz::toggleFullScreen);
    m_leaveFullScreen = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_leaveFullScreen->setEnabled(false); // Escape means nothing to the window
    connect(m_leaveFullScreen, &QShortcut::activated, this, &frmQuiz::toggleFullScreen);
}

void frmQuiz::toggleFullScreen()
{
    if (isFullScreen()) {
        showNormal(); // changeEvent gives the window back as it was
        return;
    }
    layStage(1, QPoint()); // remembers every control as built
    m_windowGeometry = geometry();
    // A window manager makes only a resizable window full screen.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_leaveFullScreen->setEnabled(true);
    showFullScreen(); // resizeEvent lays the stage out for the size granted
}

void frmQuiz::setStageScale(qreal factor)
{
    if (!isFullScreen())
        layStage(factor, QPoint());
}

QRect frmQuiz::stageRect() const { return QRect(m_stageOrigin, stageSize(m_stageFactor)); }

void frmQuiz::layStage(qreal factor, QPoint origin)
{
    m_stageFactor = factor;
    m_stageOrigin = origin;
    platform::scaleControls(*this, factor, origin);
    platform::setDialogScale(isFullScreen() ? dialogScaleFor(factor) : 1);
    update();
}

void frmQuiz::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!isFullScreen())
        return;
    const qreal factor = fullScreenFactor(size());
    const QSize stage = stageSize(factor);
    layStage(factor, QPoint((width() - stage.width()) / 2, (height() - stage.height()) / 2));
}

void frmQuiz::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || isFullScreen() || !m_leaveFullScreen
        || !m_leaveFullScreen->isEnabled())
        return;
    // Out of full screen, by F11, Escape or the window manager: the window as
    // it was, fixed size and place included.
    m_leaveFullScreen->setEnabled(false);
    layStage(1, QPoint());
    setGeometry(m_windowGeometry);
}

const QImage& frmQuiz::stagePicture() const
{
    // At 100 % the part of the picture the window shows, the pixels of
    // background.png; at any other scale it is drawn afresh for the device
    // pixels and kept for that scale.
    static QHash<QPair<qreal, qreal>, QImage> drawn;
    const qreal ratio = devicePixelRatioF(), scale = m_stageFactor * ratio;
    if (scale == 1) {
        static const QImage asBuilt = stagepicture::drawShown(stageSize(1));
        return asBuilt;
    }
    auto it = drawn.find({m_stageFactor, ratio});
    if (it == drawn.end()) {
        const QSize stage = stageSize(m_stageFactor);
        QImage picture = stagepicture::draw(scale, QSize(std::ceil(stage.width() * ratio), std::ceil(stage.height() * ratio)));
        picture.setDevicePixelRatio(ratio);
        it = drawn.insert({m_stageFactor, ratio}, picture);
    }
    return *it;
}

void frmQuiz::paintEvent(QPaintEvent*)
{
    // The picture unstretched from the stage's top-left corner, clipped by the
    // stage; black around it.
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setClipRect(stageRect());
    p.drawImage(m_stageOrigin, stagePicture());
}
