// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An open SQLite file with the settings every connection of the program gets.
#pragma once

#include "store/sqliteerror.h"

#include <QStringList>

struct sqlite3;

namespace store::sqlite {

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
    // Whether the file is written where that is allowed, or only ever read.
    enum class Mode { WriteWhereAllowed, ReadOnly };

    File() = default;
    // Opens the existing file at `path` for writing where that is allowed,
    // else (or with Mode::ReadOnly) for reading. Messages name the file
    // `shownAs` (a file made under a name of its own: the name it will get; a
    // copy: the file it was made from), else `path`. Throws Error naming the
    // file, std::bad_alloc when SQLite finds no memory for the connection.
    explicit File(const QString& path, Threads threads = Threads::Any, const QString& shownAs = {},
                  Mode mode = Mode::WriteWhereAllowed);
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
    // How long the file waits for another program's lock (store::kBusyTimeoutMs
    // unless set). The wait never counts against the bound on a step's work.
    void setBusyTimeout(int milliseconds);

    // Runs SQL without parameters or results; throws the write error.
    void execute(const QString& sql);
    // The key SQLite gave the last record added on this connection.
    qint64 lastAddedKey() const;
    // Records changed by the last write statement that finished.
    int changes() const;

    // What SQLite's own check of the file's structure finds: the trees of
    // its tables and indexes and its list of free pages, every page read
    // once. One line per finding, in SQLite's words, at most `max`; empty for
    // a sound file. Rules on the values of records (NOT NULL, CHECK) are not
    // its business. The check ends on any file, so no bound on a step's work
    // applies to it. Throws the read error.
    QStringList structureFaults(int max);

    Error readError(int code) const;
    Error writeError(int code) const;

private:
    // Statements and transactions run on SQLite's own handle.
    friend class Prepared;
    friend class Transaction;
    ::sqlite3* handle() const { return m_db; }

    QString m_path;
    ::sqlite3* m_db = nullptr;
};

} // namespace store::sqlite
