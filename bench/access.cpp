// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb create from an Access question table of 20,000 questions beside the
// pipe `mdb-export FILE Zada-VI-VOZ | plomberg-quizdb create NEW -`, both in
// the same run: wall clock from start to exit (the best of interleaved
// rounds) and the peak resident memory of the largest process of each.
//
// No program on this machine writes Jet files, so the table is made here: a
// Jet 4 file of the Access test data (../shared/jet/made-here/
// Zada-V2003-valid.mdb, read from there) gets data pages of its own records,
// copied byte for byte, until the table holds the questions asked for; the
// table's page map and row count are set to match. mdb-export must read it
// back whole before anything is measured.
//
//   bench_access [--questions 20000] [--rounds 5] [--write FILE]
//
// --write FILE only writes the Access file there (for profiling) and ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const std::string& what)
{
    std::fprintf(stderr, "bench_access: %s\n", what.c_str());
    std::exit(1);
}

// The template: where its question table lives.
constexpr int kPage = 4096;
constexpr int kTablePage = 50;  // its definition
constexpr int kDataPage = 53;   // its one data page
constexpr int kMapPage = 54;    // the page of its page map (a reference map, one bitmap page)
constexpr int kRowCountAt = 16; // in the definition
constexpr int kSlotsAt = 12;    // in a data page: the slot count, then the slots

unsigned u16(const QByteArray& b, qsizetype at)
{
    return unsigned(static_cast<unsigned char>(b[at])) | unsigned(static_cast<unsigned char>(b[at + 1])) << 8;
}

unsigned u32(const QByteArray& b, qsizetype at)
{
    return u16(b, at) | u16(b, at + 2) << 16;
}

