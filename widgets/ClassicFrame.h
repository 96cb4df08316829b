// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

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
