// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The SQLite layer under the store and quizdb: opening, statements,
// transactions and the wording of failures. The only file that calls SQLite.
#include "store/sqlite.h"

#include <sqlite3.h>

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

namespace {

void applyBusyTimeout(sqlite3* db, int milliseconds)
{
    sqlite3_busy_handler(db, waitForLock, reinterpret_cast<void*>(intptr_t(milliseconds)));
}

QString sqliteTextOf(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
}

int primary(int code)
{
    return code & 0xff;
}

bool isLockCode(int code)
{
    return primary(code) == SQLITE_BUSY || primary(code) == SQLITE_LOCKED;
}

} // namespace

bool Error::isLock() const
{
    return isLockCode(m_code);
}
bool Error::isTooBig() const
{
    return primary(m_code) == SQLITE_TOOBIG;
}
bool Error::isFull() const
{
    return primary(m_code) == SQLITE_FULL;
}
bool Error::isDamaged() const
{
    return primary(m_code) == SQLITE_CORRUPT || primary(m_code) == SQLITE_NOTADB;
}
bool Error::isReadOnly() const
{
    return primary(m_code) == SQLITE_READONLY;
}
bool Error::isCantOpen() const
{
    return primary(m_code) == SQLITE_CANTOPEN;
}
bool Error::isPlain() const
{
    return primary(m_code) == SQLITE_ERROR;
}
bool Error::isNoMemory() const
{
    return primary(m_code) == SQLITE_NOMEM;
}

File::File(const QString& path, Threads threads, const QString& shownAs) : m_path(shownAs.isEmpty() ? path : shownAs)
{
    const int flags = SQLITE_OPEN_READWRITE | (threads == Threads::One ? SQLITE_OPEN_NOMUTEX : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (primary(rc) == SQLITE_NOMEM) {
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
    applyBusyTimeout(m_db, kBusyTimeoutMs);
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

Error File::readError(int code) const
{
    return sqlite::readError(m_path, code, sqliteTextOf(m_db));
}

Error File::writeError(int code) const
{
    return sqlite::writeError(m_path, code, sqliteTextOf(m_db));
}

void Prepared::Finalize::operator()(sqlite3_stmt* st) const noexcept
{
    sqlite3_finalize(st);
}

Prepared::Prepared(File& file, const QString& sql, Use use) : m_file(&file)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(file.m_db, text.constData(), int(text.size()),
                                      use == Use::Kept ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
    m_st.reset(raw);
    if (rc != SQLITE_OK)
        throw file.readError(rc);
}

Statement::Statement(Prepared& prepared) : m_prepared(prepared) {}

Statement::Statement(File& file, const QString& sql) : m_own(file, sql, Prepared::Use::Once), m_prepared(m_own) {}

Statement::~Statement()
{
    sqlite3_reset(m_prepared.m_st.get());
    sqlite3_clear_bindings(m_prepared.m_st.get());
}

void Statement::fail(int code) const
{
    // A statement that writes nothing fails as a read of the file.
    const File& file = *m_prepared.m_file;
    if (sqlite3_stmt_readonly(m_prepared.m_st.get()))
        throw file.readError(code);
    throw file.writeError(code);
}

void Statement::check(int code) const
{
    if (code != SQLITE_OK)
        fail(code);
}

Statement& Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_prepared.m_st.get(), index, value));
    return *this;
}

Statement& Statement::bind(int index, const std::optional<QString>& text)
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    if (!text) {
        check(sqlite3_bind_null(st, index));
        return *this;
    }
    const QByteArray bytes = text->toUtf8();
    check(sqlite3_bind_text(st, index, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindInPlace(int index, std::optional<QByteArrayView> text)
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    if (!text)
        check(sqlite3_bind_null(st, index));
    else
        check(sqlite3_bind_text(st, index, text->isEmpty() ? "" : text->data(), int(text->size()), SQLITE_STATIC));
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_prepared.m_st.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(rc);
}

void Statement::run()
{
    // A write statement that hands out a row (RETURNING) is a mistake of ours.
    if (step())
        fail(SQLITE_MISUSE);
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(m_prepared.m_st.get(), column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_prepared.m_st.get(), column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_prepared.m_st.get(), column);
}

QString Statement::text(int column) const
{
    const std::optional<QByteArrayView> b = bytes(column);
    return b ? QString::fromUtf8(*b) : QString();
}

std::optional<QByteArrayView> Statement::bytes(int column) const
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    const int type = sqlite3_column_type(st, column);
    if (type == SQLITE_NULL)
        return std::nullopt;
    // The value is read as it is stored: the statement belongs to one thread.
    const char* data = type == SQLITE_BLOB ? static_cast<const char*>(sqlite3_column_blob(st, column))
                                           : reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    const int size = sqlite3_column_bytes(st, column);
    if (!data && (size > 0 || type != SQLITE_BLOB))
        throw std::bad_alloc(); // no memory to hold the value or to turn a number into text
    return QByteArrayView(data ? data : "", size);
}

