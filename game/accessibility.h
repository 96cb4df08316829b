// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns of the game window beyond the captions and texts
// Qt already reports: the name box by its caption, the ladder by its steps,
// reached or not, the clock by what it shows, the secured amount, the
// audience bars' shares, the used jokers; and what changes without the focus
// moving is announced: the status line, each new question, a joker's result.
#pragma once

#include <QObject>

class QString;
class frmQuiz;
namespace platform {
class Announcer;
}

class GameAccessibility : public QObject {
    Q_OBJECT
public:
    // Before the window makes its first control: Qt keeps the description it
    // makes of a control from the first time it is asked for one.
    static void prepare();

    // Names the controls of the finished `window` and watches its jokers; a
    // child of it.
    explicit GameAccessibility(frmQuiz& window);

    // A new status line, the question on screen with its answers, a joker's result.
    void announceStatus(const QString& text);
    // The ladder step reached ("Stufe 3: 200 €"), with the amount it secures.
    void announceStep(int level, bool secures);
    // The player's standing in other words ("Game Over").
    void announceStanding(const QString& text);
    void announceQuestion();
    void announceResult(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmQuiz& m_window;
    platform::Announcer* m_announcer = nullptr;
};
