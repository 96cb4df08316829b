// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The open file: how every connection is opened and hardened, the wait for
// another program's lock, and the bound on the work of one step.
#include "store/sqlitefile.h"

#include <sqlite3.h>

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>
#include <time.h>

namespace store::sqlite {

namespace {

// The bound on work. A damaged b-tree can make SQLite walk without end. Every
// step of a statement (up to its next row, or to its end) may compute for
// kMaxStepWorkMs; then SQLite ends it with SQLITE_INTERRUPT and rolls its
// change back. SQLite asks the progress handler only where its programs loop,
// so the bound covers walks and loops, not one long expression: that is why
// open() also switches the file's CHECK constraints off. The program runs
// statements one at a time on each thread, so one watch per thread serves all
// its connections. SQLite's trace events mark the steps: a statement starting
// starts the clock; after a row is handed out, or a statement has ended, the
// caller works on its own time, so the clock starts again at the next
// progress call; and waiting for another program's lock restarts it.
constexpr qint64 kMaxStepWorkMs = 1000;
// Virtual machine instructions between two looks at the clock. The coarse
// clock costs a few nanoseconds and is exact enough for a bound of a second.
constexpr int kProgressInstructions = 1000;

qint64 coarseMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

struct StepWatch {
    qint64 start = 0;
    bool fresh = true;
};
thread_local StepWatch t_watch;

int stepEvent(unsigned event, void*, void*, void*)
{
    t_watch.fresh = event != SQLITE_TRACE_STMT;
    if (!t_watch.fresh)
        t_watch.start = coarseMilliseconds();
    return 0;
}

int stepProgress(void*)
{
    const qint64 now = coarseMilliseconds();
    if (t_watch.fresh) {
        t_watch.fresh = false;
        t_watch.start = now;
        return 0;
    }
    return now - t_watch.start > kMaxStepWorkMs ? 1 : 0;
}

// Waits for another program's lock as SQLite's own busy timeout does, in
// growing pauses up to the timeout carried in `timeoutMs`; the wait does not
// count as work.
int waitForLock(void* timeoutMs, int attempt)
{
    static constexpr int pauses[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int count = int(std::size(pauses));
    const int timeout = int(reinterpret_cast<intptr_t>(timeoutMs));
    int waited = 0;
    for (int i = 0; i < attempt; ++i)
        waited += pauses[std::min(i, count - 1)];
    const int pause = std::min(pauses[std::min(attempt, count - 1)], timeout - waited);
    if (pause <= 0)
        return 0;
    sqlite3_sleep(pause);
    t_watch.fresh = true;
    return 1;
}

// Turns one switch of the connection on or off and reads back that it holds:
// a library that does not know the switch must not open the file unguarded.
bool configure(sqlite3* db, int option, bool on)
{
    int now = -1;
    return sqlite3_db_config(db, option, on ? 1 : 0, &now) == SQLITE_OK && now == (on ? 1 : 0);
}

void applyBusyTimeout(sqlite3* db, int milliseconds)
{
    sqlite3_busy_handler(db, waitForLock, reinterpret_cast<void*>(intptr_t(milliseconds)));
}

QString sqliteTextOf(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
}

} // namespace

File::File(const QString& path, Threads threads, const QString& shownAs, Mode mode)
    : m_path(shownAs.isEmpty() ? path : shownAs)
{
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE)
        | (threads == Threads::One ? SQLITE_OPEN_NOMUTEX : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if ((rc & 0xff) == SQLITE_NOMEM) {
        close();
        throw std::bad_alloc(); // as every other lack of memory: no words of SQLite's
    }
    if (rc != SQLITE_OK) {
        const QString text = sqliteTextOf(m_db);
        close(); // also when opening failed, SQLite hands out a handle to close
        throw Error(QStringLiteral("Die Fragendatei „%1“ kann nicht geöffnet werden: %2.")
                        .arg(shownPath(m_path), describe(rc, text)),
                    rc);
    }
    // A question file comes from anywhere: whatever its schema holds is never
    // executed. Triggers would change or delete records behind every save,
    // a view named like the table would run its query on every read, and
    // functions in defaults, checks or generated columns run only when SQLite
    // marks them harmless.
    const bool guarded = configure(m_db, SQLITE_DBCONFIG_DEFENSIVE, true)
        && configure(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, false)
        && configure(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, false)
        && configure(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, false);
    if (!guarded) {
        close();
        throw Error(QStringLiteral("Die Fragendatei „%1“ kann nicht sicher geöffnet werden: die SQLite-Bibliothek "
                                   "(Version %2) ist zu alt.")
                        .arg(shownPath(m_path), QString::fromLatin1(sqlite3_libversion())),
                    SQLITE_MISUSE);
    }
    // No value is ever larger than this in memory, however large the file says it is.
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    applyBusyTimeout(m_db, store::kBusyTimeoutMs);
    sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT | SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE, stepEvent, nullptr);
    sqlite3_progress_handler(m_db, kProgressInstructions, stepProgress, nullptr);
    // A double-quoted name that matches no column must be an error, not a
    // string constant: otherwise a missing field would read as its own name.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(m_db, 1);
    // A CHECK constraint is code from the file that SQLite runs on every write
    // without asking the progress handler: twenty of them can compute for a
    // minute. The program checks what it writes itself (and quizdb check names
    // the file's constraints), so the file's own are not run.
    sqlite3_exec(m_db, "PRAGMA ignore_check_constraints=ON", nullptr, nullptr, nullptr);
}

File::~File()
{
    close();
}

File::File(File&& other) noexcept : m_path(std::move(other.m_path)), m_db(std::exchange(other.m_db, nullptr)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

void File::close()
{
    // close_v2 leaves the handle to SQLite until its last statement is
    // finalized, so closing never fails and never has to wait for a record set.
    sqlite3_close_v2(std::exchange(m_db, nullptr));
}

bool File::isWritable() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 0;
}

void File::setBusyTimeout(int milliseconds)
{
    applyBusyTimeout(m_db, milliseconds);
}

void File::execute(const QString& sql)
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw writeError(rc);
}

qint64 File::lastAddedKey() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int File::changes() const
{
    return sqlite3_changes(m_db);
}

QStringList File::structureFaults(int max)
{
    // Rows of SQLite's check that are about values, not structure.
    static const QLatin1StringView valueRules[] = {QLatin1StringView("NULL value in "),
                                                   QLatin1StringView("CHECK constraint failed"),
                                                   QLatin1StringView("non-")};
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = "PRAGMA quick_check(" + QByteArray::number(max + 100) + ")";
    if (const int rc = sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr); rc != SQLITE_OK)
        throw readError(rc);
    // Every page is visited once, whatever the file holds.
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    QStringList faults;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        for (const QString& line : QString::fromUtf8(text ? text : "").split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const bool structural = line != QLatin1StringView("ok") && !line.startsWith(QLatin1StringView("*** "))
                && std::none_of(std::begin(valueRules), std::end(valueRules),
                                [&](QLatin1StringView rule) { return line.startsWith(rule); });
            if (structural && faults.size() < max)
                faults << line;
        }
    }
    sqlite3_finalize(st);
    sqlite3_progress_handler(m_db, kProgressInstructions, stepProgress, nullptr);
    if (rc != SQLITE_DONE)
        throw readError(rc);
    return faults;
}

Error File::readError(int code) const
{
    return sqlite::readError(m_path, code, sqliteTextOf(m_db));
}

Error File::writeError(int code) const
{
    return sqlite::writeError(m_path, code, sqliteTextOf(m_db));
}

} // namespace store::sqlite
