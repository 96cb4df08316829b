// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one way into SQLite, for the store and for quizdb: handles that
// close and statements that finalize themselves, the settings every connection
// gets, a transaction that rolls back unless committed, and the German wording
// of every SQLite failure. Not part of the store's public interface.
#pragma once

#include "store/store.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace store::sqlite {

struct CloseConnection {
    // close_v2 leaves the handle to SQLite until its last statement is
    // finalized, so closing never fails and never has to wait for a record set.
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* st) const noexcept { sqlite3_finalize(st); }
};
using Handle = std::unique_ptr<sqlite3, CloseConnection>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// How long a connection waits for a file another program holds before it
// gives up (the store's connections: DBEngine::SetBusyTimeout).
inline constexpr int kBusyTimeoutMs = 2000;
// The largest value, in bytes, a connection reads or writes. SQLite refuses a
// larger one before it is ever held in memory.
inline constexpr int kMaxValueBytes = 1 << 20;
// kMaxValueBytes as messages name it.
QString maxValueText();

// The path as messages show it: in the platform's own spelling.
QString shownPath(const QString& path);

// Opens `path` with `flags` (SQLITE_OPEN_*) and sets, before the first
// statement, what every connection of the program has: the file's schema is
// data, never code (its triggers never fire, its views are never run, only
// harmless functions run from it, its CHECK constraints are not run, and SQL
// cannot corrupt it), no value larger than kMaxValueBytes, no step of a
// statement that loops for more than about a second (it ends with
// SQLITE_INTERRUPT and changes nothing), the busy timeout, extended result
// codes, and double-quoted names that are only ever names. Throws Error naming
// the file on failure, std::bad_alloc when SQLite finds no memory for the
// connection.
Handle open(const QString& path, int flags);

// How long `db` waits for a file another program holds (open() sets
// kBusyTimeoutMs). The wait never counts against the bound on a step's work.
void setBusyTimeout(sqlite3* db, int milliseconds);

// Prepares `sql`. Returns the result code; `out` holds the statement only on SQLITE_OK.
int prepare(sqlite3* db, const QString& sql, Statement& out, unsigned flags = 0);
// Prepares `sql` or throws the read error of the question file at `path`.
Statement prepareOrThrow(sqlite3* db, const QString& path, const QString& sql, unsigned flags = 0);

// Binds a text, or NULL for no value; the empty text stays the empty text.
int bindText(sqlite3_stmt* st, int index, const std::optional<QString>& text);

// The names of the columns of `table` (none when there is no such table).
// Returns the result code of reading them.
int tableColumns(sqlite3* db, const QString& table, QStringList& names);

// How a table of the main schema is made, read from the schema without
// running anything in the file.
struct TableShape {
    QString kind;          // "table", "view", "virtual" or "shadow"; empty when there is no such name
    bool withoutRowid = false;
    QStringList columns;   // every column by name, in order
    QStringList computed;  // those of them without a stored value of their own (generated, hidden)
    // The name that reaches the row's own key: "rowid", or "_rowid_" or "oid"
    // when a column of that name hides it; empty when columns hide all three.
    QString rowKey;
};
// Reads the shape of `table` (names compared as SQLite does); returns the
// result code of reading it.
int tableShape(sqlite3* db, const QString& table, TableShape& shape);

// True when a new record of `table` can get no key: the highest key there is
// is taken, or AUTOINCREMENT has handed it out. SQLite reports that as a full
// database (SQLITE_FULL), though the disk may have room.
bool keysUsedUp(sqlite3* db, const QString& table);

// Runs SQL without parameters or results; returns the result code.
int execute(sqlite3* db, const char* sql);

// Steps a statement once and resets it (bindings cleared) before returning,
// so that it holds no lock afterwards; returns the step's result code.
// `row`, when given, is called with the statement on SQLITE_ROW, before the reset.
template <typename Row>
int stepOnce(sqlite3_stmt* st, Row&& row)
{
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        row(st);
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return rc;
}
inline int stepOnce(sqlite3_stmt* st)
{
    return stepOnce(st, [](sqlite3_stmt*) {});
}

// A name in SQL text, in double quotes, an inner double quote doubled.
QString identifier(const QString& name);
// The names, each as identifier(), separated by commas.
QString identifierList(const QStringList& names);

// A file held by another program (busy or locked).
bool isLock(int rc);

// What a result code means, in words a user can act on (lower case, no full stop).
QString describe(int rc, sqlite3* db);

// The journal beside `path` (its "-journal" or "-wal") that is a symbolic
// link, or the empty text. SQLite would write through such a link, or refuses it.
QString linkedJournal(const QString& path);

// The failures of reading and of writing the question file at `path`, worded
// for the user; `db` supplies SQLite's own text where no wording of ours fits.
Error readError(const QString& path, int rc, sqlite3* db);
Error writeError(const QString& path, int rc, sqlite3* db);
Error readOnlyError(const QString& path);

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless commit()
// succeeded, so any failure in between leaves the file as it was. Failures to
// begin or commit throw writeError for `path`.
class Transaction {
public:
    Transaction(sqlite3* db, const QString& path);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    sqlite3* m_db;
    QString m_path;
    bool m_committed = false;
};

} // namespace store::sqlite
