// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The application's style with a focus frame that can be seen on every
// background of the game window: a solid frame drawn on the control's own
// face, whenever the control has the focus (not only after a Tab, as the
// style would have it).
class FocusFrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    FocusFrameStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Width of the frame in pixels.
    static constexpr int kWidth = 2;
};
