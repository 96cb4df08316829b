// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/controls.h"

#include <QApplication>
#include <QFontInfo>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// Below this the caption would no longer be readable; no caption of up to 40
// characters needs it on an answer button.
constexpr int kSmallestPixels = 8;

const QColor kFocusColour(0, 0, 0);

} // namespace

// --- CaptionButton

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

int CaptionButton::captionFlags() const
{
    int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    QStyleOptionButton option;
    initStyleOption(&option);
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    return flags;
}

QRect CaptionButton::captionRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const int clear = FocusFrameStyle::kWidth + 1;
    return style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this).adjusted(clear, clear, -clear, -clear);
}

QFont CaptionButton::captionFont() const
{
    const QRect room = captionRect();
    const int flags = captionFlags();
    const int full = QFontInfo(font()).pixelSize();
    QFont f = font();
    for (int pixels = full; pixels >= kSmallestPixels; --pixels) {
        if (pixels < full)
            f.setPixelSize(pixels);
        if (room.contains(QFontMetrics(f).boundingRect(room, flags, text())))
            break; // the largest size at which the caption fits
    }
    return f; // at worst the smallest size: wider than any caption the game shows
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    // The button as the style draws it, then the caption in its room, then
    // the focus frame, as the style itself would order them.
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    p.setFont(captionFont());
    style()->drawItemText(&p, captionRect(), captionFlags(), option.palette, isEnabled(), caption,
                          QPalette::ButtonText);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

// --- ClassicFrame

ClassicFrame::ClassicFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

QRect ClassicFrame::outline() const
{
    return rect().adjusted(0, fontMetrics().height() / 2, 0, 0);
}

void ClassicFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // An etched outline: a grey line with a white one beside it, one pixel in.
    const QRect box = outline();
    p.setPen(QColor(128, 128, 128));
    p.drawRect(box.adjusted(0, 0, -2, -2));
    p.setPen(QColor(255, 255, 255));
    p.drawRect(box.adjusted(1, 1, -1, -1));

    // The caption on the top edge, in a gap of the outline.
    constexpr int kCaptionLeft = 8, kGap = 2;
    const QString caption = title();
    const QRect captionBox(kCaptionLeft, 0, fontMetrics().horizontalAdvance(caption) + 2 * kGap,
                           fontMetrics().height());
    p.fillRect(captionBox, palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(captionBox, Qt::AlignCenter | Qt::TextShowMnemonic, caption);
}

// --- FocusFrameStyle

FocusFrameStyle::FocusFrameStyle() : QProxyStyle(QApplication::style()->name()) {}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    const auto frame = [painter](const QRect& r) {
        painter->save();
        painter->setPen(kFocusColour);
        painter->setBrush(Qt::NoBrush);
        for (int i = 0; i < kWidth; ++i)
            painter->drawRect(r.adjusted(i, i, -1 - i, -1 - i));
        painter->restore();
    };
    if (element == PE_FrameFocusRect) {
        frame(option->rect);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // A text box draws no focus rectangle of its own; its frame goes inside the border.
    if (element == PE_PanelLineEdit && (option->state & State_HasFocus)) {
        const int border = pixelMetric(PM_DefaultFrameWidth, option, widget);
        frame(option->rect.adjusted(border, border, -border, -border));
    }
}
