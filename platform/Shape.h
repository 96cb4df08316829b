// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A plain rectangle control: back colour with a 3-pixel border in the border
// colour. Keeps Left, Top, Width and Height in twips so that a bar can grow by
// 20 twips at a time without rounding drift.
#pragma once

#include <QColor>
#include <QWidget>

class Shape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
public:
    explicit Shape(QWidget* parent = nullptr);

    void setTwips(int left, int top, int width, int height);
    void setColors(const QColor& back, const QColor& border, const QColor& fill);

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void setTop(int twips);
    void setHeight(int twips);
    // Places the shape at `factor` times its size, moved by `origin` (the
    // stage scaled in full screen); its border grows with it.
    void setStage(qreal factor, QPoint origin);

    QColor backColor() const { return m_back; }
    QColor borderColor() const { return m_border; }
    QColor fillColor() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void place();
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    qreal m_factor = 1;
    QPoint m_origin;
    QColor m_back, m_border, m_fill;
};
