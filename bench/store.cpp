// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question store beside plain SQLite: each operation of the record cursor
// timed on tables of 100, 10,000 and 1,000,000 records, next to the same work
// done with the SQLite C API on the same file (the floor), plus the peak
// memory of opening and moving at 100 and at 1,000,000 records.
//
//   bench_store                 the whole table (about a minute)
//   bench_store --quick         100 and 10,000 records only
//
// The floor does what the store must do for the same result: a move is one
// indexed seek on the rowid from the current key (not a running scan, which
// would not see the other connection's changes); a write is one BEGIN
// IMMEDIATE / statement / COMMIT. Timings are the fastest of many short
// interleaved rounds.
#include "bench/storefloor.h"
#include "store/store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using benchfloor::buildFile;
using benchfloor::check;
using benchfloor::Raw;
using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

const QStringList& names() { return store::fieldNames(); }

void storeAddNew(store::Recordset& rs)
{
    static const QStringList values = {QStringLiteral("7"),  QStringLiteral("Eine neue Frage, angehängt vom Editor?"),
                                       QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Vielleicht"),
                                       QStringLiteral("Nie"), QStringLiteral("A"), QStringLiteral("B"),
                                       QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("20"),
                                       QStringLiteral("10"), QStringLiteral("")};
    rs.AddNew();
    for (int i = 0; i < 13; ++i)
        rs.Collect(names().at(i), values.at(i));
    rs.Update();
}

struct Row {
    std::string operation;
    int records;
    double ours;  // microseconds per operation
    double floor; // microseconds per operation
};

// Times `ours` and `floor` in `rounds` interleaved rounds of `batch` calls each;
// returns the fastest round of each, per call. Other programs on the machine
// only ever add time to a round, so the fastest round is the least disturbed
// one, and many short rounds give both sides the same chance of one.
std::pair<double, double> compare(int rounds, int batch, const std::function<void()>& ours,
                                  const std::function<void()>& floor)
{
    double a = 1e300, b = 1e300;
    ours();
    floor(); // warm the page cache and the statements
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        for (int i = 0; i < batch; ++i)
            ours();
        auto t1 = Clock::now();
        for (int i = 0; i < batch; ++i)
            floor();
        auto t2 = Clock::now();
        a = std::min(a, microseconds(t1 - t0) / batch);
        b = std::min(b, microseconds(t2 - t1) / batch);
    }
    return {a, b};
}

volatile size_t g_sink = 0;

void benchTable(const QString& path, int records, std::vector<Row>& rows)
{
    // Open, first record current, its question read, closed again.
    {
        auto [o, f] = compare(
            150, 4,
            [&] {
                auto db = store::DBEngine::instance().OpenDatabase(path);
                auto rs = db->OpenRecordset(store::kTable);
                g_sink = g_sink + size_t(rs->Fields(QStringLiteral("Frage")).toString().size());
                rs->Close();
                db->Close();
            },
            [&] {
                // As safely as the store must open a file from anywhere: its
                // schema never runs, no value over 1 MiB, the table's kind and
                // columns read from the schema before the first record.
                sqlite3* db = nullptr;
                check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db,
                      "open");
                for (const int option : {SQLITE_DBCONFIG_DEFENSIVE, SQLITE_DBCONFIG_TRUSTED_SCHEMA,
                                         SQLITE_DBCONFIG_ENABLE_TRIGGER, SQLITE_DBCONFIG_ENABLE_VIEW})
                    sqlite3_db_config(db, option, option == SQLITE_DBCONFIG_DEFENSIVE ? 1 : 0, nullptr);
                sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 20);
                sqlite3_busy_timeout(db, store::kBusyTimeoutMs);
                for (const char* schema : {"SELECT type, wr FROM pragma_table_list WHERE schema='main' AND "
                                           "name='Zada-VI-VOZ' COLLATE NOCASE",
                                           "SELECT name, hidden FROM pragma_table_xinfo('Zada-VI-VOZ', 'main')"}) {
                    sqlite3_stmt* st = nullptr;
                    check(sqlite3_prepare_v2(db, schema, -1, &st, nullptr), db, "schema");
                    while (sqlite3_step(st) == SQLITE_ROW)
                        g_sink = g_sink + size_t(sqlite3_column_bytes(st, 0));
                    sqlite3_finalize(st);
                }
                sqlite3_stmt* st = nullptr;
                check(sqlite3_prepare_v2(db, "SELECT rowid, Frage FROM \"Zada-VI-VOZ\" ORDER BY rowid LIMIT 1", -1,
                                         &st, nullptr),
                      db, "prepare");
                if (sqlite3_step(st) == SQLITE_ROW)
                    g_sink = g_sink + size_t(sqlite3_column_bytes(st, 1));
                sqlite3_finalize(st);
                sqlite3_close(db);
            });
        rows.push_back({"open + first record", records, o, f});
    }

    auto db = store::DBEngine::instance().OpenDatabase(path);
    auto rs = db->OpenRecordset(store::kTable);
    Raw raw(path);

    {
        // Timed in rounds of 100 moves, each going on from where the last
        // one stopped, and counted per 1,000.
        auto [o, f] = compare(
            150, 1,
            [&] {
                for (int i = 0; i < 100; ++i) {
                    rs->MoveNext();
                    if (rs->IsEOF())
                        rs->MoveFirst();
                }
            },
            [&] {
                for (int i = 0; i < 100; ++i)
                    raw.moveNext();
            });
        rows.push_back({"1,000 MoveNext", records, 10 * o, 10 * f});
    }
    {
        auto [o, f] = compare(
            150, 200, [&] { rs->MoveLast(); }, [&] { raw.seek(raw.last); });
        rows.push_back({"MoveLast", records, o, f});
    }
    {
        rs->MoveFirst();
        raw.seek(raw.first);
        auto [o, f] = compare(
            150, 200, [&] { g_sink = g_sink + size_t(rs->Fields(QStringLiteral("Frage")).toString().size()); },
            [&] { g_sink = g_sink + raw.readField(); });
        rows.push_back({"field read", records, o, f});
    }
    {
        auto [o, f] = compare(
            150, 1, [&] { storeAddNew(*rs); }, [&] { raw.addNew(); });
        rows.push_back({"AddNew + Update", records, o, f});
    }
    {
        // Deletes the records just added, from the end.
        auto [o, f] = compare(
            150, 1,
            [&] {
                rs->MoveLast();
                rs->Delete();
            },
            [&] { raw.deleteLast(); });
        rows.push_back({"MoveLast + Delete", records, o, f});
    }
    rs->Close();
    db->Close();
}

long peakKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// In a fresh process: open, 1,000 moves, MoveLast, a field read; prints the
// peak resident memory in KiB.
int memoryChild(const char* path, bool raw)
{
    const QString file = QString::fromLocal8Bit(path);
    if (raw) {
        Raw r(file);
        for (int i = 0; i < 1000; ++i)
            r.moveNext();
        r.seek(r.last);
        g_sink = g_sink + r.readField();
    } else {
        auto db = store::DBEngine::instance().OpenDatabase(file);
        auto rs = db->OpenRecordset(store::kTable);
        for (int i = 0; i < 1000; ++i) {
            rs->MoveNext();
            if (rs->IsEOF())
                rs->MoveFirst();
        }
        rs->MoveLast();
        g_sink = g_sink + size_t(rs->Fields(QStringLiteral("Frage")).toString().size());
    }
    std::printf("%ld\n", peakKiB());
    return 0;
}

long measureMemory(const QString& path, bool raw)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const QByteArray file = QFile::encodeName(path);
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl("/proc/self/exe", "bench_store", raw ? "--memory-raw" : "--memory", file.constData(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buf[64] = {};
    const ssize_t n = read(fds[0], buf, sizeof buf - 1);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return n > 0 ? std::atol(buf) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return memoryChild(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "--memory-raw") == 0)
        return memoryChild(argv[2], true);
    const bool quick = argc == 2 && std::strcmp(argv[1], "--quick") == 0;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    std::vector<int> sizes = {100, 10000};
    if (!quick)
        sizes.push_back(1000000);

    std::vector<Row> rows;
    std::vector<std::pair<long, long>> memory;
    for (int size : sizes) {
        const QString path = dir.filePath(QStringLiteral("q%1.mdb").arg(size));
        const auto t0 = Clock::now();
        buildFile(path, size);
        std::fprintf(stderr, "built %d records in %.1f s\n", size, microseconds(Clock::now() - t0) / 1e6);
        memory.emplace_back(measureMemory(path, false), measureMemory(path, true));
        benchTable(path, size, rows);
    }

    std::printf("%-22s %10s %12s %12s %7s\n", "operation", "records", "store µs", "floor µs", "ratio");
    for (const Row& r : rows)
        std::printf("%-22s %10d %12.2f %12.2f %6.2fx%s\n", r.operation.c_str(), r.records, r.ours, r.floor,
                    r.ours / r.floor, r.ours > 1.5 * r.floor ? "  (over 1.5x)" : "");

    std::printf("\npeak memory of open + 1,000 moves + MoveLast + field read (KiB):\n");
    std::printf("%10s %12s %12s\n", "records", "store", "floor");
    for (size_t i = 0; i < sizes.size(); ++i)
        std::printf("%10d %12ld %12ld\n", sizes[i], memory[i].first, memory[i].second);

    auto find = [&](const std::string& op, int size) {
        for (const Row& r : rows)
            if (r.operation == op && r.records == size)
                return r.ours;
        return 0.0;
    };
    const int big = sizes.back();
    std::printf("\nstore at %d records against 100 records:\n", big);
    for (const char* op : {"open + first record", "1,000 MoveNext", "MoveLast"}) {
        const double ratio = find(op, big) / find(op, 100);
        std::printf("  %-20s %6.2fx%s\n", op, ratio, ratio > 1.2 ? "  (over 1.2x)" : "");
    }
    const double mem = double(memory.back().first) / double(memory.front().first);
    std::printf("  %-20s %6.2fx%s\n", "peak memory", mem, mem > 1.2 ? "  (over 1.2x)" : "");
    return 0;
}
