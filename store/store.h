// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question store: one table of one SQLite file, reached through the record
// cursor operations that both windows use. A record set is a position in the
// table (by an ever-growing key), not a copy of it; every field read goes to
// the file afresh.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <memory>
#include <stdexcept>

namespace store {

// Every failure of the store. The message says in German what failed, in words a
// user can act on (which file, what is wrong with it); what() holds it in UTF-8.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

inline const QString kFileName = QStringLiteral("Zada-VI-VOZ.mdb");
inline const QString kTable = QStringLiteral("Zada-VI-VOZ");

// The thirteen fields of a question record, by name, so that a misspelt field
// is a compile error rather than a failure at run time.
namespace field {
inline const QString Nummer = QStringLiteral("Nummer");
inline const QString Frage = QStringLiteral("Frage");
inline const QString AntwortA = QStringLiteral("AntwortA");
inline const QString AntwortB = QStringLiteral("AntwortB");
inline const QString AntwortC = QStringLiteral("AntwortC");
inline const QString AntwortD = QStringLiteral("AntwortD");
inline const QString Richtig = QStringLiteral("Richtig");
inline const QString Fraglich = QStringLiteral("Fraglich");
inline const QString PublikumA = QStringLiteral("PublikumA");
inline const QString PublikumB = QStringLiteral("PublikumB");
inline const QString PublikumC = QStringLiteral("PublikumC");
inline const QString PublikumD = QStringLiteral("PublikumD");
inline const QString JokerTV = QStringLiteral("JokerTV");
} // namespace field

// The thirteen fields in the table's column order.
const QStringList& fieldNames();
inline constexpr int kFieldCount = 13;
// Position of a field in fieldNames(), or -1 for a name that is no field.
int fieldIndex(const QString& name);

// The thirteen values of one record, in the order of fieldNames(); a null
// QVariant is a field without a value.
using RecordValues = std::array<QVariant, kFieldCount>;

// A change or delete refused because the record no longer holds the values the
// caller last read of it: another program changed it in the meantime.
struct RecordChanged : Error {
    RecordChanged(const QString& message, QStringList changedFields, RecordValues nowStored)
        : Error(message), fields(std::move(changedFields)), now(std::move(nowStored))
    {
    }
    QStringList fields; // the fields that differ, in table order
    RecordValues now;   // what the record holds now
};

// Recordset::EditMode(): nothing pending, Edit pending, AddNew pending.
enum EditModeValue { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };
// The kind of record set the windows open: updatable, over the whole table.
enum RecordsetType { dbOpenDynaset = 2 };
// Longest value the editor writes into a field (Nummer 2, Frage 110, ...).
int fieldLimit(const QString& field);

// SQL that creates an empty question table. Only the build and quizdb use it:
// the program itself never creates the file or the table.
QString createTableSql();

// How long a connection waits for a file that another program holds before it
// gives up, unless DBEngine::SetBusyTimeout says otherwise.
inline constexpr int kBusyTimeoutMs = 2000;

class Connection; // the open SQLite handle, shared by a database and its record sets
class Recordset;

class Database {
public:
    explicit Database(std::shared_ptr<Connection> connection);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::unique_ptr<Recordset> OpenRecordset(const QString& table, int type = dbOpenDynaset);
    void Close();

private:
    std::shared_ptr<Connection> m_connection;
};

class DBEngine { // one per process, created on first use, shared by both windows
public:
    static DBEngine& instance();
    std::unique_ptr<Database> OpenDatabase(const QString& path); // shared, writable
    // For reading only: `path` is a private copy of the question file
    // `shownAs` (made from a file of another format), the name every message
    // gives it.
    std::unique_ptr<Database> OpenReadOnly(const QString& path, const QString& shownAs);
    // How long databases opened from now on wait for a file that another
    // program holds before they give up: kBusyTimeoutMs unless set. The
    // program never changes it; tests of locks shorten it.
    void SetBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }

private:
    DBEngine() = default;
    int m_busyTimeoutMs = kBusyTimeoutMs;
};

// A stored text whose bytes are not valid UTF-8, exactly as stored. Values()
// hands such a text out as this, so that two of them compare byte for byte and
// a save can tell that writing it back would change it; valueText() shows it
// with U+FFFD for each broken sequence.
struct RawText {
    QByteArray bytes;
    friend bool operator==(const RawText& a, const RawText& b) { return a.bytes == b.bytes; }
};

// The text a stored value shows as: a field without a value is the empty text,
// a number its decimal digits, a RawText its readable part.
QString valueText(const QVariant& value);
// The field of the current record as text, read afresh (see valueText).
QString fieldText(const Recordset& records, const QString& field);
// The text of well-formed UTF-8, every character kept: unlike QString::fromUtf8
// a U+FEFF at the start stays, as a stored value may begin with one.
QString textFromUtf8(QByteArrayView utf8);

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
    int EditMode() const; // an EditModeValue
    // False when the file can only be read: every save would be refused.
    bool Updatable() const;
    void Edit();
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    void Close();

    // Makes the record this record set last added or changed the current one,
    // by its key: after AddNew the new record, wherever SQLite placed it.
    // Throws when there is none or it has been deleted since.
    void MoveToLastModified();

    // Guarding against another program's changes. Values() reads the current
    // record's thirteen values in one go, a text that is not valid UTF-8 as
    // RawText (Fields() reads it as text with U+FFFD). UpdateIfUnchanged after Edit, and
    // DeleteIfUnchanged, act only while the record still holds `expected`,
    // compared inside the write transaction; otherwise nothing is written and
    // RecordChanged names the fields that differ. UpdateIfUnchanged returns
    // what the record holds after the write (after AddNew: the new record,
    // nothing compared).
    RecordValues Values() const;
    RecordValues UpdateIfUnchanged(const RecordValues& expected);
    void DeleteIfUnchanged(const RecordValues& expected);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace store

Q_DECLARE_METATYPE(store::RawText)
