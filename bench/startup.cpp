// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time and peak memory of the game beside a baseline program of ours.
//
// The bench runs itself as a child process, alternately in two modes:
//   quiz      what main() does: German translation, the game window, Form_Load
//             on a copy of the question file, the name prompt answered at once,
//             the window shown;
//   baseline  a window of the same size showing the same background picture,
//             with the same number of child widgets of the same plain kinds
//             (labels, buttons, a line edit, a group box, plain widgets for the
//             shapes) and the same ones hidden, nothing else.
// Each child measures from the moment the parent spawned it (CLOCK_MONOTONIC,
// passed in the environment) to the first paint of the window with the first
// question on it (the question label for quiz, the matching label for
// baseline), prints the time and exits. The parent takes ru_maxrss of each
// child from wait4() and prints medians.
//
// Usage: bench_startup [runs per mode, default 15]
// Offscreen, and with DISPLAY set also on that X server (e.g. Xvfb with a
// window manager), one table each; QT_QPA_PLATFORM names one platform alone.
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"
#include "store/store.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// With QUIZ_BENCH_PHASES=1 a child writes the time since spawn of each step
// of its start to stderr: where the time goes.
void phase(const char* what)
{
    static const bool on = qEnvironmentVariableIntValue("QUIZ_BENCH_PHASES") == 1;
    if (on) {
        const qint64 spawned = qEnvironmentVariable("QUIZ_BENCH_SPAWN_NS").toLongLong();
        std::fprintf(stderr, "%8.1f ms  %s\n", (monotonicNs() - spawned) / 1e6, what);
    }
}

// Reports the time since spawn at the first paint of `watched`, then ends the
// child at once (no tear-down: it is not part of start-up).
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* watched) : m_watched(watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_watched && e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            // Let this paint and the rest of the frame finish, then report.
            QTimer::singleShot(0, [] {
                const qint64 spawned = qEnvironmentVariable("QUIZ_BENCH_SPAWN_NS").toLongLong();
                std::printf("%lld\n", static_cast<long long>(monotonicNs() - spawned));
                phase("first paint with the question");
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    QWidget* m_watched;
    bool m_done = false;
};


// --- Child: the game, as main() starts it.
int runQuiz(int argc, char** argv)
{
    phase("main");
    QuizApplication app(argc, argv); // as main(): German texts and the icon
    phase("application");
    platform::setProgramDirectory(qEnvironmentVariable("QUIZ_BENCH_DIR"));

    // The name prompt is answered as soon as it is open.
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget()))
            prompt->accept();
    });
    answer.start();

    frmQuiz w;
    phase("window built");
    w.Form_Load();
    phase("Form_Load with the name prompt");
    answer.stop();
    if (w.lblFrage->text() == QStringLiteral("Fragetext"))
        return 2;
    FirstPaint report(w.lblFrage);
    platform::centreOnScreen(w);
    w.show();
    phase("shown");
    return app.exec();
}

// --- Child: the baseline window.
class BaselineWindow : public QWidget {
public:
    BaselineWindow() : QWidget(nullptr, Qt::Dialog)
    {
        setFixedSize(1022, 415);
        int y = 0;
        auto next = [&y] { y = (y + 7) % 400; return y; };
        // As many of each kind as the game window has, the same ones hidden.
        for (int i = 0; i < 40; ++i) {
            auto* l = new QLabel(QStringLiteral("Text %1").arg(i), this);
            l->setGeometry((i * 25) % 1000, next(), 120, 17);
            if (i >= 36) // the four audience labels
                l->hide();
            if (i == 0)
                question = l;
        }
        for (int i = 0; i < 10; ++i)
            (new QPushButton(QStringLiteral("Knopf %1").arg(i), this))->setGeometry((i * 97) % 1000, next(), 80, 25);
        (new QLineEdit(QStringLiteral("Name"), this))->setGeometry(576, 72, 241, 33);
        (new QGroupBox(QStringLiteral("Gruppe"), this))->setGeometry(640, 112, 113, 113);
        for (int i = 0; i < 19; ++i) // the shapes, all hidden at start
            (new QWidget(this))->hide();
    }
    QLabel* question = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        static const QImage picture(QStringLiteral(":/background.png"));
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.drawImage(QPoint(0, 0), picture);
    }
};

int runBaseline(int argc, char** argv)
{
    phase("main");
    QApplication app(argc, argv);
    phase("application");
    BaselineWindow w;
    phase("window built");
    FirstPaint report(w.question);
    platform::centreOnScreen(w);
    w.show();
    phase("shown");
    return app.exec();
}

// --- Parent.
struct Run {
    double ms = -1;
    double maxRssMiB = -1;
};