void put16(QByteArray& b, qsizetype at, unsigned v)
{
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

void put32(QByteArray& b, qsizetype at, unsigned v)
{
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}

// The Jet 4 file with `questions` records in its question table.
QByteArray makeJetFile(const QByteArray& tpl, int questions)
{
    const qsizetype data = qsizetype(kDataPage) * kPage;
    if (tpl.size() != qsizetype(kMapPage + 1) * kPage || tpl[qsizetype(kTablePage) * kPage] != 2 || tpl[data] != 1 ||
        int(u32(tpl, data + 4)) != kTablePage || tpl[qsizetype(kMapPage) * kPage] != 5)
        die("the template is not the file this benchmark knows");
    // The live records of its data page, as they stand.
    std::vector<QByteArray> rows;
    const unsigned slotCount = u16(tpl, data + kSlotsAt);
    for (unsigned slot = 0; slot < slotCount; ++slot) {
        const unsigned word = u16(tpl, data + kSlotsAt + 2 + 2 * slot);
        const unsigned end = slot == 0 ? kPage : u16(tpl, data + kSlotsAt + 2 * slot) & 0x1fff;
        if ((word & 0xc000) == 0)
            rows.push_back(tpl.mid(data + (word & 0x1fff), end - (word & 0x1fff)));
    }
    QByteArray out = tpl;
    int count = int(rows.size());
    for (int next = 0; count < questions;) {
        QByteArray page(kPage, '\0');
        page[0] = 1;
        page[1] = 1;
        put32(page, 4, kTablePage);
        unsigned top = kPage;
        unsigned n = 0;
        while (count < questions) {
            const QByteArray& row = rows[size_t(next % int(rows.size()))];
            if (kSlotsAt + 2 + 2 * (n + 1) + row.size() > top || n == 255)
                break;
            top -= unsigned(row.size());
            std::memcpy(page.data() + top, row.constData(), size_t(row.size()));
            put16(page, kSlotsAt + 2 + 2 * n, top);
            ++n;
            ++next;
            ++count;
        }
        put16(page, kSlotsAt, n);
        put16(page, 2, top - (kSlotsAt + 2 + 2 * n));
        const qsizetype number = out.size() / kPage;
        out += page;
        // The table's page map: bit `number` of its bitmap page.
        const qsizetype bit = qsizetype(kMapPage) * kPage + 4 + number / 8;
        out[bit] = char(out[bit] | (1 << (number % 8)));
    }
    put32(out, qsizetype(kTablePage) * kPage + kRowCountAt, unsigned(count));
    return out;
}

struct Outcome {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs `command` through the shell and waits: its time from start to exit
// and the peak memory of its largest process.
Outcome run(const std::string& command)
{
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Outcome o{std::chrono::duration<double>(Clock::now() - t0).count(), usage.ru_maxrss};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        die("failed: " + command);
    return o;
}

std::string quoted(const QString& path)
{
    return "'" + QFile::encodeName(path).toStdString() + "'";
}

} // namespace

int main(int argc, char** argv)
{
    int questions = 20000;
    int rounds = 5;
    const char* writeOnly = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--write") == 0)
            writeOnly = argv[i + 1];
        if (std::strcmp(argv[i], "--questions") == 0)
            questions = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::atoi(argv[i + 1]);
    }
    QFile tplFile(QStringLiteral(QUIZ_SOURCE_DIR "/../shared/jet/made-here/Zada-V2003-valid.mdb"));
    if (!tplFile.open(QIODevice::ReadOnly))
        die("../shared/jet/made-here/Zada-V2003-valid.mdb (the Access test files) is not there");
    QTemporaryDir dir;
    const QString file = writeOnly ? QFile::decodeName(writeOnly) : dir.filePath(QStringLiteral("fragen.mdb"));
    QFile out(file);
    const QByteArray jet = makeJetFile(tplFile.readAll(), questions);
    if (!out.open(QIODevice::WriteOnly) || out.write(jet) != jet.size())
        die("cannot write the Access file");
    out.close();
    if (writeOnly)
        return 0;

    // mdb-export reads it back whole: the header line and one line a question.
    QProcess exporter;
    exporter.start(QStringLiteral("mdb-export"), {file, QStringLiteral("Zada-VI-VOZ")});
    if (!exporter.waitForFinished(120000) || exporter.exitCode() != 0)
        die("mdb-export cannot read the file made here");
    const qsizetype lines = exporter.readAllStandardOutput().count('\n');
    if (lines != questions + 1)
        die("mdb-export reads " + std::to_string(lines - 1) + " questions, not " + std::to_string(questions));

    const std::string quizdb = QUIZDB_EXE;
    const std::string ours = quizdb + " create " + quoted(dir.filePath(QStringLiteral("a.mdb"))) + " " + quoted(file) + " >/dev/null 2>&1";
    const std::string pipe = "mdb-export " + quoted(file) + " Zada-VI-VOZ | " + quizdb + " create " +
                             quoted(dir.filePath(QStringLiteral("b.mdb"))) + " - >/dev/null 2>&1";
    Outcome best[2] = {{1e9, 0}, {1e9, 0}};
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            QFile::remove(dir.filePath(which ? QStringLiteral("b.mdb") : QStringLiteral("a.mdb")));
            const Outcome o = run(which ? pipe : ours);
            best[which].seconds = std::min(best[which].seconds, o.seconds);
            best[which].peakKiB = std::max(best[which].peakKiB, o.peakKiB);
        }
    }
    // Both made the same question file: every question, each in order.
    for (const char* made : {"a.mdb", "b.mdb"}) {
        QProcess check;
        check.start(QString::fromStdString(quizdb), {QStringLiteral("check"), dir.filePath(QString::fromLatin1(made))});
        if (!check.waitForFinished(120000) ||
            !check.readAllStandardOutput().contains(QStringLiteral("Alle %1 Datensätze sind in Ordnung.").arg(questions).toUtf8()))
            die(std::string("the question file made by ") + (made[0] == 'a' ? "create from the file" : "the pipe") +
                " does not hold every question");
    }
    std::printf("Access table of %d questions (Jet 4, %.1f MiB), best of %d rounds\n", questions,
                double(jet.size()) / (1 << 20), rounds);
    std::printf("%-44s %10s %14s\n", "", "time", "peak memory");
    std::printf("%-44s %8.3f s %10.1f MiB\n", "plomberg-quizdb create NEW FILE", best[0].seconds, best[0].peakKiB / 1024.0);
    std::printf("%-44s %8.3f s %10.1f MiB\n", "mdb-export FILE | plomberg-quizdb create NEW -", best[1].seconds,
                best[1].peakKiB / 1024.0);
    std::printf("%-44s %8.2fx (target: at most 1.2x)\n", "create from the file / the pipe", best[0].seconds / best[1].seconds);
    return 0;
}
