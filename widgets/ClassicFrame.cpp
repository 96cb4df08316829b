// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ClassicFrame.h"

#include <QPainter>

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
