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
    // Judges the file, then opens it; throws Error when it is missing, a
    // directory, empty, or cannot be opened. A file the process may not
    // write is opened for reading only. A file another program holds is
    // waited for up to `busyTimeoutMs`.
    Connection(const QString& path, int busyTimeoutMs);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The handle; throws Error once the connection is closed, so that every
    // later operation of the database and its record sets fails clearly.
    sqlite3* handle() const;
    bool isOpen() const { return m_db != nullptr; }
    // False when the file was opened for reading only (no write permission).
    bool isWritable() const { return !m_readOnly; }
    void close();
    QString displayPath() const { return sqlite::shownPath(m_path); }

    // Prepares a statement kept for the life of the connection; throws the read error.
    sqlite::Statement prepare(const QString& sql) const;

    Error readError(int rc) const { return sqlite::readError(m_path, rc, m_db.get()); }
    Error writeError(int rc) const { return sqlite::writeError(m_path, rc, m_db.get()); }

    // Runs `work(db)` inside one write transaction: all of it is written, or,
    // when anything throws, nothing and the file is as it was.
    template <typename Work>
    void writeTransaction(Work&& work)
    {
        sqlite3* db = handle();
        if (m_readOnly)
            throw sqlite::readOnlyError(m_path);
        sqlite::Transaction transaction(db, m_path);
        work(db);
        transaction.commit();
    }

    // The name that reaches the question table's own row key ("rowid", or the
    // alias a column of that name does not hide); chosen once the schema is checked.
    const QString& rowKey() const { return m_rowKey; }
    void useRowKey(const QString& key) { m_rowKey = key; }

    // The INSERT of a new record and the UPDATE of a set of fields (bit i for
    // field i), each prepared once for the connection.
    sqlite3_stmt* insertStatement();
    sqlite3_stmt* updateStatement(unsigned mask);

    // The forward seek of a record set: the first record at or after key ?1,
    // with every field. Preparing it checks the schema.
    QString forwardSql() const;
    // The forward seek for a new record set: the one OpenDatabase prepared to
    // check the schema, the first time, a fresh one after that.
    sqlite::Statement forwardStatement();
    void keepSpareForward(sqlite::Statement statement) { m_spareForward = std::move(statement); }

private:
    QString m_path;
    QString m_rowKey = QStringLiteral("rowid");
    bool m_readOnly = false;
    // Declared before the statements, so that they are finalized first.
    sqlite::Handle m_db;
    sqlite::Statement m_insert;
    sqlite::Statement m_spareForward;
    std::map<unsigned, sqlite::Statement> m_updates;
};

} // namespace store
