// The question store: one table of one SQLite file, reached through the record
// cursor operations that both windows use. A record set is a position in the
// table (by an ever-growing key), not a copy of it; every field read goes to
// the file afresh.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

struct sqlite3;

namespace store {

// Every failure of the store. The message says in German what failed, in words a
// user can act on (which file, what is wrong with it).
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline const QString kFileName = QStringLiteral("Zada-VI-VOZ.mdb");
inline const QString kTable = QStringLiteral("Zada-VI-VOZ");

// The thirteen fields of a question record, in the table's column order.
const QStringList& fieldNames();
// Longest value the editor writes into a field (Nummer 2, Frage 110, ...).
int fieldLimit(const QString& field);

// SQL that creates an empty question table. Only the build and quizdb use it:
// the program itself never creates the file or the table.
QString createTableSql();

class Connection; // the open SQLite handle, shared by a database and its record sets
class Recordset;

class Database {
public:
    explicit Database(std::shared_ptr<Connection> connection);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::unique_ptr<Recordset> OpenRecordset(const QString& table, int type = 2); // dynaset
    void Close();

    // The SQLite handle under this database, for tools and tests only (for example
    // to set a page limit on this very connection); the program never uses it.
    // Throws Error when the database has been closed.
    sqlite3* nativeHandle() const;

private:
    std::shared_ptr<Connection> m_connection;
};

class DBEngine { // one per process, created on first use, shared by both windows
public:
    static DBEngine& instance();
    std::unique_ptr<Database> OpenDatabase(const QString& path); // shared, writable

private:
    DBEngine() = default;
};

class Recordset;

// The text a stored value shows as: a field without a value is the empty text,
// a number its decimal digits.
QString valueText(const QVariant& value);
// The field of the current record as text, read afresh (see valueText).
QString fieldText(const Recordset& records, const QString& field);

class Recordset {
public:
    Recordset(std::shared_ptr<Connection> connection, const QString& table);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    QVariant Fields(const QString& name) const;               // null QVariant = no value
    void Collect(const QString& name, const QVariant& value); // between Edit/AddNew and Update
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    bool IsEOF() const;
    bool IsBOF() const;
    int EditMode() const; // 0 none, 1 Edit, 2 AddNew
    void Edit();
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace store
