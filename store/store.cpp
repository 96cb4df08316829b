// The question store over SQLite: the engine, the connections and the record
// cursors. A record set keeps nothing of the table but its position (a key);
// every move is one indexed seek on the rowid and every field read goes to the
// file afresh, so open, moves and memory cost the same on 100 records and on a
// million. Statements are reset right after stepping, so no read lock lingers
// that would make the other connection's writes wait.
#include "store/store.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <sqlite3.h>

#include <array>
#include <limits>
#include <map>

namespace store {

namespace {

constexpr int kBusyTimeoutMs = 2000;

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Index of a field in fieldNames(), or -1.
int fieldIndex(const QString& name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        const QStringList& names = fieldNames();
        for (int i = 0; i < names.size(); ++i)
            h.insert(names.at(i), i);
        return h;
    }();
    return index.value(name, -1);
}

Error unknownField(const QString& name)
{
    return Error(QStringLiteral("Das Feld „%1“ gibt es in der Tabelle „%2“ nicht.").arg(name, kTable));
}

bool isLockCode(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// What an SQLite result code means, in words a user can act on.
QString describe(int rc, sqlite3* db)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("die Datei ist von einem anderen Programm gesperrt");
    case SQLITE_READONLY:
        return QStringLiteral("die Datei ist schreibgeschützt");
    case SQLITE_FULL:
        return QStringLiteral("der Datenträger ist voll");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("die Datei ist beschädigt oder keine Fragendatei");
    case SQLITE_IOERR:
        return QStringLiteral("Lese- oder Schreibfehler des Datenträgers");
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("kein Zugriff auf die Datei");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("der Wert wurde von der Datenbank abgelehnt");
    default:
        break;
    }
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

// A stored text exactly as it is. QString::fromUtf8 takes a U+FEFF at the start
// for a byte order mark and drops it; in a field it is the value's first character.
QString decodeText(const char* text, int bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text, bytes));
}

// Runs one statement without parameters; returns the result code.
int execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

} // namespace

// ---------------------------------------------------------------------------
// Connection: the open SQLite handle of one Database, shared with its record
// sets. Closing it makes every later operation of the database and of its
// record sets fail with a clear message.
class Connection {
public:
    explicit Connection(const QString& path);
    ~Connection()
    {
        finalizeStatements();
        close();
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const
    {
        if (!m_db)
            throw Error(QStringLiteral("Die Verbindung zur Fragendatei „%1“ ist bereits geschlossen.")
                            .arg(displayPath()));
        return m_db;
    }
    bool isOpen() const { return m_db != nullptr; }
    void close()
    {
        if (m_db) {
            // close_v2 keeps the handle alive until the last statement of a
            // record set is finalized, so closing never fails.
            sqlite3_close_v2(m_db);
            m_db = nullptr;
        }
    }
    QString displayPath() const { return QDir::toNativeSeparators(m_path); }
    bool readOnly() const { return m_readOnly; }

    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3* db = handle();
        sqlite3_stmt* st = nullptr;
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st,
                                          nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            throw readError(rc);
        }
        return st;
    }

    Error readError(int rc) const
    {
        if (isLockCode(rc))
            return Error(QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: sie ist von einem anderen "
                                        "Programm gesperrt. Bitte das andere Programm schließen und es erneut "
                                        "versuchen.")
                             .arg(displayPath()));
        return Error(QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: %2.")
                         .arg(displayPath(), describe(rc, m_db)));
    }

    Error writeError(int rc) const
    {
        if ((rc & 0xff) == SQLITE_READONLY)
            return readOnlyError();
        if (isLockCode(rc))
            return Error(QStringLiteral("Die Fragendatei „%1“ ist von einem anderen Programm gesperrt; die Änderung "
                                        "wurde nicht gespeichert.")
                             .arg(displayPath()));
        return Error(QStringLiteral("Die Änderung konnte nicht in die Fragendatei „%1“ geschrieben werden (%2); es "
                                    "wurde nichts gespeichert.")
                         .arg(displayPath(), describe(rc, m_db)));
    }

    Error readOnlyError() const
    {
        return Error(QStringLiteral("Die Fragendatei „%1“ ist schreibgeschützt; die Änderung wurde nicht gespeichert.")
                         .arg(displayPath()));
    }

    // Runs `work` inside BEGIN IMMEDIATE ... COMMIT. Any failure rolls the
    // whole transaction back and throws; the file is then as it was.
    template <typename Work>
    void writeTransaction(Work&& work)
    {
        sqlite3* db = handle();
        if (m_readOnly)
            throw readOnlyError();
        int rc = execute(db, "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            throw writeError(rc);
        try {
            work(db);
            rc = execute(db, "COMMIT");
            if (rc != SQLITE_OK)
                throw writeError(rc);
        } catch (...) {
            if (!sqlite3_get_autocommit(db))
                execute(db, "ROLLBACK");
            throw;
        }
    }

    // The INSERT of a new record and the UPDATEs of changed fields (one per
    // set of fields), prepared once for the connection.
    sqlite3_stmt* insertStatement()
    {
        if (!m_insert) {
            QString cols, marks;
            for (const QString& f : fieldNames()) {
                cols += quoted(f) + QLatin1Char(',');
                marks += QStringLiteral("?,");
            }
            cols.chop(1);
            marks.chop(1);
            m_insert = prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(kTable), cols, marks));
        }
        return m_insert;
    }
    sqlite3_stmt* updateStatement(unsigned mask)
    {
        auto it = m_updates.find(mask);
        if (it != m_updates.end())
            return it->second;
        QString sets;
        const QStringList& names = fieldNames();
        for (int i = 0; i < kFieldCount; ++i)
            if (mask & (1u << i))
                sets += quoted(names.at(i)) + QStringLiteral("=?,");
        sets.chop(1);
        sqlite3_stmt* st = prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoted(kTable), sets));
        m_updates.emplace(mask, st);
        return st;
    }
    // The forward seek of a record set. OpenDatabase prepares the first one
    // to check the schema; the first record set takes it over.
    sqlite3_stmt* forwardStatement()
    {
        if (m_spareForward) {
            sqlite3_stmt* st = m_spareForward;
            m_spareForward = nullptr;
            return st;
        }
        return prepare(forwardSql());
    }
    static QString forwardSql()
    {
        QString cols;
        for (const QString& f : fieldNames())
            cols += QLatin1Char(',') + quoted(f);
        return QStringLiteral("SELECT rowid%1 FROM %2 WHERE rowid>=?1 ORDER BY rowid LIMIT 1").arg(cols, quoted(kTable));
    }
    void keepSpareForward(sqlite3_stmt* st) { m_spareForward = st; }

    void finalizeStatements()
    {
        sqlite3_finalize(m_spareForward);
        m_spareForward = nullptr;
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        for (auto& [mask, st] : m_updates)
            sqlite3_finalize(st);
        m_updates.clear();
    }

