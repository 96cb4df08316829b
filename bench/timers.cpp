// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's three timers against the wall clock, with the real frmQuiz,
// its real QTimers and an event loop:
//   - the audience animation of a 99 % bar (99 ticks of 50 ms: 4.95 s),
//   - the phone countdown (30 ticks of 1 s: 30 s, from the closed message box
//     to the beep),
//   - the clock label over ten minutes of ticks: every tick must show the
//     second after the one shown before, never skipping nor repeating one.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM is set. The clock run
// lasts 60 s; give another time in seconds as the first argument or in
// QUIZ_BENCH_CLOCK_SECONDS (make soak runs 600 s).
#include "game/frmQuiz.h"
#include "platform/Shape.h"
#include "platform/platform.h"
#include "store/store.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {

// A question file with one question whose audience vote is 99/1/0/0.
bool writeBenchFile(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    bool ok = sqlite3_exec(db, store::createTableSql().toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    const char* insert =
        "INSERT INTO \"Zada-VI-VOZ\" (\"Nummer\",\"Frage\",\"AntwortA\",\"AntwortB\",\"AntwortC\",\"AntwortD\","
        "\"Richtig\",\"Fraglich\",\"PublikumA\",\"PublikumB\",\"PublikumC\",\"PublikumD\",\"JokerTV\") VALUES "
        "('1','Wie viele Beine hat eine Spinne?','Acht','Sechs','Vier','Zehn','A','B','99','1','0','0','')";
    ok = ok && sqlite3_exec(db, insert, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Runs the event loop until `done` says so or `limitMs` has passed.
template <class Done>
bool runUntil(Done done, int limitMs)
{
    QElapsedTimer guard;
    guard.start();
    while (!done()) {
        if (guard.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

QString verdict(bool ok) { return ok ? QStringLiteral("ja") : QStringLiteral("NEIN"); }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int clockSeconds = 60;
    if (argc > 1)
        clockSeconds = std::atoi(argv[1]);
    else if (!qEnvironmentVariableIsEmpty("QUIZ_BENCH_CLOCK_SECONDS"))
        clockSeconds = qEnvironmentVariableIntValue("QUIZ_BENCH_CLOCK_SECONDS");
    if (clockSeconds < 2)
        clockSeconds = 2;

    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !writeBenchFile(dir.filePath(store::kFileName))) {
        std::fprintf(stderr, "bench_timers: cannot write the question file\n");
        return 1;
    }
    platform::setProgramDirectory(dir.path());

    frmQuiz w;
    w.txtName->setText(QStringLiteral("Benchmark")); // no name prompt
    w.Form_Load();
    w.show();

    // The phone joker's message box is closed as soon as it is open.
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });

    std::printf("bench_timers: platform %s, clock run %d s\n", qPrintable(QApplication::platformName()),
                clockSeconds);
    std::fflush(stdout);

    // --- The audience animation of a 99 % bar, five times.
    std::vector<double> audience;
    bool audienceOk = true;
    // QUIZ_BENCH_CLOCK_ONLY=1 leaves out the audience and phone runs (for trying out).
    const bool clockOnly = qEnvironmentVariableIntValue("QUIZ_BENCH_CLOCK_ONLY") == 1;
    const int audienceRuns = clockOnly ? 1 : 5, phoneRuns = clockOnly ? 0 : 3;
    for (int run = 0; run < audienceRuns; ++run) {
        runUntil([&] { return !w.TimerPub->isActive(); }, 10000); // the start-up tick or the last run
        QElapsedTimer t;
        t.start();
        w.Publikum();
        qint64 stoppedAt = -1;
        // Connected after the window's own handler: it sees the tick's result.
        auto c = QObject::connect(w.TimerPub, &QTimer::timeout, [&] {
            if (!w.TimerPub->isActive() && stoppedAt < 0)
                stoppedAt = t.nsecsElapsed();
        });
        const bool ended = runUntil([&] { return stoppedAt >= 0; }, 20000);
        QObject::disconnect(c);
        audienceOk = audienceOk && ended && w.ShpPubA->Height() == 15 + 20 * 99 && w.ShpPubA->Top() == 5520 - 20 * 99;
        audience.push_back(ended ? stoppedAt / 1e9 : 20.0);
    }

    // --- The phone countdown, three times.
    std::vector<double> phone;
    bool phoneOk = true;
    for (int run = 0; run < phoneRuns; ++run) {
        w.Neu(); // the joker back
        QElapsedTimer t;
        qint64 beepAt = -1;
        platform::setBeepHandler([&] { beepAt = t.nsecsElapsed(); });
        closer.start();
        w.cmdHandy_Click(); // returns when the box is closed: the countdown starts now
        t.start();
        closer.stop();
        const bool ended = runUntil([&] { return beepAt >= 0; }, 40000);
        phoneOk = phoneOk && ended && w.lblStatus->text() == QStringLiteral("Zeit abgelaufen!");
        phone.push_back(ended ? beepAt / 1e9 : 40.0);
    }
    platform::setBeepHandler({});

    // --- The clock label: each tick must show the second after the last.
    int ticks = 0, skipped = 0, repeated = 0, other = 0;
    int phaseMin = 1000, phaseMax = -1;
    QTime shown;
    auto c = QObject::connect(w.Timer1000, &QTimer::timeout, [&] {
        const QTime real = QTime::currentTime();
        if (ticks >= 2) { // the phase the clock settles on
            phaseMin = std::min(phaseMin, real.msec());
            phaseMax = std::max(phaseMax, real.msec());
        }
        const QTime label = QTime::fromString(w.lblTime->text(), QStringLiteral("HH:mm:ss"));
        if (shown.isValid()) {
            const int step = (shown.secsTo(label) + 86400) % 86400;
            if (step == 0)
                ++repeated;
            else if (step == 2)
                ++skipped;
            else if (step != 1)
                ++other;
        }
        shown = label;
        ++ticks;
    });
    // The worst start: the window's clock timer started a few milliseconds
    // before the turn of a second, as for a window opened at that moment. A
    // tick that comes a little late then reads the next second.
    runUntil([] { return QTime::currentTime().msec() >= 996; }, 3000);
    w.Timer1000->start();
    const int startPhase = QTime::currentTime().msec();
    QElapsedTimer clockRun;
    clockRun.start();
    runUntil([&] { return clockRun.elapsed() >= qint64(clockSeconds) * 1000; }, clockSeconds * 1000 + 5000);
    QObject::disconnect(c);
    const double clockElapsed = clockRun.elapsed() / 1000.0;

    // --- The table.
    const double a = median(audience), p = median(phone);
    const double aDev = std::abs(a - 4.95) / 4.95 * 100, pDev = std::abs(p - 30.0) / 30.0 * 100;
    const double aWorst = *std::max_element(audience.begin(), audience.end());
    const double pWorst = phone.empty() ? 0 : *std::max_element(phone.begin(), phone.end());
    auto fmt = [](double v, int prec) { return QString::number(v, 'f', prec); };
    auto pad = [](const QString& text, int width) { return text.leftJustified(width).toUtf8(); };
    std::printf("\n%s | %s | %s | %s\n", pad(QStringLiteral("Messung"), 46).constData(),
                pad(QStringLiteral("unser Wert"), 34).constData(), pad(QStringLiteral("Ziel"), 24).constData(),
                "erreicht");
    std::printf("%s\n", QString(46 + 3 + 34 + 3 + 24 + 3 + 8, QLatin1Char('-')).toUtf8().constData());
    auto row = [&](const QString& what, const QString& ours, const QString& target, bool ok) {
        std::printf("%s | %s | %s | %s\n", pad(what, 46).constData(), pad(ours, 34).constData(),
                    pad(target, 24).constData(), verdict(ok).toUtf8().constData());
    };
    row(QStringLiteral("Publikum, 99-%-Balken (Median von %1)").arg(audience.size()),
        QStringLiteral("%1 s (%2 %, max %3 s)").arg(fmt(a, 3), fmt(aDev, 2), fmt(aWorst, 3)), QStringLiteral("4,95 s ± 2 %"),
        audienceOk && std::abs(aWorst - 4.95) / 4.95 <= 0.02);
    row(QStringLiteral("Handy-Countdown bis Piep (Median von %1)").arg(phone.size()),
        QStringLiteral("%1 s (%2 %, max %3 s)").arg(fmt(p, 3), fmt(pDev, 2), fmt(pWorst, 3)), QStringLiteral("30 s ± 2 %"),
        phoneOk && std::abs(pWorst - 30.0) / 30.0 <= 0.02);
    row(QStringLiteral("Uhr: Ticks in %1 s").arg(fmt(clockElapsed, 1)), QString::number(ticks),
        QStringLiteral("%1 ± 1").arg(clockSeconds), std::abs(ticks - clockSeconds) <= 1);
    row(QStringLiteral("Uhr: übersprungene Sekunden"), QString::number(skipped + other), QStringLiteral("0"),
        skipped + other == 0);
    row(QStringLiteral("Uhr: wiederholte Sekunden"), QString::number(repeated), QStringLiteral("0"), repeated == 0);
    row(QStringLiteral("Uhr: Lage der Ticks ab dem 3. in der Sekunde"),
        QStringLiteral("%1 .. %2 ms (Start bei %3 ms)").arg(phaseMin).arg(phaseMax).arg(startPhase),
        QStringLiteral("Info"), true);
    std::fflush(stdout);

    const bool allOk = audienceOk && phoneOk && skipped + other + repeated == 0;
    return allOk ? 0 : 1;
}
