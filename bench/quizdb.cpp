// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb beside the sqlite3 shell and the raw SQLite C API, on generated CSV
// files of 1,000, 350,000 and 1,000,000 questions, all from one run:
//
//   create, import   quizdb against the shell's .import of the same CSV into the
//                    same table (through a temporary table, in one transaction)
//                    and against the floor: the same rows inserted from memory
//                    with the C API in one transaction;
//   export           quizdb against `sqlite3 -csv -header` on the same query;
//   check            quizdb against the floor: SQLite's structure check and a
//                    C API scan reading all 13 fields;
//
// and the peak memory of every quizdb command and shell run (each its own
// process). Timings are the best of interleaved rounds (the round least
// disturbed by whatever else runs on the machine), wall clock from start to
// exit; every program writes to files in the same temporary directory.
//
//   bench_quizdb [--sizes 1000,350000,1000000] [--rounds 5]
#include "bench/quizdbdata.h"
#include "store/store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

using namespace benchquizdb;

// ---- programs in their own process ------------------------------------------------

struct Outcome {
    double seconds = 0;
    long peakKiB = 0;
};

std::string g_self; // this program, for the measuring process

// Starts argv with standard input from `in` and standard output to `out`
// (empty: /dev/null) and waits for it; its wait status and resource use.
int startAndWait(const std::vector<std::string>& argv, const std::string& in, const std::string& out, rusage& usage)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.empty() ? "/dev/null" : in.c_str(), O_RDONLY, 0);
    if (out != "-")
        posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        die("cannot start " + argv[0]);
    int status = 0;
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    return status;
}

// The measuring process (bench_quizdb --measure IN OUT PROGRAM ARGS...): runs
// the program and prints its time and peak memory. A child's peak memory as
// the kernel reports it includes the memory of the process it was started
// from, so the program is started from this small process, not from the
// benchmark that holds a million questions.
int measure(int argc, char** argv)
{
    const std::vector<std::string> program(argv + 4, argv + argc);
    rusage usage{};
    const auto t0 = Clock::now();
    const int status = startAndWait(program, argv[2], argv[3], usage);
    const double s = seconds(Clock::now() - t0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    std::printf("%.6f %ld\n", s, usage.ru_maxrss);
    return 0;
}

// Runs argv (through the measuring process) with standard input from `in`
// and standard output to `out`: the time from start to exit and the peak
// resident memory. Dies when the program fails.
Outcome spawn(const std::vector<std::string>& argv, const std::string& in, const std::string& out)
{
    std::vector<std::string> launcher = {g_self, "--measure", in, out};
    launcher.insert(launcher.end(), argv.begin(), argv.end());
    const std::string report = QFile::encodeName(QDir::temp().filePath(QStringLiteral("bench_quizdb_measure.txt"))).toStdString();
    rusage usage{};
    const int status = startAndWait(launcher, {}, report, usage);
    Outcome o;
    QFile f(QFile::decodeName(report.c_str()));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !f.open(QIODevice::ReadOnly)
        || std::sscanf(f.readAll().constData(), "%lf %ld", &o.seconds, &o.peakKiB) != 2) {
        std::string call;
        for (const std::string& a : argv)
            call += a + ' ';
        die("failed: " + call);
    }
    f.close();
    f.remove();
    return o;
}

double timed(const std::function<void()>& work)
{
    const auto t0 = Clock::now();
    work();
    return seconds(Clock::now() - t0);
}