private:
    QString m_path;
    sqlite3* m_db = nullptr;
    bool m_readOnly = false;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_spareForward = nullptr;
    std::map<unsigned, sqlite3_stmt*> m_updates;

    friend class DBEngine;
};

Connection::Connection(const QString& path) : m_path(path)
{
    const QString shown = displayPath();
    auto fail = [&](const QString& what) { throw Error(what.arg(shown)); };

    // The file is judged before SQLite touches it: SQLite would happily take
    // a missing file or an empty one for a new, empty database.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        fail(QStringLiteral("Die Fragendatei „%1“ wurde nicht gefunden."));
    if (info.isDir())
        fail(QStringLiteral("„%1“ ist ein Verzeichnis und keine Fragendatei."));
    if (info.size() == 0)
        fail(QStringLiteral("Die Fragendatei „%1“ ist leer (0 Byte) und enthält keine Fragen."));

    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describe(rc, db);
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("Die Fragendatei „%1“ kann nicht geöffnet werden: %2.")
                        .arg(shown, why));
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A double-quoted name that matches no column must be an error, not a
    // string constant: otherwise a missing field would read as its own name.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(db, 1);
    m_db = db;
    // A file the process may not write is opened for reading only.
    m_readOnly = sqlite3_db_readonly(db, "main") == 1;
}

// Checks that the table and all thirteen fields are there. The first-record
// statement of a record set names every field, so preparing it is the check;
// only when it fails does the store look closer to say what is missing.
static Error schemaError(Connection& c, int rc)
{
    sqlite3* db = c.handle();
    const QString shown = c.displayPath();
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return Error(QStringLiteral("„%1“ ist keine gültige Fragendatei: die Datei ist beschädigt oder keine "
                                    "SQLite-Datenbank.")
                         .arg(shown));
    if (isLockCode(rc) || primary != SQLITE_ERROR)
        return c.readError(rc);
    if (msg.startsWith(QLatin1String("no such table")))
        return Error(QStringLiteral("In der Fragendatei „%1“ fehlt die Tabelle „%2“.").arg(shown, kTable));
    if (msg.startsWith(QLatin1String("no such column"))) {
        QStringList present;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &st, nullptr) == SQLITE_OK) {
            const QByteArray table = kTable.toUtf8();
            sqlite3_bind_text(st, 1, table.constData(), int(table.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(st) == SQLITE_ROW)
                present << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
        QStringList missing;
        for (const QString& f : fieldNames())
            if (!present.contains(f, Qt::CaseInsensitive))
                missing << f;
        return Error(QStringLiteral("In der Tabelle „%1“ der Fragendatei „%2“ fehlen Felder: %3.")
                         .arg(kTable, shown, missing.join(QStringLiteral(", "))));
    }
    return Error(QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“ ist nicht lesbar: %3.")
                     .arg(kTable, shown, msg));
}

