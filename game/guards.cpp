// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a stray key or click from costing a game: the focus of a button
// that is greyed goes to an answer, never on to "Neu", "Ende" or the name
// box, where the next key would start a new game or replace the name; and the
// second press of a quick double-click on an answer is no answer to the next
// question, which the player has not even seen.
#include "game/frmQuiz.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace {

template <typename Buttons>
bool among(const Buttons& buttons, const QObject* object)
{
    return std::find(buttons.begin(), buttons.end(), object) != buttons.end();
}

} // namespace

void frmQuiz::guardInput()
{
    for (QPushButton* b : {cmdA, cmdB, cmdC, cmdD, cmdPublikum, cmdHalb, cmdHandy})
        b->installEventFilter(this);
}

bool frmQuiz::focusNextPrevChild(bool next)
{
    // Qt asks for the next control when the focused one is greyed. An answer
    // or joker passes it to the first answer that can be pressed; with none
    // left (the game is lost) to "Neu", and back to the answers when they return.
    QWidget* focus = focusWidget();
    const std::array<QPushButton*, 7> guarded{cmdA, cmdB, cmdC, cmdD, cmdPublikum, cmdHalb, cmdHandy};
    if (!focus || focus->isEnabled() || !among(guarded, focus))
        return QWidget::focusNextPrevChild(next);
    for (QPushButton* answer : {cmdA, cmdB, cmdC, cmdD}) {
        if (answer->isEnabled()) {
            answer->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    m_focusOwed = true;
    cmdNeu->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmQuiz::strayInput(QObject* watched, QEvent* event)
{
    const std::array<QPushButton*, 4> answers{cmdA, cmdB, cmdC, cmdD};
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (m_focusOwed && among(answers, watched) && static_cast<QWidget*>(watched)->isEnabled()) {
            m_focusOwed = false;
            static_cast<QWidget*>(watched)->setFocus(Qt::OtherFocusReason);
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (among(answers, watched))
            m_answerReleased = static_cast<QMouseEvent*>(event)->timestamp();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Every click on an answer answers it. A press within the double-click
        // interval after one is the second half of a double-click: dropped.
        // Time is the events' own, so a later deliberate click always counts.
        const auto pressed = static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
        return among(answers, watched) && m_answerReleased >= 0 && pressed >= m_answerReleased
            && pressed - m_answerReleased < QApplication::doubleClickInterval();
    }
    default:
        return false;
    }
}
