// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The open question file of one Database: judging the file before SQLite sees
// it, and the statements its record sets share.
#include "store/connection.h"

#include <QFileInfo>

namespace store {

Connection::Connection(const QString& path, int busyTimeoutMs) : m_path(path)
{
    const QString shown = displayPath();
    // The file is judged before SQLite touches it: SQLite would happily take
    // a missing file or an empty one for a new, empty database.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Error(QStringLiteral("Die Fragendatei „%1“ wurde nicht gefunden.").arg(shown));
    if (info.isDir())
        throw Error(QStringLiteral("„%1“ ist ein Verzeichnis und keine Fragendatei.").arg(shown));
    if (!info.isFile()) // a pipe would block the program, a device would be read without end
        throw Error(QStringLiteral("„%1“ ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät) und keine "
                                   "Fragendatei.")
                        .arg(shown));
    if (info.size() == 0)
        throw Error(QStringLiteral("Die Fragendatei „%1“ ist leer (0 Byte) und enthält keine Fragen.").arg(shown));

    m_db = sqlite::open(path, SQLITE_OPEN_READWRITE);
    sqlite::setBusyTimeout(m_db.get(), busyTimeoutMs);
    m_readOnly = sqlite3_db_readonly(m_db.get(), "main") == 1;
}

sqlite3* Connection::handle() const
{
    if (!m_db)
        throw Error(QStringLiteral("Die Verbindung zur Fragendatei „%1“ ist bereits geschlossen.").arg(displayPath()));
    return m_db.get();
}

void Connection::close()
{
    m_spareForward.reset();
    m_insert.reset();
    m_updates.clear();
    m_db.reset();
}

sqlite::Statement Connection::prepare(const QString& sql) const
{
    return sqlite::prepareOrThrow(handle(), m_path, sql, SQLITE_PREPARE_PERSISTENT);
}

sqlite3_stmt* Connection::insertStatement()
{
    if (!m_insert) {
        QStringList marks;
        for (int i = 0; i < kFieldCount; ++i)
            marks << QStringLiteral("?");
        m_insert = prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(sqlite::identifier(kTable), sqlite::identifierList(fieldNames()),
                                    marks.join(QLatin1Char(','))));
    }
    return m_insert.get();
}

sqlite3_stmt* Connection::updateStatement(unsigned mask)
{
    sqlite::Statement& statement = m_updates[mask];
    if (!statement) {
        QStringList sets;
        for (int i = 0; i < kFieldCount; ++i)
            if (mask & (1u << i))
                sets << sqlite::identifier(fieldNames().at(i)) + QStringLiteral("=?");
        statement = prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                .arg(sqlite::identifier(kTable), sets.join(QLatin1Char(',')), m_rowKey));
    }
    return statement.get();
}

QString Connection::forwardSql() const
{
    return QStringLiteral("SELECT %1,%2 FROM %3 WHERE %1>=?1 ORDER BY %1 LIMIT 1")
        .arg(m_rowKey, sqlite::identifierList(fieldNames()), sqlite::identifier(kTable));
}

sqlite::Statement Connection::forwardStatement()
{
    if (m_spareForward)
        return std::move(m_spareForward);
    return prepare(forwardSql());
}

} // namespace store
