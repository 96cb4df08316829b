// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The SQLite layer under the store and quizdb: opening, statements,
// transactions and the wording of failures.
#include "store/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <new>
#include <time.h>

namespace store::sqlite {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString maxValueText()
{
    static_assert(kMaxValueBytes % (1 << 20) == 0, "the limit is named in whole MiB");
    return QStringLiteral("%1 MiB").arg(kMaxValueBytes >> 20);
}

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

} // namespace

Handle open(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    Handle db(raw); // closed on every way out, also when opening failed
    if ((rc & 0xff) == SQLITE_NOMEM)
        throw std::bad_alloc(); // as every other lack of memory: no words of SQLite's
    if (rc != SQLITE_OK)
        throw Error(QStringLiteral("Die Fragendatei „%1“ kann nicht geöffnet werden: %2.")
                        .arg(shownPath(path), describe(rc, raw)));
    // A question file comes from anywhere: whatever its schema holds is never
    // executed. Triggers would change or delete records behind every save,
    // a view named like the table would run its query on every read, and
    // functions in defaults, checks or generated columns run only when SQLite
    // marks them harmless.
    const bool guarded = configure(raw, SQLITE_DBCONFIG_DEFENSIVE, true)
        && configure(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, false)
        && configure(raw, SQLITE_DBCONFIG_ENABLE_TRIGGER, false)
        && configure(raw, SQLITE_DBCONFIG_ENABLE_VIEW, false);
    if (!guarded)
        throw Error(QStringLiteral("Die Fragendatei „%1“ kann nicht sicher geöffnet werden: die SQLite-Bibliothek "
                                   "(Version %2) ist zu alt.")
                        .arg(shownPath(path), QString::fromLatin1(sqlite3_libversion())));
    // No value is ever larger than this in memory, however large the file says it is.
    sqlite3_limit(raw, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    setBusyTimeout(raw, kBusyTimeoutMs);
    sqlite3_trace_v2(raw, SQLITE_TRACE_STMT | SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE, stepEvent, nullptr);
    sqlite3_progress_handler(raw, kProgressInstructions, stepProgress, nullptr);
    // A double-quoted name that matches no column must be an error, not a
    // string constant: otherwise a missing field would read as its own name.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(raw, 1);
    // A CHECK constraint is code from the file that SQLite runs on every write
    // without asking the progress handler: twenty of them can compute for a
    // minute. The program checks what it writes itself (and quizdb check names
    // the file's constraints), so the file's own are not run.
    execute(raw, "PRAGMA ignore_check_constraints=ON");
    return db;
}

void setBusyTimeout(sqlite3* db, int milliseconds)
{
    sqlite3_busy_handler(db, waitForLock, reinterpret_cast<void*>(intptr_t(milliseconds)));
}

int prepare(sqlite3* db, const QString& sql, Statement& out, unsigned flags)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(db, text.constData(), int(text.size()), flags, &raw, nullptr);
    out.reset(rc == SQLITE_OK ? raw : nullptr);
    if (rc != SQLITE_OK)
        sqlite3_finalize(raw);
    return rc;
}

Statement prepareOrThrow(sqlite3* db, const QString& path, const QString& sql, unsigned flags)
{
    Statement statement;
    const int rc = prepare(db, sql, statement, flags);
    if (rc != SQLITE_OK)
        throw readError(path, rc, db);
    return statement;
}

int bindText(sqlite3_stmt* st, int index, const std::optional<QString>& text)
{
    if (!text)
        return sqlite3_bind_null(st, index);
    const QByteArray bytes = text->toUtf8();
    return sqlite3_bind_text(st, index, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

int tableColumns(sqlite3* db, const QString& table, QStringList& names)
{
    Statement columns;
    int rc = prepare(db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"), columns);
    if (rc != SQLITE_OK)
        return rc;
    bindText(columns.get(), 1, table);
    while ((rc = sqlite3_step(columns.get())) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0)));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int tableShape(sqlite3* db, const QString& table, TableShape& shape)
{
    shape = TableShape();
    Statement list;
    int rc = prepare(db, QStringLiteral("SELECT type, wr FROM pragma_table_list WHERE schema='main' AND name=?1 COLLATE NOCASE"),
                     list);
    if (rc != SQLITE_OK)
        return rc;
    bindText(list.get(), 1, table);
    rc = stepOnce(list.get(), [&](sqlite3_stmt* row) {
        shape.kind = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)));
        shape.withoutRowid = sqlite3_column_int(row, 1) != 0;
    });
    if (rc != SQLITE_ROW)
        return rc == SQLITE_DONE ? SQLITE_OK : rc;

    Statement columns;
    rc = prepare(db, QStringLiteral("SELECT name, hidden FROM pragma_table_xinfo(?1, 'main')"), columns);
    if (rc != SQLITE_OK)
        return rc;
    bindText(columns.get(), 1, table);
    while ((rc = sqlite3_step(columns.get())) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0)));
        shape.columns << name;
        if (sqlite3_column_int(columns.get(), 1) != 0)
            shape.computed << name;
    }
    if (rc != SQLITE_DONE)
        return rc;
    // A column named like a row key alias hides it; the next alias still reaches the key.
    for (const QString& alias : {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        if (!shape.columns.contains(alias, Qt::CaseInsensitive)) {
            shape.rowKey = alias;
            break;
        }
    }
    return SQLITE_OK;
}

