// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The SQLite layer under the store and quizdb: opening, statements,
// transactions and the wording of failures.
#include "store/sqlite.h"

#include <QDir>
#include <QFile>
#include <new>

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
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // A double-quoted name that matches no column must be an error, not a
    // string constant: otherwise a missing field would read as its own name.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(raw, 1);
    return db;
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
    for (const QString alias : {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        if (!shape.columns.contains(alias, Qt::CaseInsensitive)) {
            shape.rowKey = alias;
            break;
        }
    }
    return SQLITE_OK;
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
    switch (rc & 0xff) {
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
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

Error readError(const QString& path, int rc, sqlite3* db)
{
    QString message = QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: %2.").arg(shownPath(path), describe(rc, db));
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
                     .arg(shownPath(path), describe(rc, db)));
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
