// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CaptionButton.h"

#include "widgets/FocusFrameStyle.h"

#include <QFontInfo>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// Below this the caption would no longer be readable; no caption of up to 40
// characters needs it on an answer button.
constexpr int kSmallestPixels = 8;

} // namespace

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
    const auto* focus = qobject_cast<const FocusFrameStyle*>(style());
    const int clear = (focus ? focus->frameWidth() : FocusFrameStyle::kWidth) + 1;
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
