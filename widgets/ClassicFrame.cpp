// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ClassicFrame.h"

#include <QPainter>

ClassicFrame::ClassicFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void ClassicFrame::setScale(qreal factor)
{
    m_scale = factor;
    update();
}

QRect ClassicFrame::outline() const
{
    return rect().adjusted(0, fontMetrics().height() / 2, 0, 0);
}

void ClassicFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // An etched outline: a grey line with a white one beside it, a line's
    // width further in.
    const int line = qMax(1, qRound(m_scale));
    const auto edges = [&p, line](const QRect& r, const QColor& colour) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), line), colour);
        p.fillRect(QRect(r.left(), r.bottom() - line + 1, r.width(), line), colour);
        p.fillRect(QRect(r.left(), r.top(), line, r.height()), colour);
        p.fillRect(QRect(r.right() - line + 1, r.top(), line, r.height()), colour);
    };
    const QRect box = outline();
    const QRect grey = box.adjusted(0, 0, -line, -line);
    edges(grey, QColor(128, 128, 128));
    edges(grey.translated(line, line), QColor(255, 255, 255));

    // The caption on the top edge, in a gap of the outline.
    const int captionLeft = qRound(8 * m_scale), gap = qRound(2 * m_scale);
    const QString caption = title();
    const QRect captionBox(captionLeft, 0, fontMetrics().horizontalAdvance(caption) + 2 * gap, fontMetrics().height());
    p.fillRect(captionBox, palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(captionBox, Qt::AlignCenter | Qt::TextShowMnemonic, caption);
}