double best(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

long maxOf(const std::vector<long>& v)
{
    return *std::max_element(v.begin(), v.end());
}

struct Row {
    std::string work;
    size_t questions;
    double ours;
    double shell; // 0: no such comparison
    double floor; // 0: no such comparison
    long oursKiB;
    long shellKiB;
};

std::string path(const QTemporaryDir& dir, const char* name)
{
    return QFile::encodeName(dir.filePath(QString::fromUtf8(name))).toStdString();
}

void removeFile(const std::string& file)
{
    QFile::remove(QFile::decodeName(file.c_str()));
    QFile::remove(QFile::decodeName((file + "-journal").c_str()));
}

void copyFile(const std::string& from, const std::string& to)
{
    removeFile(to);
    if (!QFile::copy(QFile::decodeName(from.c_str()), QFile::decodeName(to.c_str())))
        die("cannot copy " + from);
}

void writeText(const std::string& file, const std::string& text)
{
    QFile f(QFile::decodeName(file.c_str()));
    if (!f.open(QIODevice::WriteOnly) || f.write(text.data(), qint64(text.size())) != qint64(text.size()))
        die("cannot write " + file);
}

std::string withSeparators(size_t n)
{
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), ",");
    return digits;
}

void benchSize(size_t count, int rounds, const std::string& quizdb, std::vector<Row>& rows)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        die("no temporary directory");
    const Questions q = makeQuestions(count);
    const std::string csv = path(dir, "fragen.csv");
    writeCsv(q, QFile::decodeName(csv.c_str()));
    std::fprintf(stderr, "%s questions: CSV of %.1f MB\n", withSeparators(count).c_str(),
                 double(QFileInfo(QFile::decodeName(csv.c_str())).size()) / 1e6);

    const std::string base = path(dir, "base.mdb"); // what import appends to: 100 questions
    floorInsert(makeQuestions(100), QFile::decodeName(base.c_str()), true);

    const std::string columns = "\"Nummer\",\"Frage\",\"AntwortA\",\"AntwortB\",\"AntwortC\",\"AntwortD\",\"Richtig\","
                                "\"Fraglich\",\"PublikumA\",\"PublikumB\",\"PublikumC\",\"PublikumD\",\"JokerTV\"";
    auto shellScript = [&](bool createTable) {
        std::string s = ".bail on\nBEGIN;\n";
        if (createTable)
            s += store::createTableSql().toStdString() + ";\n";
        s += ".import --csv --schema temp " + csv + " t\n";
        s += "INSERT INTO main.\"Zada-VI-VOZ\" (" + columns + ") SELECT " + columns + " FROM temp.t;\nCOMMIT;\n";
        return s;
    };
    const std::string createScript = path(dir, "create.sql");
    const std::string importScript = path(dir, "import.sql");
    writeText(createScript, shellScript(true));
    writeText(importScript, shellScript(false));

    const std::string ours = path(dir, "ours.mdb");
    const std::string theirs = path(dir, "shell.mdb");
    const std::string floor = path(dir, "floor.mdb");
    const QString floorPath = QFile::decodeName(floor.c_str());

    for (const bool create : {true, false}) {
        std::vector<double> a, b, c;
        std::vector<long> am, bm;
        for (int r = 0; r < rounds; ++r) {
            for (const std::string& f : {ours, theirs, floor}) {
                if (create)
                    removeFile(f);
                else
                    copyFile(base, f);
            }
            const Outcome o = spawn({quizdb, create ? "create" : "import", ours, csv}, {}, {});
            const Outcome s = spawn({"sqlite3", theirs}, create ? createScript : importScript, {});
            c.push_back(timed([&] { floorInsert(q, floorPath, create); }));
            a.push_back(o.seconds);
            b.push_back(s.seconds);
            am.push_back(o.peakKiB);
            bm.push_back(s.peakKiB);
        }
        rows.push_back({create ? "create" : "import", count, best(a), best(b), best(c), maxOf(am), maxOf(bm)});
    }

    // export and check read the file quizdb made last (the import: 100 more).
    {
        std::vector<double> a, b;
        std::vector<long> am, bm;
        const std::string query = "SELECT " + columns + " FROM \"Zada-VI-VOZ\" ORDER BY rowid";
        for (int r = 0; r < rounds; ++r) {
            const Outcome o = spawn({quizdb, "export", ours}, {}, path(dir, "ours.csv"));
            const Outcome s = spawn({"sqlite3", "-csv", "-header", ours, query}, {}, path(dir, "shell.csv"));
            a.push_back(o.seconds);
            b.push_back(s.seconds);
            am.push_back(o.peakKiB);
            bm.push_back(s.peakKiB);
        }
        rows.push_back({"export", count, best(a), best(b), 0, maxOf(am), maxOf(bm)});
    }
    {
        std::vector<double> a, c;
        std::vector<long> am;
        const QString file = QFile::decodeName(ours.c_str());
        for (int r = 0; r < rounds; ++r) {
            const Outcome o = spawn({quizdb, "check", ours}, {}, {});
            c.push_back(timed([&] { floorCheck(file); }));
            a.push_back(o.seconds);
            am.push_back(o.peakKiB);
        }
        rows.push_back({"check", count, best(a), 0, best(c), maxOf(am), 0});
    }
}

