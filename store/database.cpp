// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine and the database: opening a question file, refusing one that is no
// question file before anyone works on it, and handing out record sets.
#include "store/connection.h"

namespace store {

DBEngine& DBEngine::instance()
{
    static DBEngine engine;
    return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString& path)
{
    return std::make_unique<Database>(std::make_shared<Connection>(path, m_busyTimeoutMs));
}

std::unique_ptr<Database> DBEngine::OpenReadOnly(const QString& path, const QString& shownAs)
{
    return std::make_unique<Database>(std::make_shared<Connection>(path, m_busyTimeoutMs, shownAs));
}

Database::Database(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {}

Database::~Database() = default;

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& table, int type)
{
    if (!m_connection || !m_connection->isOpen())
        throw Error(QStringLiteral("Die Datenbank ist bereits geschlossen."));
    if (table != kTable)
        throw Error(QStringLiteral("Die Tabelle „%1“ gibt es in der Fragendatei „%2“ nicht; es gibt nur „%3“.")
                        .arg(table, m_connection->displayPath(), kTable));
    if (type != dbOpenDynaset)
        throw Error(QStringLiteral("Die Fragendatei kann nur als Dynaset (Typ %1) geöffnet werden, nicht als Typ %2.")
                        .arg(QString::number(dbOpenDynaset), QString::number(type)));
    return std::make_unique<Recordset>(m_connection, table);
}

void Database::Close()
{
    if (m_connection)
        m_connection->close();
}

} // namespace store
