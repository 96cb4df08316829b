// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a stray key or click from costing a game.
// - The focus: a joker hands it back to the control it took it from; a
//   greyed answer hands it to the question, where Space and Enter answer
//   nothing; never to an answer the player did not choose, nor on to "Neu",
//   "Ende" or the name box. A lost game leaves it on "Neu", and the new game
//   gives it back to the answers.
// - A double press: the second press of a double click or of a quick double
//   key press, and the repeats of a held key, never answer the question that
//   the first press brought up: the next question after an answer, or the
//   first of a new game after "Neu" or the answer to a message box ("zweite
//   Chance", "Neue Runde"). Keys and mouse alike, by the events' times.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QInputEvent;
class QWidget;
class frmQuiz;

class InputGuard : public QObject {
    Q_OBJECT
public:
    // Watches the window's controls; a child of it.
    explicit InputGuard(frmQuiz& window);

    // Qt moves the focus on from a control that was greyed: true when the
    // guard has placed it, false when the window's usual order goes on.
    bool passFocusFromGreyed();
    // A new game has put its first question up: a press on an answer right
    // after it belongs to the press that began the game.
    void newGameBegan();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isAnswer(const QObject* object) const;
    bool isJoker(const QObject* object) const;
    void watchFocus(QObject* watched, QEvent* event);
    void toQuestion(QWidget* greyed);
    void settleFocus();
    bool secondPress(QObject* watched, QEvent* event);
    bool withinDoublePress(const QInputEvent* event) const;
    void notePressEnd(const QInputEvent* event);
    void paintQuestionFocus(QEvent* event);

    frmQuiz& m_window;
    QPointer<QWidget> m_lastFocus;  // the control that last gave up the focus
    QPointer<QWidget> m_giveBack;   // the control a joker took the focus from
    QPointer<QWidget> m_greyed;     // the answer greyed with the focus, this turn
    bool m_settling = false;
    // The focus left a greyed button while no answer could take it: the
    // first answer button that comes back takes it.
    bool m_focusOwed = false;
    // When the last press on an answer ended: the event's own time (0 when it
    // carried none) and when it arrived, in ms; -1: none yet.
    qint64 m_pressEndedAt = 0;
    qint64 m_pressEndedArrival = -1;
    QElapsedTimer m_clock;
};
