// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/stagepicture.h"

#include <QColor>
#include <QPainter>

namespace stagepicture {
namespace {

const QColor kBlack(0, 0, 0), kFloor(0, 0, 102), kGrid(102, 102, 255), kWhite(255, 255, 255);

// Paints the picture at `scale` from the top-left corner of the canvas, all
// but the black that is its ground.
void paint(QPainter& p, qreal scale)
{
    const int width = qRound(kWidth * scale), height = qRound(kHeight * scale);
    const int horizon = qRound(263 * scale); // the floor's edge: 3945 twips in the window

    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, horizon, width, height - horizon, kFloor);

    // Grid lines across the floor, closer together towards the horizon as a
    // floor seen in perspective: a line at depth d lies at horizon + depth/d.
    // Every line is one device pixel wide, at every scale.
    const int depth = height - 1 - horizon;
    for (int k = 0; k <= 24; ++k) {
        const int y = horizon + int(depth / (1.0 + 0.45 * k) + 0.5);
        p.fillRect(0, y, width, 1, kGrid); // the pixels of a line, filled at once
    }
    p.fillRect(0, horizon, width, 1, kGrid);

    // Lines running to the vanishing point at the top centre of the floor.
    p.setPen(QPen(kGrid, 1));
    const QPointF vanishing(width / 2.0, horizon);
    for (int i = -40; i <= 40; ++i) {
        const QPointF foot(width / 2.0 + i * 96.0 * scale, height - 1);
        p.drawLine(vanishing, foot);
    }

    // White frame: the two leftmost and three rightmost columns, the bottom row.
    const int left = qRound(2 * scale), right = qRound(3 * scale), bottom = qRound(scale);
    p.fillRect(0, 0, left, height, kWhite);
    p.fillRect(width - right, 0, right, height, kWhite);
    p.fillRect(0, height - bottom, width, bottom, kWhite);
}

} // namespace

QImage draw(qreal scale, QSize size)
{
    QImage image(size.isEmpty() ? QSize(qRound(kWidth * scale), qRound(kHeight * scale)) : size,
                 QImage::Format_RGB32);
    image.fill(kBlack);
    QPainter p(&image);
    paint(p, scale);
    return image;
}

QImage drawShown(QSize shown)
{
    // On a canvas of the whole picture every slanted line falls on the same
    // pixels as in background.png; a smaller canvas would cut the lines at its
    // edges and move some of their pixels. Only what is shown is painted: the
    // rest of the canvas is never touched and costs neither time nor memory.
    auto* canvas = new QImage(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter p(canvas);
        p.setClipRect(QRect(QPoint(), shown));
        p.fillRect(QRect(QPoint(), shown), kBlack);
        paint(p, 1);
    }
    // The part shown, in the canvas's memory, which it keeps.
    return QImage(canvas->bits(), shown.width(), shown.height(), canvas->bytesPerLine(), canvas->format(),
                  [](void* c) { delete static_cast<QImage*>(c); }, canvas);
}

} // namespace stagepicture
