// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The open question file of one Database: judging the file before SQLite sees
// it, checking its table, and the statements its record sets share.
#include "store/connection.h"

#include "store/filekind.h"
#include "store/questiontable.h"

#include <QFileInfo>

namespace store {

Connection::Connection(const QString& path, int busyTimeoutMs, const QString& shownAs)
    : m_path(shownAs.isEmpty() ? path : shownAs)
{
    const QString shown = displayPath();
    // The file is judged before SQLite touches it: SQLite would happily take
    // a missing file or an empty one for a new, empty database.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Error(QStringLiteral("Die Fragendatei „%1“ wurde nicht gefunden.").arg(shown));
    if (info.isDir())
        throw Error(QStringLiteral("„%1“ ist ein Verzeichnis und keine Fragendatei.").arg(shown));
    if (!irregularKind(path).isEmpty())
        throw Error(QStringLiteral("„%1“ ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät) und keine "
                                   "Fragendatei.")
                        .arg(shown));
    if (info.size() == 0)
        throw emptyFileError(path);

    m_file = shownAs.isEmpty() ? sqlite::File(path)
                               : sqlite::File(path, sqlite::File::Threads::Any, shownAs, sqlite::File::Mode::ReadOnly);
    m_file.setBusyTimeout(busyTimeoutMs);
    m_writable = m_file.isWritable();
    // Read the schema now, so that a file that is no database, has no question
    // table or one the store cannot address safely is refused here, before
    // anyone works on it.
    m_rowKey = checkedRowKey(m_file);
}

void Connection::requireOpen() const
{
    if (!m_file.isOpen())
        throw Error(QStringLiteral("Die Verbindung zur Fragendatei „%1“ ist bereits geschlossen.").arg(displayPath()));
}

sqlite::File& Connection::file()
{
    requireOpen();
    return m_file;
}

const sqlite::File& Connection::file() const
{
    requireOpen();
    return m_file;
}

void Connection::close()
{
    m_insert.reset();
    m_updates.clear();
    m_file.close();
}

sqlite::Prepared Connection::prepare(const QString& sql)
{
    return sqlite::Prepared(file(), sql);
}

sqlite::Prepared& Connection::insertStatement()
{
    if (!m_insert) {
        QStringList marks;
        for (int i = 0; i < kFieldCount; ++i)
            marks << QStringLiteral("?");
        m_insert = prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(sqlite::identifier(kTable), sqlite::identifierList(fieldNames()),
                                    marks.join(QLatin1Char(','))));
    }
    return m_insert;
}

sqlite::Prepared& Connection::updateStatement(unsigned mask)
{
    sqlite::Prepared& statement = m_updates[mask];
    if (!statement) {
        QStringList sets;
        for (int i = 0; i < kFieldCount; ++i)
            if (mask & (1u << i))
                sets << sqlite::identifier(fieldNames().at(i)) + QStringLiteral("=?");
        statement = prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                .arg(sqlite::identifier(kTable), sets.join(QLatin1Char(',')), m_rowKey));
    }
    return statement;
}

} // namespace store