// ---------------------------------------------------------------------------
DBEngine& DBEngine::instance()
{
    static DBEngine engine;
    return engine;
}

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString& path)
{
    auto connection = std::make_shared<Connection>(path);
    // Read the schema now, so that a file that is no database, has no question
    // table or misses a field is refused here, before anyone works on it.
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = Connection::forwardSql().toUtf8();
    const int rc = sqlite3_prepare_v3(connection->handle(), sql.constData(), int(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        throw schemaError(*connection, rc);
    }
    connection->keepSpareForward(st);
    return std::make_unique<Database>(std::move(connection));
}

// ---------------------------------------------------------------------------
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
        throw Error(QStringLiteral("Die Fragendatei kann nur als Dynaset (Typ 2) geöffnet werden, nicht als Typ %1.")
                        .arg(type));
    return std::make_unique<Recordset>(m_connection, table);
}

void Database::Close()
{
    if (m_connection) {
        m_connection->finalizeStatements();
        m_connection->close();
    }
}

sqlite3* Database::nativeHandle() const
{
    if (!m_connection)
        throw Error(QStringLiteral("Die Datenbank ist bereits geschlossen."));
    return m_connection->handle();
}

// ---------------------------------------------------------------------------
struct Recordset::Impl {
    std::shared_ptr<Connection> conn;
    bool closed = false;
    // Where the cursor stands. `bof` and `eof` are both true on an empty set;
    // `key` is the rowid of the current record or of the deleted one's hole.
    bool bof = false;
    bool eof = false;
    bool hole = false;
    sqlite3_int64 key = 0;

    // The pending change: 0 none, 1 Edit, 2 AddNew; the fields collected so far.
    int editMode = dbEditNone;
    unsigned collectedMask = 0;
    std::array<QVariant, kFieldCount> collected;

    // Two seeks serve every move and every field read: `forward` finds the
    // first record at or after a key and brings its fields along, `backward`
    // the last record at or before a key.
    sqlite3_stmt* forward = nullptr;
    sqlite3_stmt* backward = nullptr;
    sqlite3_stmt* remove = nullptr;

    ~Impl() { finalize(); }

    void finalize()
    {
        for (sqlite3_stmt** st : {&forward, &backward, &remove}) {
            sqlite3_finalize(*st);
            *st = nullptr;
        }
    }

    Connection& connection() const
    {
        if (closed)
            throw Error(QStringLiteral("Die Datensatzgruppe der Tabelle „%1“ ist bereits geschlossen.")
                            .arg(kTable));
        conn->handle(); // throws when the database was closed
        return *conn;
    }

    sqlite3_stmt* statement(sqlite3_stmt*& slot, const char* sqlPattern)
    {
        if (!slot)
            slot = connection().prepare(QString::fromLatin1(sqlPattern).arg(quoted(kTable)));
        return slot;
    }

    // One seek: steps `st` once and resets it at once. Returns true and the key
    // when a record was found.
    bool seek(sqlite3_stmt* st, sqlite3_int64* found)
    {
        const int rc = sqlite3_step(st);
        bool hit = false;
        if (rc == SQLITE_ROW) {
            *found = sqlite3_column_int64(st, 0);
            hit = true;
        }
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw conn->readError(rc);
        return hit;
    }

    sqlite3_stmt* forwardStatement()
    {
        if (!forward)
            forward = connection().forwardStatement();
        return forward;
    }
    sqlite3_stmt* backwardStatement()
    {
        return statement(backward, "SELECT rowid FROM %1 WHERE rowid<=?1 ORDER BY rowid DESC LIMIT 1");
    }
    bool seekFrom(sqlite3_int64 k, sqlite3_int64* found)
    {
        sqlite3_stmt* st = forwardStatement();
        sqlite3_bind_int64(st, 1, k);
        return seek(st, found);
    }
    bool seekUpTo(sqlite3_int64 k, sqlite3_int64* found)
    {
        sqlite3_stmt* st = backwardStatement();
        sqlite3_bind_int64(st, 1, k);
        return seek(st, found);
    }
    bool seekFirst(sqlite3_int64* found) { return seekFrom(std::numeric_limits<sqlite3_int64>::min(), found); }
    bool seekLast(sqlite3_int64* found) { return seekUpTo(std::numeric_limits<sqlite3_int64>::max(), found); }
    bool seekAfter(sqlite3_int64 k, sqlite3_int64* found)
    {
        return k < std::numeric_limits<sqlite3_int64>::max() && seekFrom(k + 1, found);
    }
    bool seekBefore(sqlite3_int64 k, sqlite3_int64* found)
    {
        return k > std::numeric_limits<sqlite3_int64>::min() && seekUpTo(k - 1, found);
    }

