// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine and the database: opening a question file, refusing one that is no
// question file before anyone works on it, and handing out record sets.
#include "store/connection.h"

namespace store {

namespace {

// Why the schema could not be read: the file is no database, is damaged, is
// held by another program, or SQLite says something else.
Error schemaError(const Connection& connection, int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return Error(QStringLiteral("„%1“ ist keine gültige Fragendatei: die Datei ist beschädigt oder keine "
                                    "SQLite-Datenbank.")
                         .arg(connection.displayPath()));
    if (sqlite::isLock(rc) || primary != SQLITE_ERROR)
        return connection.readError(rc);
    return Error(QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“ ist nicht lesbar: %3.")
                     .arg(kTable, connection.displayPath(), QString::fromUtf8(sqlite3_errmsg(connection.handle()))));
}

// Refuses a file whose question table the store cannot address safely: none
// at all (a view of that name included), a field missing or computed instead
// of stored, no row key of its own, or one that columns hide. Returns the name
// that reaches the row key. Reading the schema runs nothing and writes nothing.
QString checkedRowKey(const Connection& connection)
{
    sqlite::TableShape shape;
    const int rc = sqlite::tableShape(connection.handle(), kTable, shape);
    if (rc != SQLITE_OK)
        throw schemaError(connection, rc);
    const QString shown = connection.displayPath();
    if (shape.kind != QLatin1String("table"))
        throw Error(QStringLiteral("In der Fragendatei „%1“ fehlt die Tabelle „%2“.").arg(shown, kTable));

    QStringList missing;
    QStringList computed;
    for (const QString& f : fieldNames()) {
        if (!shape.columns.contains(f, Qt::CaseInsensitive))
            missing << f;
        else if (shape.computed.contains(f, Qt::CaseInsensitive))
            computed << f;
    }
    const QString table = QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“").arg(kTable, shown);
    if (!missing.isEmpty())
        throw Error(QStringLiteral("In der Tabelle „%1“ der Fragendatei „%2“ fehlen Felder: %3.")
                        .arg(kTable, shown, missing.join(QStringLiteral(", "))));
    if (!computed.isEmpty())
        throw Error(QStringLiteral("%1 speichert Felder nicht, sondern berechnet sie: %2. Solche Felder kann das "
                                   "Quiz weder lesen noch ändern.")
                        .arg(table, computed.join(QStringLiteral(", "))));
    if (shape.withoutRowid)
        throw Error(QStringLiteral("%1 hat keine Satznummern (WITHOUT ROWID); ihre Datensätze kann das Quiz nicht "
                                   "sicher unterscheiden.")
                        .arg(table));
    if (shape.rowKey.isEmpty())
        throw Error(QStringLiteral("%1 hat eigene Spalten „rowid“, „_rowid_“ und „oid“, die die Satznummer "
                                   "verdecken; ihre Datensätze kann das Quiz nicht sicher unterscheiden.")
                        .arg(table));
    return shape.rowKey;
}

} // namespace

DBEngine& DBEngine::instance()
{
    static DBEngine engine;
    return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString& path)
{
    auto connection = std::make_shared<Connection>(path, m_busyTimeoutMs);
    // Read the schema now, so that a file that is no database, has no question
    // table or one the store cannot address safely is refused here, before
    // anyone works on it. The statement that proves it is kept for the first
    // record set.
    connection->useRowKey(checkedRowKey(*connection));
    sqlite::Statement forward;
    const int rc = sqlite::prepare(connection->handle(), connection->forwardSql(), forward, SQLITE_PREPARE_PERSISTENT);
    if (rc != SQLITE_OK)
        throw schemaError(*connection, rc);
    connection->keepSpareForward(std::move(forward));
    return std::make_unique<Database>(std::move(connection));
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

sqlite3* Database::nativeHandle() const
{
    if (!m_connection)
        throw Error(QStringLiteral("Die Datenbank ist bereits geschlossen."));
    return m_connection->handle();
}

} // namespace store
