// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FocusFrameStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

namespace {

const QColor kFocusColour(0, 0, 0);

} // namespace

FocusFrameStyle::FocusFrameStyle() : QProxyStyle(QApplication::style()->name()) {}

void FocusFrameStyle::setScale(qreal factor) { m_scale = factor; }

int FocusFrameStyle::frameWidth() const { return qMax(kWidth, qRound(kWidth * m_scale)); }

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    const auto frame = [painter, width = frameWidth()](const QRect& r) {
        painter->save();
        painter->setPen(kFocusColour);
        painter->setBrush(Qt::NoBrush);
        for (int i = 0; i < width; ++i)
            painter->drawRect(r.adjusted(i, i, -1 - i, -1 - i));
        painter->restore();
    };
    if (element == PE_FrameFocusRect) {
        frame(option->rect);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // A text box draws no focus rectangle of its own; its frame goes inside the border.
    if (element == PE_PanelLineEdit && (option->state & State_HasFocus)) {
        const int border = pixelMetric(PM_DefaultFrameWidth, option, widget);
        frame(option->rect.adjusted(border, border, -border, -border));
    }
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // A plain button: the style marks its focus only after a Tab, and faintly.
    if (element == CE_PushButton && (option->state & State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}