    void standOn(sqlite3_int64 k)
    {
        bof = eof = hole = false;
        key = k;
    }

    void cancelPending()
    {
        editMode = dbEditNone;
        collectedMask = 0;
        for (QVariant& v : collected)
            v = QVariant();
    }

    bool onRecord() const { return !bof && !eof && !hole; }

    void requireCurrent() const
    {
        if (bof || eof)
            throw Error(QStringLiteral("Kein aktueller Datensatz: der Datensatzzeiger steht vor dem ersten oder "
                                       "hinter dem letzten Datensatz."));
        if (hole)
            throw Error(QStringLiteral("Kein aktueller Datensatz: der Datensatz wurde gelöscht."));
    }

    static Error emptyTable()
    {
        return Error(QStringLiteral("Die Tabelle „%1“ enthält keine Datensätze.").arg(kTable));
    }

    // Binds a value the way the store writes it: no value as NULL, everything
    // else as text (the empty text stays the empty text, never NULL).
    static void bindValue(sqlite3_stmt* st, int index, const QVariant& v)
    {
        if (v.typeId() != QMetaType::QString && (!v.isValid() || v.isNull())) {
            sqlite3_bind_null(st, index);
            return;
        }
        const QByteArray text = v.toString().toUtf8();
        if (text.isEmpty())
            sqlite3_bind_text(st, index, "", 0, SQLITE_STATIC);
        else
            sqlite3_bind_text(st, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
};

Recordset::Recordset(std::shared_ptr<Connection> connection, const QString& table) : d(std::make_unique<Impl>())
{
    d->conn = std::move(connection);
    if (table != kTable)
        throw Error(QStringLiteral("Die Tabelle „%1“ gibt es nicht.").arg(table));
    sqlite3_int64 k = 0;
    if (d->seekFirst(&k)) {
        d->standOn(k);
    } else {
        d->bof = d->eof = true;
    }
}

Recordset::~Recordset() = default;

QVariant Recordset::Fields(const QString& name) const
{
    Impl& p = *d;
    p.connection();
    const int i = fieldIndex(name);
    if (i < 0)
        throw unknownField(name);
    p.requireCurrent();
    sqlite3_stmt* st = p.forwardStatement();
    sqlite3_bind_int64(st, 1, p.key);
    const int rc = sqlite3_step(st);
    QVariant value; // a record gone under this cursor reads as a record without values
    const int c = i + 1;
    if (rc == SQLITE_ROW && sqlite3_column_int64(st, 0) == p.key) {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER:
            value = QVariant(qlonglong(sqlite3_column_int64(st, c)));
            break;
        case SQLITE_FLOAT:
            value = QVariant(sqlite3_column_double(st, c));
            break;
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            const int bytes = sqlite3_column_bytes(st, c);
            value = bytes > 0 ? QVariant(decodeText(text, bytes)) : QVariant(QString(QLatin1String("")));
            break;
        }
        case SQLITE_BLOB: {
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(st, c));
            value = QVariant(QByteArray(blob ? blob : "", sqlite3_column_bytes(st, c)));
            break;
        }
        default:
            break;
        }
    }
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw p.conn->readError(rc);
    return value;
}

void Recordset::Collect(const QString& name, const QVariant& value)
{
    Impl& p = *d;
    p.connection();
    const int i = fieldIndex(name);
    if (i < 0)
        throw unknownField(name);
    if (p.editMode == 0)
        throw Error(QStringLiteral("Das Feld „%1“ kann nur zwischen Edit oder AddNew und Update gesetzt werden; es "
                                   "wird gerade kein Datensatz bearbeitet.")
                        .arg(name));
    p.collected[i] = value;
    p.collectedMask |= 1u << i;
}

void Recordset::MoveFirst()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    sqlite3_int64 k = 0;
    if (!p.seekFirst(&k))
        throw Impl::emptyTable();
    p.standOn(k);
}

void Recordset::MoveLast()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    sqlite3_int64 k = 0;
    if (!p.seekLast(&k))
        throw Impl::emptyTable();
    p.standOn(k);
}

