// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one way into SQLite, for the store and for quizdb: an open
// file with the settings every connection gets, statements that check every
// binding and reset themselves, a transaction that rolls back unless
// committed, and one error type whose German words come from one function.
// Nothing above this layer calls SQLite itself or sees its header.
#pragma once

#include "store/store.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3_stmt;

namespace store::sqlite {

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

// A failure of SQLite, worded for the user, with SQLite's result code for the
// caller that has better words for one cause.
class Error : public store::Error {
public:
    Error(const QString& message, int code, QString sqliteText = {})
        : store::Error(message), m_code(code), m_sqliteText(std::move(sqliteText))
    {
    }
    int code() const { return m_code; } // SQLite's extended result code
    // SQLite's own words for the failure (English), for what describe() has no words for.
    const QString& sqliteText() const { return m_sqliteText; }

    bool isLock() const;     // another program holds the file
    bool isTooBig() const;   // a value or record larger than kMaxValueBytes
    bool isFull() const;     // the disk, or the table's row keys
    bool isDamaged() const;  // no database, or a damaged one
    bool isReadOnly() const;
    bool isCantOpen() const; // the file, or its journal, cannot be opened
    bool isPlain() const;    // SQLite's general error: bad SQL, a missing name
    bool isNoMemory() const;

private:
    int m_code;
    QString m_sqliteText;
};

// What result code `code` means, in words a user can act on (lower case, no
// full stop); `sqliteText` is SQLite's own text for it, used where no wording
// of ours fits. Every message of this layer words its cause here.
QString describe(int code, const QString& sqliteText);

// The failures of reading and of writing the question file at `path`.
Error readError(const QString& path, int code, const QString& sqliteText = {});
Error writeError(const QString& path, int code, const QString& sqliteText = {});
Error readOnlyError(const QString& path);
// The read error of a damaged file.
Error damagedError(const QString& path);

// The journal beside `path` (its "-journal" or "-wal") that is a symbolic
// link, or the empty text. SQLite would write through such a link, or refuses it.
QString linkedJournal(const QString& path);

// An open SQLite file. Opening sets, before the first statement, what every
// connection of the program has: the file's schema is data, never code (its
// triggers never fire, its views are never run, only harmless functions run
// from it, its CHECK constraints are not run, and SQL cannot corrupt it), no
// value larger than kMaxValueBytes, no step of a statement that loops for
// more than about a second (it ends with an error and changes nothing), the
// busy timeout, and double-quoted names that are only ever names.
class File {
public:
    // Who uses the connection: the program's windows, or one thread alone
    // (quizdb), which needs no locking of SQLite's own.
    enum class Threads { Any, One };

    File() = default;
    // Opens the existing file at `path` for writing where that is allowed,
    // else for reading. Messages name the file `shownAs` (a file made under a
    // name of its own: the name it will get), else `path`. Throws Error
    // naming the file, std::bad_alloc when SQLite finds no memory for the
    // connection.
    explicit File(const QString& path, Threads threads = Threads::Any, const QString& shownAs = {});
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    bool isOpen() const { return m_db != nullptr; }
    // Closes the file; statements still prepared keep SQLite's handle until
    // they are finalized, so closing never fails and never waits.
    void close();
    // The name messages give the file.
    const QString& path() const { return m_path; }
    // False when the file could only be opened for reading.
    bool isWritable() const;
    // How long the file waits for another program's lock (kBusyTimeoutMs
    // unless set). The wait never counts against the bound on a step's work.
    void setBusyTimeout(int milliseconds);

    // Runs SQL without parameters or results; throws the write error.
    void execute(const QString& sql);
    // The key SQLite gave the last record added on this connection.
    qint64 lastAddedKey() const;
    // Records changed by the last write statement that finished.
    int changes() const;
    // SQLite's own handle, for tests that reach past the store.
    ::sqlite3* handle() const { return m_db; }

    Error readError(int code) const;
    Error writeError(int code) const;

private:
    friend class Prepared;
    QString m_path;
    ::sqlite3* m_db = nullptr;
};

// A compiled statement, finalized with its owner; reused through Statement.
class Prepared {
public:
    // Whether the statement is compiled for one use or kept for many.
    enum class Use { Once, Kept };

    Prepared() = default;
    // Compiles `sql` for `file`; throws the read error of the file.
    Prepared(File& file, const QString& sql, Use use = Use::Kept);
    explicit operator bool() const { return m_st != nullptr; }
    void reset() { m_st.reset(); }

private:
    friend class Statement;
    struct Finalize {
        void operator()(sqlite3_stmt* st) const noexcept;
    };
    const File* m_file = nullptr;
    std::unique_ptr<sqlite3_stmt, Finalize> m_st;
};

// One run of a prepared statement: binds its parameters, steps through its
// rows and reads their columns. Leaving scope resets it and clears its
// bindings, so it holds no lock afterwards. Every failure throws Error: of
// reading the file for a statement that only reads, of writing it otherwise.
class Statement {
public:
    enum class Type { Null, Integer, Real, Text, Blob };

    // A run of a statement its owner keeps.
    explicit Statement(Prepared& prepared);
    // A statement compiled for this run only.
    Statement(File& file, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1.
    Statement& bind(int index, qint64 value);
    // A text, or NULL for no value; the empty text stays the empty text.
    Statement& bind(int index, const std::optional<QString>& text);
    // UTF-8 bytes as text, or NULL for no value, bound where they are: they
    // must stay unchanged until the next step.
    Statement& bindInPlace(int index, std::optional<QByteArrayView> text);

    // Steps to the next row: true on a row, false at the end.
    bool step();
    // Runs a statement that hands out no rows to its end.
    void run();

    // Columns count from 0, and are read on the row step() stood on.
    Type type(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // A column as text (SQLite's conversion of a number), decoded from UTF-8.
    QString text(int column) const;
    // The bytes of a text or blob column; no value (NULL) reads as nullopt.
    // They last until the next step.
    // Throws std::bad_alloc when SQLite finds no memory to convert a number.
    std::optional<QByteArrayView> bytes(int column) const;

private:
    [[noreturn]] void fail(int code) const;
    void check(int code) const;

    Prepared m_own; // the statement compiled for this run only
    Prepared& m_prepared;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless commit()
// succeeded, so any failure in between leaves the file as it was. Failures to
// begin or commit throw the write error.
class Transaction {
public:
    explicit Transaction(File& file);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    File& m_file;
    bool m_committed = false;
};

// A name in SQL text, in double quotes, an inner double quote doubled.
QString identifier(const QString& name);
// The names, each as identifier(), separated by commas.
QString identifierList(const QStringList& names);

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
// Reads the shape of `table` (names compared as SQLite does); throws the read error.
TableShape tableShape(File& file, const QString& table);

// True when a new record of `table` can get no key: the highest key there is
// is taken, or AUTOINCREMENT has handed it out. SQLite reports that as a full
// database, though the disk may have room.
bool keysUsedUp(File& file, const QString& table);

} // namespace store::sqlite
