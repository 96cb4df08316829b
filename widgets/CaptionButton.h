// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