Run spawn(const char* self, const char* mode, const QString& workDir)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    const qint64 spawned = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const int devnull = ::open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            dup2(devnull, STDERR_FILENO);
        setenv("QUIZ_BENCH_SPAWN_NS", std::to_string(spawned).c_str(), 1);
        setenv("QUIZ_BENCH_DIR", workDir.toLocal8Bit().constData(), 1);
        execl(self, self, "--child", mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[256];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run r;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !text.empty()) {
        r.ms = std::strtoll(text.c_str(), nullptr, 10) / 1e6;
        r.maxRssMiB = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    }
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// The question file made by the build beside the game, or one written here.
bool prepareQuestionFile(const QString& exeDir, const QString& target)
{
    const QStringList candidates{qEnvironmentVariable("QUIZ_BENCH_QUESTIONS"),
                                 exeDir + QStringLiteral("/../") + store::kFileName,
                                 exeDir + QLatin1Char('/') + store::kFileName};
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile())
            return QFile::copy(candidate, target);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(target).constData(), &db) != SQLITE_OK)
        return false;
    bool ok = sqlite3_exec(db, store::createTableSql().toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int n = 1; ok && n <= 75; ++n) {
        const QByteArray sql =
            QStringLiteral("INSERT INTO \"%1\" (\"Nummer\",\"Frage\",\"AntwortA\",\"AntwortB\",\"AntwortC\","
                           "\"AntwortD\",\"Richtig\",\"Fraglich\",\"PublikumA\",\"PublikumB\",\"PublikumC\","
                           "\"PublikumD\",\"JokerTV\") VALUES ('%2','Frage Nummer %2?','Eins','Zwei','Drei','Vier',"
                           "'A','B','40','30','20','10','')")
                .arg(store::kTable)
                .arg(n % 100)
                .toUtf8();
        ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3_close(db);
    return ok;
}

// Runs both children `runs` times each, alternately, after one warm-up pair,
// and prints the table for `platformName`.
bool measure(const char* self, const QString& questions, int runs, const QString& platformName)
{
    std::vector<double> quizMs, baseMs, quizMem, baseMem;
    int failures = 0;
    for (int i = -1; i < runs; ++i) { // round -1 warms the caches and is not counted
        for (const char* mode : {"quiz", "baseline"}) {
            QTemporaryDir work; // a fresh copy of the question file for each run
            if (!QFile::copy(questions, work.filePath(store::kFileName)))
                return false;
            const Run r = spawn(self, mode, work.path());
            if (r.ms < 0) {
                ++failures;
                continue;
            }
            if (i < 0)
                continue;
            const bool quiz = std::strcmp(mode, "quiz") == 0;
            (quiz ? quizMs : baseMs).push_back(r.ms);
            (quiz ? quizMem : baseMem).push_back(r.maxRssMiB);
        }
    }
    if (quizMs.empty() || baseMs.empty()) {
        std::fprintf(stderr, "bench_startup: the children failed on %s (%d)\n", qPrintable(platformName), failures);
        return false;
    }

    const double qt = median(quizMs), bt = median(baseMs), qm = median(quizMem), bm = median(baseMem);
    std::printf("bench_startup: platform %s, %d runs per mode (alternating, after one warm-up pair), "
                "%d failed runs\n\n",
                qPrintable(platformName), runs, failures);
    std::printf("%-36s | %12s | %12s | %6s | %-8s | %s\n", "Messung (Median)", "Quiz", "Baseline", "Faktor", "Ziel",
                "erreicht");
    std::printf("%s\n", std::string(36 + 3 + 12 + 3 + 12 + 3 + 6 + 3 + 8 + 3 + 8, '-').c_str());
    std::printf("%-36s | %9.1f ms | %9.1f ms | %6.2f | %-8s | %s\n", "Start bis Fenster mit 1. Frage", qt, bt, qt / bt,
                "<= 1,25", qt / bt <= 1.25 ? "ja" : "NEIN");
    std::printf("%-36s | %8.1f MiB | %8.1f MiB | %6.2f | %-8s | %s\n", "Spitzen-Speicher (ru_maxrss)", qm, bm, qm / bm,
                "<= 1,2", qm / bm <= 1.2 ? "ja" : "NEIN");
    std::printf("%-36s | %9.1f ms | %9.1f ms |\n\n", "Start, schnellster Lauf",
                *std::min_element(quizMs.begin(), quizMs.end()), *std::min_element(baseMs.begin(), baseMs.end()));
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        if (std::strcmp(argv[2], "quiz") == 0)
            return runQuiz(childArgc, argv);
        return runBaseline(childArgc, argv);
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    char self[4096];
    const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
    if (len <= 0)
        return 1;
    self[len] = 0;
    const QString exeDir = QFileInfo(QString::fromLocal8Bit(self)).absolutePath();

    QTemporaryDir source;
    const QString questions = source.filePath(QStringLiteral("questions.sqlite"));
    if (!source.isValid() || !prepareQuestionFile(exeDir, questions)) {
        std::fprintf(stderr, "bench_startup: no question file\n");
        return 1;
    }

    // With an X server in DISPLAY both: offscreen, then on the X server (with
    // its window manager, if one runs); else the platform asked for, or
    // offscreen.
    QStringList platforms;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        platforms << qEnvironmentVariable("QT_QPA_PLATFORM");
    else if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms << QStringLiteral("offscreen") << QStringLiteral("xcb");
    else
        platforms << QStringLiteral("offscreen");
    for (const QString& platformName : platforms) {
        setenv("QT_QPA_PLATFORM", platformName.toLocal8Bit().constData(), 1);
        const QString shown = platformName == QLatin1String("xcb")
                                  ? QStringLiteral("xcb on DISPLAY=%1").arg(qEnvironmentVariable("DISPLAY"))
                                  : platformName;
        if (!measure(self, questions, runs, shown))
            return 1;
    }
    return 0;
}
