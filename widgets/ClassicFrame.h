// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

// A frame whose caption stands on its top edge, over a light etched outline
// that runs round the frame's whole area. Its lines grow with the scale it is
// shown at (the stage in full screen), as the caption's font does.
class ClassicFrame : public QGroupBox {
    Q_OBJECT
public:
    ClassicFrame(const QString& caption, QWidget* parent);

    // The outline: the frame's whole width and bottom, its top through the
    // middle of the caption.
    QRect outline() const;
    // Shown at `factor` times the size it was built for: lines of
    // max(1, round(factor)) pixels, the caption as far in.
    void setScale(qreal factor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_scale = 1;
};
