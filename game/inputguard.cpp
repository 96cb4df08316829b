// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/inputguard.h"

#include "game/frmQuiz.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <array>

namespace {

template <typename Buttons>
bool among(const Buttons& buttons, const QObject* object)
{
    return std::find(buttons.begin(), buttons.end(), object) != buttons.end();
}

std::array<QPushButton*, 4> answers(const frmQuiz& w) { return {w.cmdA, w.cmdB, w.cmdC, w.cmdD}; }

std::array<QPushButton*, 7> guarded(const frmQuiz& w)
{
    return {w.cmdA, w.cmdB, w.cmdC, w.cmdD, w.cmdPublikum, w.cmdHalb, w.cmdHandy};
}

} // namespace

InputGuard::InputGuard(frmQuiz& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("inputGuard"));
    for (QPushButton* b : answers(window))
        b->installEventFilter(this);
}

bool InputGuard::passFocusFromGreyed()
{
    // Qt asks for the next control when the focused one is greyed. An answer
    // or joker passes it to the first answer that can be pressed; with none
    // left (the game is lost) to "Neu", and back to the answers when they return.
    QWidget* focus = m_window.focusWidget();
    if (!focus || focus->isEnabled() || !among(guarded(m_window), focus))
        return false;
    for (QPushButton* answer : answers(m_window)) {
        if (answer->isEnabled()) {
            answer->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    m_focusOwed = true;
    m_window.cmdNeu->setFocus(Qt::OtherFocusReason);
    return true;
}

bool InputGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!among(answers(m_window), watched))
        return false;
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (m_focusOwed && static_cast<QWidget*>(watched)->isEnabled()) {
            m_focusOwed = false;
            static_cast<QWidget*>(watched)->setFocus(Qt::OtherFocusReason);
        }
        return false;
    case QEvent::MouseButtonRelease:
        m_answerReleased = static_cast<QMouseEvent*>(event)->timestamp();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Every click on an answer answers it. A press within the double-click
        // interval after one is the second half of a double-click: dropped.
        // Time is the events' own, so a later deliberate click always counts.
        const auto pressed = static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
        return m_answerReleased >= 0 && pressed >= m_answerReleased
            && pressed - m_answerReleased < QApplication::doubleClickInterval();
    }
    default:
        return false;
    }
}
