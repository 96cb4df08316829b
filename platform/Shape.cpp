// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shape.h"

#include "platform/platform.h"

#include <QPainter>

Shape::Shape(QWidget* parent) : QWidget(parent) {}

void Shape::setTwips(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    place();
}

void Shape::setColors(const QColor& back, const QColor& border, const QColor& fill)
{
    m_back = back;
    m_border = border;
    m_fill = fill;
    update();
}

void Shape::setTop(int twips)
{
    m_top = twips;
    place();
}

void Shape::setHeight(int twips)
{
    m_height = twips;
    place();
}

void Shape::setStage(qreal factor, QPoint origin)
{
    m_factor = factor;
    m_origin = origin;
    place();
}

void Shape::place()
{
    // Top and bottom edges are rounded each on its own, so a bar that grows by
    // moving its top keeps its bottom edge on the same pixel row.
    QRect r = platform::twipsRect(m_left, m_top, m_width, m_height, m_factor).translated(m_origin);
    if (r.height() < 1)
        r.setHeight(1);
    setGeometry(r);
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_back);
    const int b = qMin(qMax(1, qRound(3 * m_factor)), qMin(width(), height()) / 2);
    if (b <= 0) {
        p.fillRect(rect(), m_border);
        return;
    }
    p.fillRect(QRect(0, 0, width(), b), m_border);
    p.fillRect(QRect(0, height() - b, width(), b), m_border);
    p.fillRect(QRect(0, 0, b, height()), m_border);
    p.fillRect(QRect(width() - b, 0, b, height()), m_border);
}
