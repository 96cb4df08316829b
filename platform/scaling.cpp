// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Windows laid out in twips, laid out again at a larger size: the game's stage
// in full screen and the dialogs shown over it.
#include "platform/Shape.h"
#include "platform/platform.h"

#include <QFontInfo>
#include <QFrame>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace platform {
namespace {

qreal g_dialogScale = 1;

// What a control was built with, kept on the control itself the first time it
// is scaled, so that every scale is taken from the same start and no rounding
// adds up.
constexpr char kBuiltGeometry[] = "quizBuiltGeometry";
constexpr char kBuiltFont[] = "quizBuiltFont";
constexpr char kBuiltLine[] = "quizBuiltLineWidth";
constexpr char kBuiltFixedSize[] = "quizBuiltFixedSize";

QVariant built(QObject& o, const char* name, const QVariant& now)
{
    QVariant v = o.property(name);
    if (!v.isValid()) {
        o.setProperty(name, now);
        v = now;
    }
    return v;
}

// A rectangle at `factor`, each edge rounded on its own so that neighbours
// stay neighbours.
QRect scaled(const QRect& r, qreal factor)
{
    const int left = qRound(r.x() * factor), top = qRound(r.y() * factor);
    return QRect(left, top, qRound((r.x() + r.width()) * factor) - left, qRound((r.y() + r.height()) * factor) - top);
}

// Keeps what every control below `parent` was built with before any of them
// changes: a child that inherits its parent's font must not take the already
// scaled one for its own.
void rememberBuilt(QWidget& parent)
{
    for (QWidget* w : parent.findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        built(*w, kBuiltFont, w->font());
        built(*w, kBuiltGeometry, w->geometry());
        if (auto* frame = qobject_cast<QFrame*>(w))
            built(*w, kBuiltLine, frame->lineWidth());
    }
}

void scaleChildren(QWidget& parent, qreal factor, QPoint origin)
{
    for (QWidget* w : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            continue;
        if (auto* shape = qobject_cast<Shape*>(w)) { // places itself from its twips
            shape->setStage(factor, origin);
            continue;
        }
        w->setFont(scaledFont(built(*w, kBuiltFont, w->font()).value<QFont>(), factor));
        if (auto* frame = qobject_cast<QFrame*>(w); frame && frame->frameShape() != QFrame::NoFrame) {
            const int line = built(*w, kBuiltLine, frame->lineWidth()).toInt();
            frame->setLineWidth(line > 0 ? qMax(1, qRound(line * factor)) : 0);
        }
        w->setGeometry(scaled(built(*w, kBuiltGeometry, w->geometry()).toRect(), factor).translated(origin));
        scaleChildren(*w, factor, QPoint());
    }
}

// The game's icon in every size of the desktop's icon theme, so that the
// title bar, the task bar and the window switcher each get a sharp picture.
// A file is read only when a picture of its size is asked for: a window
// system that takes no icons costs nothing at start. (The theme's SVG would
// need Qt's SVG module, which the game does not load.) A window offers the
// sizes of title and task bars, up to 64 pixels: on X11 every size offered
// is read, converted and copied to the window manager with each window,
// and the 128 and 256 pixel pictures alone were ten times the rest (the
// desktop takes its large pictures from the icon theme).
class IconFiles : public QIconEngine {
public:
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kSides) {
            if (side <= kLargestOffered)
                sizes << QSize(side, side);
        }
        return sizes;
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        // The smallest picture at least as large as asked, made smaller if need be.
        const int wanted = qMax(size.width(), size.height());
        const int* side = std::find_if(std::begin(kSides), std::end(kSides), [wanted](int s) { return s >= wanted; });
        const int file = side == std::end(kSides) ? kSides[std::size(kSides) - 1] : *side;
        QPixmap picture(file == 32 ? QStringLiteral(":/icon.png") : QStringLiteral(":/icons/%1.png").arg(file));
        return file == wanted ? picture : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QIconEngine* clone() const override { return new IconFiles; }

private:
    static constexpr int kSides[] = {16, 22, 32, 48, 64, 128, 256};
    static constexpr int kLargestOffered = 64;
};

} // namespace

QFont scaledFont(const QFont& font, qreal factor)
{
    if (factor == 1)
        return font;
    // Whole pixels, rounded down: a text is at most `factor` times as wide as
    // at the size the control was built with, so it fits wherever it fitted.
    QFont f = font;
    f.setPixelSize(qMax(1, int(std::floor(QFontInfo(font).pixelSize() * factor + 1e-9))));
    return f;
}

void scaleControls(QWidget& window, qreal factor, QPoint origin)
{
    const bool fixed = window.minimumSize() == window.maximumSize();
    const QVariant size = built(window, kBuiltFixedSize, fixed ? window.size() : QSize());
    rememberBuilt(window);
    scaleChildren(window, factor, origin);
    if (!size.toSize().isEmpty() && !window.isFullScreen())
        window.setFixedSize(scaled(QRect(QPoint(), size.toSize()), factor).size());
}

void setDialogScale(qreal factor) { g_dialogScale = factor; }

qreal dialogScale() { return g_dialogScale; }

void scaleDialogText(QWidget& dialog)
{
    if (g_dialogScale != 1)
        dialog.setFont(scaledFont(dialog.font(), g_dialogScale));
}

QIcon programIcon()
{
    return QIcon(new IconFiles);
}

} // namespace platform
