// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's own looks of three standard controls: a command button
// whose caption is always shown whole, the joker frame drawn as a classic
// captioned frame, and a focus frame that shows on every background.
#pragma once

#include <QGroupBox>
#include <QProxyStyle>
#include <QPushButton>

// A command button that shows its whole caption, however long: wrapped at its
// blanks onto further lines, and in a smaller size of the button's font where
// it does not fit even so. It never cuts the caption.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    CaptionButton(const QString& caption, QWidget* parent);

    // The font the caption is drawn in: the button's font, or a smaller size
    // of it for a caption that would not fit.
    QFont captionFont() const;
    // The room for the caption: inside the focus frame, clear of it.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int captionFlags() const;
};

// A frame whose caption stands on its top edge, over a light etched outline
// that runs round the frame's whole area.
class ClassicFrame : public QGroupBox {
    Q_OBJECT
public:
    ClassicFrame(const QString& caption, QWidget* parent);

    // The outline: the frame's whole width and bottom, its top through the
    // middle of the caption.
    QRect outline() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

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
