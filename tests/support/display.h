// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The display a window test draws on, the same whether the test program is
// started by hand, from any folder, or by CTest.
#pragma once

#include <QSize>

namespace testsupport {

// Gives the test program a display of its own; to be called before its
// QApplication exists, from the test class's `static void initMain()`.
// Offscreen, on one screen at 96 dpi (`screen` pixels, Qt's offscreen 800 x 600
// when empty), one device pixel per pixel, and none of the caller's scale
// factors, font DPI, style or platform theme: pixel positions in the tests
// depend on it. A platform the caller names in QT_QPA_PLATFORM other than a
// plain "offscreen" (to watch a test under X11, say) is kept, screen and all.
void useOwnDisplay(QSize screen = {});

} // namespace testsupport