void Recordset::MoveNext()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    if (p.eof)
        throw Error(QStringLiteral("Kein nächster Datensatz: der Datensatzzeiger steht bereits hinter dem letzten "
                                   "Datensatz."));
    sqlite3_int64 k = 0;
    const bool found = p.bof ? p.seekFirst(&k) : p.seekAfter(p.key, &k);
    if (found) {
        p.standOn(k);
        return;
    }
    // Past the end. Only when nothing is left at all is the cursor also before
    // the start: an empty set has both.
    sqlite3_int64 any = 0;
    const bool empty = p.bof || !p.seekFirst(&any);
    p.eof = true;
    p.bof = empty;
    p.hole = false;
}

void Recordset::MovePrevious()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    if (p.bof)
        throw Error(QStringLiteral("Kein vorheriger Datensatz: der Datensatzzeiger steht bereits vor dem ersten "
                                   "Datensatz."));
    sqlite3_int64 k = 0;
    const bool found = p.eof ? p.seekLast(&k) : p.seekBefore(p.key, &k);
    if (found) {
        p.standOn(k);
        return;
    }
    sqlite3_int64 any = 0;
    const bool empty = p.eof || !p.seekFirst(&any);
    p.bof = true;
    p.eof = empty;
    p.hole = false;
}

bool Recordset::IsEOF() const
{
    d->connection();
    return d->eof;
}

bool Recordset::IsBOF() const
{
    d->connection();
    return d->bof;
}

int Recordset::EditMode() const
{
    d->connection();
    return d->editMode;
}

void Recordset::Edit()
{
    Impl& p = *d;
    p.connection();
    p.requireCurrent();
    p.cancelPending();
    p.editMode = dbEditInProgress;
}

void Recordset::AddNew()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    p.editMode = dbEditAdd;
}

void Recordset::Update()
{
    Impl& p = *d;
    Connection& c = p.connection();
    if (p.editMode == 0)
        throw Error(QStringLiteral("Es gibt nichts zu speichern: es wird gerade kein Datensatz bearbeitet oder "
                                   "hinzugefügt."));
    const int mode = p.editMode;
    const unsigned mask = p.collectedMask;
    const auto values = p.collected;
    const sqlite3_int64 key = p.key;
    // Whatever happens below, the pending change is over: a failed Update
    // must not leave an edit open that would block the next one.
    p.cancelPending();

    auto stepOnce = [&](sqlite3* db, sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE)
            throw c.writeError(rc == SQLITE_ROW ? sqlite3_errcode(db) : rc);
    };

    if (mode == 2) {
        c.writeTransaction([&](sqlite3* db) {
            sqlite3_stmt* st = c.insertStatement();
            for (int i = 0; i < kFieldCount; ++i)
                Impl::bindValue(st, i + 1, values[i]);
            stepOnce(db, st);
        });
        return;
    }

    c.writeTransaction([&](sqlite3* db) {
        int changed = 0;
        if (mask == 0) {
            // Nothing collected: the record must still be there to count as saved.
            sqlite3_int64 found = 0;
            changed = p.seekFrom(key, &found) && found == key ? 1 : 0;
        } else {
            sqlite3_stmt* st = c.updateStatement(mask);
            int index = 1;
            for (int i = 0; i < kFieldCount; ++i)
                if (mask & (1u << i))
                    Impl::bindValue(st, index++, values[i]);
            sqlite3_bind_int64(st, index, key);
            stepOnce(db, st);
            changed = sqlite3_changes(db);
        }
        if (changed == 0)
            throw Error(QStringLiteral("Der Datensatz wurde inzwischen gelöscht; die Änderung wurde nicht "
                                       "gespeichert."));
    });
}

void Recordset::CancelUpdate()
{
    d->connection();
    d->cancelPending();
}

void Recordset::Delete()
{
    Impl& p = *d;
    Connection& c = p.connection();
    p.cancelPending();
    p.requireCurrent();
    const sqlite3_int64 key = p.key;
    c.writeTransaction([&](sqlite3* db) {
        sqlite3_stmt* st = p.statement(p.remove, "DELETE FROM %1 WHERE rowid=?1");
        sqlite3_bind_int64(st, 1, key);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE)
            throw c.writeError(rc);
        if (sqlite3_changes(db) == 0)
            throw Error(QStringLiteral("Der Datensatz wurde inzwischen gelöscht."));
    });
    p.hole = true;
}

void Recordset::Close()
{
    if (d->closed)
        return;
    d->cancelPending();
    d->finalize();
    d->closed = true;
}

} // namespace store
