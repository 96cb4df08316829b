// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The open question file under one Database, shared with its record sets:
// the SQLite handle, the failures worded with the file's name, the write
// transaction, and the statements that all record sets of the file share.
// Private to the store.
#pragma once

#include "store/sqlite.h"

#include <map>

namespace store {

class Connection {
public:
    // Judges the file, opens it and checks its question table; throws Error
    // when it is missing, a directory, empty, cannot be opened, or holds no
    // question table the store can address safely. A file the process may
    // not write is opened for reading only. A file another program holds is
    // waited for up to `busyTimeoutMs`. With `shownAs` (a copy of that
    // file) the file is only ever read, and every message names `shownAs`.
    Connection(const QString& path, int busyTimeoutMs, const QString& shownAs = {});
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The open file; throws Error once the connection is closed, so that
    // every later operation of the database and its record sets fails clearly.
    sqlite::File& file();
    const sqlite::File& file() const;
    bool isOpen() const { return m_file.isOpen(); }
    // False when the file was opened for reading only (no write permission).
    bool isWritable() const { return m_writable; }
    void close();
    QString displayPath() const { return sqlite::shownPath(m_path); }

    // A statement kept for the life of the connection; throws the read error.
    sqlite::Prepared prepare(const QString& sql);

    // The read error of a file whose table answers against its own order.
    Error damagedError() const { return sqlite::damagedError(m_path); }

    // Runs `work()` inside one write transaction: all of it is written, or,
    // when anything throws, nothing and the file is as it was.
    template <typename Work>
    void writeTransaction(Work&& work)
    {
        sqlite::File& f = file();
        if (!m_writable)
            throw sqlite::readOnlyError(m_path);
        sqlite::Transaction transaction(f);
        work();
        transaction.commit();
    }

    // The name that reaches the question table's own row key ("rowid", or the
    // alias a column of that name does not hide); chosen once the schema is checked.
    const QString& rowKey() const { return m_rowKey; }

    // The INSERT of a new record and the UPDATE of a set of fields (bit i for
    // field i), each prepared once for the connection.
    sqlite::Prepared& insertStatement();
    sqlite::Prepared& updateStatement(unsigned mask);

private:
    void requireOpen() const;

    QString m_path;
    QString m_rowKey = QStringLiteral("rowid");
    bool m_writable = false;
    // Declared before the statements, so that they are finalized first.
    sqlite::File m_file;
    sqlite::Prepared m_insert;
    std::map<unsigned, sqlite::Prepared> m_updates;
};

} // namespace store