std::string ratio(double ours, double other, double target)
{
    if (other <= 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fx%s", ours / other, ours > target * other ? "!" : "");
    return buf;
}

std::string seconds3(double s)
{
    if (s <= 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", s);
    return buf;
}

std::string mib(long kib)
{
    if (kib <= 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", double(kib) / 1024.0);
    return buf;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "--measure") == 0)
        return measure(argc, argv);
    g_self = "/proc/self/exe";
    {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0)
            g_self.assign(buf, size_t(n));
    }
    std::vector<size_t> sizes = {1000, 350000, 1000000};
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--sizes") == 0) {
            sizes.clear();
            for (const QString& s : QString::fromLocal8Bit(argv[i + 1]).split(QLatin1Char(',')))
                sizes.push_back(s.toULongLong());
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    const std::string quizdb = QUIZDB_EXE;
    std::vector<Row> rows;
    for (size_t n : sizes)
        benchSize(n, rounds, quizdb, rows);

    std::printf("quizdb against the sqlite3 shell and the raw C API (seconds: best of %d rounds; memory: peak "
                "resident)\n\n",
                rounds);
    std::printf("%-7s %10s %9s %9s %9s %9s %9s %11s %10s\n", "work", "questions", "quizdb s", "shell s", "floor s",
                "/shell", "/floor", "quizdb MiB", "shell MiB");
    const size_t small = *std::min_element(sizes.begin(), sizes.end());
    const size_t big = *std::max_element(sizes.begin(), sizes.end());
    for (const Row& r : rows) {
        // The smallest size is there for the memory comparison; its times are
        // mostly starting a process and are held to no target.
        const bool write = r.work == "create" || r.work == "import";
        const double none = 1e9;
        std::printf("%-7s %10s %9s %9s %9s %9s %9s %11s %10s\n", r.work.c_str(), withSeparators(r.questions).c_str(),
                    seconds3(r.ours).c_str(), seconds3(r.shell).c_str(), seconds3(r.floor).c_str(),
                    ratio(r.ours, r.shell, r.questions == small && small != big ? none : write ? 1.3 : 1.2).c_str(),
                    ratio(r.ours, r.floor, r.questions == small && small != big ? none : write ? 2.0 : 1.2).c_str(),
                    mib(r.oursKiB).c_str(), mib(r.shellKiB).c_str());
    }
    if (small != big) {
        std::printf("\nquizdb peak memory at %s questions against %s:", withSeparators(big).c_str(),
                    withSeparators(small).c_str());
        for (const char* work : {"create", "import", "export", "check"}) {
            long a = 0, b = 0;
            for (const Row& r : rows) {
                if (r.work == work && r.questions == small)
                    a = r.oursKiB;
                if (r.work == work && r.questions == big)
                    b = r.oursKiB;
            }
            const double m = double(b) / double(a);
            std::printf("  %s %.2fx%s", work, m, m > 1.2 ? "!" : "");
        }
        std::printf("\n");
    }
    std::printf("\ntargets (all sizes but the smallest): create and import at most 1.3x the shell and 2x the floor;\n"
                "export at most 1.2x the shell; check at most 1.2x the floor; peak memory at the largest size at most\n"
                "1.2x that at the smallest. ! marks a ratio over its target.\n");
    return 0;
}
