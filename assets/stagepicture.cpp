// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/stagepicture.h"

#include <QColor>
#include <QPainter>

namespace stagepicture {

QImage draw(qreal scale, QSize size)
{
    const int width = qRound(kWidth * scale), height = qRound(kHeight * scale);
    const int horizon = qRound(263 * scale); // the floor's edge: 3945 twips in the window
    const QColor black(0, 0, 0), floor(0, 0, 102), grid(102, 102, 255), white(255, 255, 255);

    QImage image(size.isEmpty() ? QSize(width, height) : size, QImage::Format_RGB32);
    image.fill(black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, horizon, width, height - horizon, floor);

    // Grid lines across the floor, closer together towards the horizon as a
    // floor seen in perspective: a line at depth d lies at horizon + depth/d.
    // Every line is one device pixel wide, at every scale.
    const int depth = height - 1 - horizon;
    for (int k = 0; k <= 24; ++k) {
        const int y = horizon + int(depth / (1.0 + 0.45 * k) + 0.5);
        p.fillRect(0, y, width, 1, grid); // the pixels of a line, filled at once
    }
    p.fillRect(0, horizon, width, 1, grid);

    // Lines running to the vanishing point at the top centre of the floor.
    p.setPen(QPen(grid, 1));
    const QPointF vanishing(width / 2.0, horizon);
    for (int i = -40; i <= 40; ++i) {
        const QPointF foot(width / 2.0 + i * 96.0 * scale, height - 1);
        p.drawLine(vanishing, foot);
    }

    // White frame: the two leftmost and three rightmost columns, the bottom row.
    const int left = qRound(2 * scale), right = qRound(3 * scale), bottom = qRound(scale);
    p.fillRect(0, 0, left, height, white);
    p.fillRect(width - right, 0, right, height, white);
    p.fillRect(0, height - bottom, width, bottom, white);
    return image;
}

} // namespace stagepicture
