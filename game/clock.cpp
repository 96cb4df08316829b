// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The clock in the status bar: time and date on every tick of Timer1000, and
// the ticks kept in the middle of the second.
#include "game/frmQuiz.h"

#include "platform/platform.h"

#include <QLabel>
#include <QTime>
#include <QTimer>

void frmQuiz::Timer1000_Timer()
{
    // One reading of the clock per tick. The date follows whenever it differs
    // from the one shown, so a tick that skips midnight still brings it up to date.
    const QDateTime now = platform::now();
    lblTime->setText(platform::formatTime(now));
    const QString today = platform::formatDate(now);
    if (lblDate->text() != today)
        lblDate->setText(today);
}

// The clock reads the time on every tick. A tick that comes near the turn of
// a second would, a few milliseconds early or late, show one second twice and
// leave out the next; so the ticks are kept in the middle of the second. When
// a tick lands in the outer fifth of a second, the timer is started anew at
// the next half second and ticks right then (its timeout, so that everything
// on the clock sees it), so that no second is left out. The interval stays
// 1000 ms. Only the real time counts here: it is when the timer fires.
void frmQuiz::keepClockMidSecond()
{
    const int ms = QTime::currentTime().msec();
    if (ms >= 200 && ms <= 800)
        return;
    // Early in a second the tick has just shown this second: the next one is
    // moved to the half second without an extra tick, which would show the
    // same second twice. Late in a second the shown second is about to end:
    // the extra tick at the next half second shows the new one.
    const bool late = ms > 800;
    const int delay = late ? 1500 - ms : 500 - ms;
    QTimer::singleShot(delay, Qt::PreciseTimer, Timer1000, [clock = Timer1000, late] {
        if (!clock->isActive())
            return; // a clock stopped in the meantime stays stopped
        clock->start();
        if (late)
            QMetaObject::invokeMethod(clock, "timeout");
    });
}
