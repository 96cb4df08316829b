// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The application's style with a focus frame that can be seen on every
// background of the game window: a solid frame drawn on the control's own
// face, whenever the control has the focus (not only after a Tab, as the
// style would have it). The game's controls, the editor's and the dialogs'
// buttons and boxes all show it.
class FocusFrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    FocusFrameStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // Width of the frame in pixels at a window's own size.
    static constexpr int kWidth = 2;
    // The window drawn at `factor` times its size: the frame grows with it.
    void setScale(qreal factor);
    // The frame's width as drawn now.
    int frameWidth() const;

private:
    qreal m_scale = 1;
};