bool keysUsedUp(sqlite3* db, const QString& table)
{
    constexpr sqlite3_int64 kHighest = std::numeric_limits<sqlite3_int64>::max();
    const auto highest = [db](const QString& sql, const QString& parameter) {
        Statement st;
        sqlite3_int64 value = 0;
        if (prepare(db, sql, st) == SQLITE_OK && (parameter.isEmpty() || bindText(st.get(), 1, parameter) == SQLITE_OK))
            stepOnce(st.get(), [&](sqlite3_stmt* row) { value = sqlite3_column_int64(row, 0); });
        return value;
    };
    TableShape shape;
    if (tableShape(db, table, shape) != SQLITE_OK || shape.rowKey.isEmpty())
        return false;
    // A file without AUTOINCREMENT has no sqlite_sequence: its query fails and counts 0.
    return highest(QStringLiteral("SELECT max(%1) FROM %2").arg(shape.rowKey, identifier(table)), QString()) == kHighest
        || highest(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?1 COLLATE NOCASE"), table) == kHighest;
}

int execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

QString identifier(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString identifierList(const QStringList& names)
{
    QStringList quotedNames;
    for (const QString& name : names)
        quotedNames << identifier(name);
    return quotedNames.join(QLatin1Char(','));
}

bool isLock(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

QString describe(int rc, sqlite3* db)
{
    // The causes that share a primary code with a more common one.
    switch (rc) {
    case SQLITE_READONLY_DBMOVED:
        return QStringLiteral("die Datei wurde inzwischen verschoben, gelöscht oder durch eine andere ersetzt; bitte "
                              "das Fenster schließen und wieder öffnen");
    case SQLITE_READONLY_ROLLBACK:
        return QStringLiteral("eine unterbrochene Änderung (die Datei „-journal“ daneben) muss erst zurückgenommen "
                              "werden, und dafür fehlt das Schreibrecht auf die Datei oder ihren Ordner");
    default:
        break;
    }
    const QString own = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    if (own.startsWith(QLatin1String("no such collation sequence")))
        return QStringLiteral("die Datei verlangt eine Sortierfolge, die das Quiz nicht kennt (%1)")
            .arg(own.section(QLatin1Char(':'), 1).trimmed());
    switch (rc & 0xff) {
    case SQLITE_INTERRUPT:
        return QStringLiteral("ein Arbeitsschritt hätte länger als eine Sekunde gerechnet und wurde abgebrochen; die "
                              "Datei verlangt aufwendige Berechnungen, etwa in Prüfregeln (CHECK) oder "
                              "Indexausdrücken");
    case SQLITE_NOMEM:
        return QStringLiteral("nicht genug Arbeitsspeicher");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("die Datei wird gerade von einem anderen Programm benutzt und ist gesperrt");
    case SQLITE_READONLY:
        return QStringLiteral("die Datei ist schreibgeschützt");
    case SQLITE_FULL:
        return QStringLiteral("der Datenträger ist voll");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("die Datei ist beschädigt oder keine Fragendatei");
    case SQLITE_IOERR:
        return QStringLiteral("Lese- oder Schreibfehler des Datenträgers");
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("kein Zugriff auf die Datei");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("der Wert wurde von der Datenbank abgelehnt");
    case SQLITE_TOOBIG:
        return QStringLiteral("ein Wert ist größer als %1").arg(maxValueText());
    default:
        break;
    }
    return db ? own : QString::fromUtf8(sqlite3_errstr(rc));
}

namespace {

// describe() for the file at `path`: SQLite cannot open a journal that is a
// symbolic link, and says no more than that it cannot open a file.
QString describeAt(const QString& path, int rc, sqlite3* db)
{
    if (const QString link = linkedJournal(path); (rc & 0xff) == SQLITE_CANTOPEN && !link.isEmpty())
        return QStringLiteral("neben ihr liegt „%1“ als symbolische Verknüpfung, und einer solchen folgt "
                              "SQLite nicht; bitte die Verknüpfung entfernen")
            .arg(shownPath(link));
    return describe(rc, db);
}

} // namespace

QString linkedJournal(const QString& path)
{
    for (const QString& side : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFileInfo(path + side).isSymLink())
            return path + side;
    }
    return QString();
}

Error readError(const QString& path, int rc, sqlite3* db)
{
    QString message = QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: %2.").arg(shownPath(path), describeAt(path, rc, db));
    if (isLock(rc))
        message += QStringLiteral(" Bitte das andere Programm schließen und es erneut versuchen.");
    return Error(message);
}

Error writeError(const QString& path, int rc, sqlite3* db)
{
    if ((rc & 0xff) == SQLITE_READONLY)
        return readOnlyError(path);
    if (isLock(rc))
        return Error(QStringLiteral("Die Fragendatei „%1“ ist von einem anderen Programm gesperrt; die Änderung "
                                    "wurde nicht gespeichert.")
                         .arg(shownPath(path)));
    return Error(QStringLiteral("Die Änderung konnte nicht in die Fragendatei „%1“ geschrieben werden (%2); es "
                                "wurde nichts gespeichert.")
                     .arg(shownPath(path), describeAt(path, rc, db)));
}

Error readOnlyError(const QString& path)
{
    return Error(QStringLiteral("Die Fragendatei „%1“ ist schreibgeschützt; die Änderung wurde nicht gespeichert.")
                     .arg(shownPath(path)));
}

Transaction::Transaction(sqlite3* db, const QString& path) : m_db(db), m_path(path)
{
    const int rc = execute(m_db, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK)
        throw writeError(m_path, rc, m_db);
}

Transaction::~Transaction()
{
    // SQLite may already have rolled back on its own (a full disk, for one).
    if (!m_committed && !sqlite3_get_autocommit(m_db))
        execute(m_db, "ROLLBACK");
}

void Transaction::commit()
{
    const int rc = execute(m_db, "COMMIT");
    if (rc != SQLITE_OK)
        throw writeError(m_path, rc, m_db);
    m_committed = true;
}

} // namespace store::sqlite
