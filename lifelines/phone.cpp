// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The phone joker: after the player has read the instruction, thirty seconds
// are counted down in the status line, one tick a second, ending in a beep.
// The end of the countdown has no effect on the game.
#include "game/frmQuiz.h"

#include "game/accessibility.h"

#include "platform/platform.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr float kCountdownSeconds = 30;
}

void frmQuiz::cmdHandy_Click()
{
    // The countdown starts only once the player has closed the box.
    platform::msgBox(QStringLiteral("Sobald Sie bereit sind beginnt die Zei, also zücken sie ihr Handy "
                                    "und nicht vergessen fair nach der Zeit aufzulegen."));
    TimerCountdown->start();
    cmdHandy->setEnabled(false);
    m_access->announceResult(QStringLiteral("Noch ") + platform::formatWhole(kCountdownSeconds) + QStringLiteral(" Sekunden"));
}

void frmQuiz::TimerCountdown_Timer()
{
    CountdownElapsed += 1;
    // Every second is shown; a screen reader hears 20, 10 and 5 of them, so
    // that the call itself can still be heard.
    const float left = kCountdownSeconds - CountdownElapsed;
    showStatus(QStringLiteral("Noch ") + platform::formatWhole(left) + QStringLiteral(" Sekunden"),
               left == 20 || left == 10 || left == 5);
    if (CountdownElapsed == kCountdownSeconds) {
        // "Noch 0 Sekunden" is replaced within the same tick and never seen.
        platform::beep();
        TimerCountdown->stop();
        showStatus(QStringLiteral("Zeit abgelaufen!"));
    }
}
