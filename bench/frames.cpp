// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Frame times of the game window in the window and in full screen, side by side:
//   first frame    from the switch (F11) to the finished frame: into full
//                  screen, and back into the window (median, and the very
//                  first switch, which draws the picture for the screen);
//   whole frame    the whole window painted again;
//   audience tick  one tick of the audience bars (50 ms timer) with its repaint,
//                  median over the ticks of a whole animation;
//   clock tick     one tick of the clock (1 s timer) with its repaint.
// Beside each tick the share of the window it painted: a tick repaints only
// what changed. The game runs on the question file the build made (or the one
// named by QUIZ_BENCH_QUESTIONS), on a 1920 x 1080 screen of the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
//
// Usage: bench_frames [rounds, default 15]
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"
#include "store/store.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Counts what the window itself paints: the dirty area of its paint events.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* w) : m_w(w) { w->installEventFilter(this); }
    qint64 area = 0;
    bool painted = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_w && e->type() == QEvent::Paint) {
            painted = true;
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region())
                area += qint64(r.width()) * r.height();
        }
        return false;
    }

private:
    QWidget* m_w;
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Runs `step`, then the event loop until the window has painted (at the size
// that `done` waits for, where the window system resizes it); the time in ms.
double timed(PaintWatch& watch, const std::function<void()>& step, const std::function<bool()>& done = {})
{
    QElapsedTimer t;
    t.start();
    step();
    watch.painted = false;
    while (!(watch.painted && (!done || done())) && t.elapsed() < 2000) {
        if (done && !done())
            watch.painted = false; // a frame before the new size is not the one
        QCoreApplication::processEvents();
    }
    return t.nsecsElapsed() / 1e6;
}

struct Figures {
    std::vector<double> first, whole, audience, clock;
    double audienceShare = 0, clockShare = 0;
};

void measure(frmQuiz& w, PaintWatch& watch, Figures& f, QDateTime& now)
{
    const double windowArea = double(w.width()) * w.height();
    f.whole.push_back(timed(watch, [&w] { w.update(); }));

    // One audience animation: every tick that moves a bar.
    w.PufferInForm();
    QCoreApplication::processEvents();
    w.cmdPublikum_Click();
    QCoreApplication::processEvents();
    watch.area = 0;
    int ticks = 0;
    while (w.TimerPub->isActive() && ticks < 200) {
        f.audience.push_back(timed(watch, [&w] { w.TimerPub_Timer(); }));
        ++ticks;
    }
    f.audienceShare = watch.area / std::max(1, ticks) / windowArea;

    watch.area = 0;
    for (int i = 0; i < 5; ++i) {
        now = now.addSecs(1);
        f.clock.push_back(timed(watch, [&w] { w.Timer1000_Timer(); }));
    }
    f.clockShare = watch.area / 5.0 / windowArea;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTemporaryDir work;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString screen = work.filePath(QStringLiteral("screen.json"));
        QFile json(screen);
        if (!json.open(QIODevice::WriteOnly)
            || json.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                              "logicalDpi": 96, "dpr": 1}]})") < 0)
            return 1;
        json.close();
        qputenv("QT_QPA_PLATFORM", (QLatin1StringView("offscreen:configfile=") + screen).toLocal8Bit());
    }
    QuizApplication app(argc, argv);

    const QString exeDir = QCoreApplication::applicationDirPath();
    QString questions = qEnvironmentVariable("QUIZ_BENCH_QUESTIONS");
    if (questions.isEmpty())
        questions = exeDir + QStringLiteral("/../") + store::kFileName;
    if (!QFileInfo(questions).isFile() || !QFile::copy(questions, work.filePath(store::kFileName))) {
        std::fprintf(stderr, "bench_frames: no question file at %s (make builds it)\n", qPrintable(questions));
        return 1;
    }
    platform::setProgramDirectory(work.path());
    QDateTime now = QDateTime::currentDateTime();
    platform::setClock([&now] { return now; });

    QTimer answer; // the name prompt is answered as soon as it is open
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget()))
            prompt->accept();
    });
    answer.start();
    frmQuiz w;
    w.Form_Load();
    answer.stop();
    // The timers are driven by hand, one tick at a time.
    w.Timer1000->stop();
    w.TimerPub->stop();
    PaintWatch watch(&w);
    platform::centreOnScreen(w);
    const double shown = timed(watch, [&w] { w.show(); });

    Figures window, full;
    for (int i = 0; i < rounds; ++i) {
        measure(w, watch, window, now);
        const QSize screen = w.screen()->size();
        full.first.push_back(timed(watch, [&w] { w.toggleFullScreen(); }, [&w, screen] { return w.size() == screen; }));
        measure(w, watch, full, now);
        window.first.push_back(timed(watch, [&w] { w.toggleFullScreen(); }, [&w] { return w.width() == 1022; }));
    }

    std::printf("bench_frames: platform %s, screen %dx%d, stage factor in full screen %.3f, %d rounds "
                "(first window frame after show: %.1f ms)\n\n",
                qPrintable(QGuiApplication::platformName()), w.screen()->size().width(), w.screen()->size().height(),
                frmQuiz::fullScreenFactor(w.screen()->size()), rounds, shown);
    std::printf("%-40s | %12s | %12s | %s\n", "Messung (Median)", "Fenster", "Vollbild", "Ziel Vollbild");
    std::printf("%s\n", std::string(40 + 3 + 12 + 3 + 12 + 3 + 16, '-').c_str());
    const auto row = [](const char* what, double a, double b, const char* goal) {
        std::printf("%-40s | %9.2f ms | %9.2f ms | %s\n", what, a, b, goal);
    };
    row("Erstes Bild nach F11 (hinein/zurück)", median(window.first), median(full.first), "< 100 ms");
    row("  dasselbe beim ersten Mal", window.first.front(), full.first.front(), "< 100 ms");
    row("Ganzes Bild neu gemalt", median(window.whole), median(full.whole), "");
    row("Publikum: ein Takt samt Malen", median(window.audience), median(full.audience), "< 5 ms");
    row("Uhr: ein Takt samt Malen", median(window.clock), median(full.clock), "< 5 ms");
    std::printf("%-40s | %10.2f %% | %10.2f %% |\n", "  Publikum: neu gemalter Teil des Bilds", 100 * window.audienceShare,
                100 * full.audienceShare);
    std::printf("%-40s | %10.2f %% | %10.2f %% |\n", "  Uhr: neu gemalter Teil des Bilds", 100 * window.clockShare,
                100 * full.clockShare);
    std::fflush(stdout);
    return 0;
}
