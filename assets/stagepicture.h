// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The picture behind the game's stage, drawn for any number of device pixels.
#pragma once

#include <QImage>
#include <QSize>

namespace stagepicture {

// The picture's design size in pixels at 100 %.
inline constexpr int kWidth = 1024, kHeight = 676;

// The picture at `scale` device pixels to a pixel of the design: a black stage
// above the floor's edge, a dark-blue floor with a light-blue perspective grid
// whose lines are one device pixel wide, white border columns and bottom row.
// Only its top-left `size` device pixels are drawn (the whole picture when
// `size` is empty). The whole picture at scale 1 is exactly background.png.
QImage draw(qreal scale, QSize size = QSize());

// The top-left `shown` pixels of the picture at 100 %, exactly those of
// background.png, drawn in a fraction of the time it takes to unpack them.
QImage drawShown(QSize shown);

} // namespace stagepicture