Transaction::Transaction(File& file) : m_file(file)
{
    const int rc = sqlite3_exec(file.handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw file.writeError(rc);
}

Transaction::~Transaction()
{
    // SQLite may already have rolled back on its own (a full disk, for one).
    if (!m_committed && m_file.isOpen() && !sqlite3_get_autocommit(m_file.handle()))
        sqlite3_exec(m_file.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    const int rc = sqlite3_exec(m_file.handle(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw m_file.writeError(rc);
    m_committed = true;
}

TableShape tableShape(File& file, const QString& table)
{
    TableShape shape;
    {
        Statement list(file, QStringLiteral("SELECT type, wr FROM pragma_table_list WHERE schema='main' AND name=?1 "
                                            "COLLATE NOCASE"));
        list.bind(1, table);
        if (!list.step())
            return shape;
        shape.kind = list.text(0);
        shape.withoutRowid = list.integer(1) != 0;
    }
    Statement columns(file, QStringLiteral("SELECT name, hidden FROM pragma_table_xinfo(?1, 'main')"));
    columns.bind(1, table);
    while (columns.step()) {
        const QString name = columns.text(0);
        shape.columns << name;
        if (columns.integer(1) != 0)
            shape.computed << name;
    }
    // A column named like a row key alias hides it; the next alias still reaches the key.
    for (const QString& alias : {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        if (!shape.columns.contains(alias, Qt::CaseInsensitive)) {
            shape.rowKey = alias;
            break;
        }
    }
    return shape;
}

bool keysUsedUp(File& file, const QString& table)
{
    constexpr qint64 kHighest = std::numeric_limits<qint64>::max();
    // Only asked after a failed insert: a query that fails counts 0.
    const auto highest = [&file](const QString& sql, const QString& parameter) -> qint64 {
        try {
            Statement st(file, sql);
            if (!parameter.isEmpty())
                st.bind(1, parameter);
            return st.step() ? st.integer(0) : 0;
        } catch (const Error&) {
            return 0;
        }
    };
    TableShape shape;
    try {
        shape = tableShape(file, table);
    } catch (const Error&) {
        return false;
    }
    if (shape.rowKey.isEmpty())
        return false;
    // A file without AUTOINCREMENT has no sqlite_sequence: its query fails and counts 0.
    return highest(QStringLiteral("SELECT max(%1) FROM %2").arg(shape.rowKey, identifier(table)), QString()) == kHighest
        || highest(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?1 COLLATE NOCASE"), table) == kHighest;
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

QString describe(int rc, const QString& own)
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
    if (own.startsWith(QLatin1String("no such collation sequence")))
        return QStringLiteral("die Datei verlangt eine Sortierfolge, die das Quiz nicht kennt (%1)")
            .arg(own.section(QLatin1Char(':'), 1).trimmed());
    switch (primary(rc)) {
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
    return own.isEmpty() ? QString::fromUtf8(sqlite3_errstr(rc)) : own;
}

namespace {

// describe() for the file at `path`: SQLite cannot open a journal that is a
// symbolic link, and says no more than that it cannot open a file.
QString describeAt(const QString& path, int rc, const QString& own)
{
    if (const QString link = linkedJournal(path); primary(rc) == SQLITE_CANTOPEN && !link.isEmpty())
        return QStringLiteral("neben ihr liegt „%1“ als symbolische Verknüpfung, und einer solchen folgt "
                              "SQLite nicht; bitte die Verknüpfung entfernen")
            .arg(shownPath(link));
    return describe(rc, own);
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

Error readError(const QString& path, int rc, const QString& own)
{
    QString message = QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: %2.").arg(shownPath(path), describeAt(path, rc, own));
    if (isLockCode(rc))
        message += QStringLiteral(" Bitte das andere Programm schließen und es erneut versuchen.");
    return Error(message, rc, own);
}

Error writeError(const QString& path, int rc, const QString& own)
{
    if (primary(rc) == SQLITE_READONLY)
        return readOnlyError(path);
    if (isLockCode(rc))
        return Error(QStringLiteral("Die Fragendatei „%1“ ist von einem anderen Programm gesperrt; die Änderung "
                                    "wurde nicht gespeichert.")
                         .arg(shownPath(path)),
                     rc);
    return Error(QStringLiteral("Die Änderung konnte nicht in die Fragendatei „%1“ geschrieben werden (%2); es "
                                "wurde nichts gespeichert.")
                     .arg(shownPath(path), describeAt(path, rc, own)),
                 rc, own);
}

Error damagedError(const QString& path)
{
    return readError(path, SQLITE_CORRUPT);
}

Error readOnlyError(const QString& path)
{
    return Error(QStringLiteral("Die Fragendatei „%1“ ist schreibgeschützt; die Änderung wurde nicht gespeichert.")
                     .arg(shownPath(path)),
                 SQLITE_READONLY);
}

} // namespace store::sqlite
