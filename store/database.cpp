// The engine and the database: opening a question file, refusing one that is no
// question file before anyone works on it, and handing out record sets.
#include "store/connection.h"

namespace store {

namespace {

// Why the forward seek, which names the table and every field, could not be
// prepared: the file is no database, has no question table, misses fields.
Error schemaError(const Connection& connection, int rc)
{
    sqlite3* db = connection.handle();
    const QString shown = connection.displayPath();
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return Error(QStringLiteral("„%1“ ist keine gültige Fragendatei: die Datei ist beschädigt oder keine "
                                    "SQLite-Datenbank.")
                         .arg(shown));
    if (sqlite::isLock(rc) || primary != SQLITE_ERROR)
        return connection.readError(rc);
    if (msg.startsWith(QLatin1String("no such table")))
        return Error(QStringLiteral("In der Fragendatei „%1“ fehlt die Tabelle „%2“.").arg(shown, kTable));
    if (msg.startsWith(QLatin1String("no such column"))) {
        QStringList present;
        sqlite::tableColumns(db, kTable, present);
        QStringList missing;
        for (const QString& f : fieldNames())
            if (!present.contains(f, Qt::CaseInsensitive))
                missing << f;
        return Error(QStringLiteral("In der Tabelle „%1“ der Fragendatei „%2“ fehlen Felder: %3.")
                         .arg(kTable, shown, missing.join(QStringLiteral(", "))));
    }
    return Error(QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“ ist nicht lesbar: %3.").arg(kTable, shown, msg));
}

} // namespace

DBEngine& DBEngine::instance()
{
    static DBEngine engine;
    return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString& path)
{
    auto connection = std::make_shared<Connection>(path);
    // Read the schema now, so that a file that is no database, has no question
    // table or misses a field is refused here, before anyone works on it. The
    // statement that proves it is kept for the first record set.
    sqlite::Statement forward;
    const int rc = sqlite::prepare(connection->handle(), Connection::forwardSql(), forward, SQLITE_PREPARE_PERSISTENT);
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
                        .arg(dbOpenDynaset)
                        .arg(type));
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
