// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a stray key or click from costing a game: the focus of a button
// that is greyed goes to an answer, never on to "Neu", "Ende" or the name
// box, where the next key would start a new game or replace the name; and the
// second press of a quick double-click on an answer is no answer to the next
// question, which the player has not even seen.
#pragma once

#include <QObject>

class frmQuiz;

class InputGuard : public QObject {
    Q_OBJECT
public:
    // Watches the answer and joker buttons of `window`; a child of it.
    explicit InputGuard(frmQuiz& window);

    // Qt moves the focus on from a control that was greyed: true when the
    // guard has placed it, false when the window's usual order goes on.
    bool passFocusFromGreyed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmQuiz& m_window;
    // The focus left a greyed button while no answer could take it: the
    // first answer button that comes back takes it.
    bool m_focusOwed = false;
    // When the mouse last came up on an answer button (event time, ms).
    qint64 m_answerReleased = -1;
};
