// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The commands over the store's SQLite layer. create and import read, check and
// write in one pass inside one transaction: at the first faulty record they
// stop writing, read on only to name further faults, and roll back, so a
// refused or failed command leaves every file as it was. Records that are in
// order go from the CSV reader's buffer to SQLite as bytes, never decoded.
#include "tools/quizdb/commands.h"

#include "store/sqlite.h"
#include "tools/quizdb/csv.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <new>
#include <string>
#include <unistd.h>

namespace quizdb {

namespace sqlite = store::sqlite;

namespace {

// Longest list of faults that one message shows; the rest is counted.
constexpr int kMaxListedFaults = 30;

// Output is handed on in pieces of about this size.
constexpr size_t kOutputChunk = 256 * 1024;

// SQLite's failures in quizdb's words. Running out of memory is the one
// message of its own (see run()), whatever ran out.
void failOnNoMemory(int rc)
{
    if ((rc & 0xff) == SQLITE_NOMEM)
        throw std::bad_alloc();
}

Error readError(const QString& file, int rc, sqlite3* db)
{
    failOnNoMemory(rc);
    if ((rc & 0xff) == SQLITE_TOOBIG)
        return Error(QStringLiteral("Die Fragendatei %1 enthält einen Datensatz, der größer als %2 MiB ist; so groß "
                                    "ist keine Frage, die Datei ist beschädigt oder keine Fragendatei.")
                         .arg(quoted(file), QString::number(sqlite::kMaxValueBytes >> 20)));
    return sqlite::readError(file, rc, db);
}

Error writeError(const QString& file, int rc, sqlite3* db)
{
    failOnNoMemory(rc);
    return sqlite::writeError(file, rc, db);
}

// Opens a question file so that nothing stored in it is ever executed: its
// triggers never fire, its views are never expanded, and no value larger than
// sqlite::kMaxValueBytes is ever built.
sqlite::Handle openDefensively(const QString& file, int flags)
{
    // quizdb runs on one thread: its connections need no locking of their own.
    // sqlite::open makes it defensive: the file's triggers and views never run.
    return sqlite::open(file, flags | SQLITE_OPEN_NOMUTEX);
}

// The question table as quizdb can address it: an ordinary table (no view, no
// WITHOUT ROWID) with the thirteen fields as plain stored columns. Returns the
// name under which its true row key is reached: rowid, or, where a column of
// the table is called so, _rowid_ or oid.
QString requireQuestionTable(sqlite3* db, const QString& file)
{
    sqlite::TableShape shape;
    if (const int rc = sqlite::tableShape(db, store::kTable, shape); rc != SQLITE_OK)
        throw readError(file, rc, db);
    if (shape.kind.isEmpty())
        throw Error(QStringLiteral("%1 ist keine Fragendatei: die Tabelle %2 fehlt.").arg(quoted(file), quoted(store::kTable)));
    if (shape.kind != QLatin1String("table"))
        throw Error(QStringLiteral("%1 ist keine Fragendatei: %2 ist dort keine Tabelle, sondern %3.")
                        .arg(quoted(file), quoted(store::kTable),
                             shape.kind == QLatin1String("view") ? QStringLiteral("eine Sicht (VIEW)")
                                                                 : QStringLiteral("eine virtuelle Tabelle")));
    if (shape.withoutRowid)
        throw Error(QStringLiteral("Die Tabelle %1 der Fragendatei %2 ist ohne Zeilenschlüssel (WITHOUT ROWID) angelegt; "
                                   "so eine Tabelle liest und schreibt quizdb nicht.")
                        .arg(quoted(store::kTable), quoted(file)));
    for (const QString& f : store::fieldNames()) {
        if (shape.computed.contains(f, Qt::CaseInsensitive))
            throw Error(QStringLiteral("In der Fragendatei %1 ist das Feld %2 der Tabelle %3 berechnet (GENERATED) oder "
                                       "verborgen; die Felder einer Fragendatei sind gewöhnliche gespeicherte Spalten.")
                            .arg(quoted(file), quoted(f), quoted(store::kTable)));
        if (!shape.columns.contains(f, Qt::CaseInsensitive))
            throw Error(QStringLiteral("In der Fragendatei %1 fehlt der Tabelle %2 das Feld %3.")
                            .arg(quoted(file), quoted(store::kTable), quoted(f)));
    }
    if (!shape.rowKey.isEmpty())
        return shape.rowKey;
    throw Error(QStringLiteral("In der Fragendatei %1 heißen Spalten der Tabelle %2 rowid, _rowid_ und oid; so ist die "
                               "Reihenfolge der Datensätze nicht zu erreichen.")
                    .arg(quoted(file), quoted(store::kTable)));
}

// Opens an existing question file and checks that it holds the question
// table; `key` gets the name of its row key.
sqlite::Handle openQuestionFile(const QString& file, bool write, QString& key)
{
    const QFileInfo info(file);
    if (!info.exists())
        throw Error(QStringLiteral("Die Fragendatei %1 gibt es nicht.").arg(quoted(file)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine Fragendatei.").arg(quoted(file)));
    sqlite::Handle db = openDefensively(file, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    key = requireQuestionTable(db.get(), file);
    return db;
}

// Calls `each` with the position and the raw values of every record of the
// table, in table order. Returns the number of records.
template <typename Each>
qint64 forEachRecord(sqlite3* db, const QString& file, const QString& key, Each each)
{
    const sqlite::Statement select = sqlite::prepareOrThrow(
        db, file,
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(sqlite::identifierList(store::fieldNames()), sqlite::identifier(store::kTable), key));
    sqlite3_stmt* st = select.get();
    qint64 position = 0;
    RawRecord record;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++position;
        for (int i = 0; i < store::kFieldCount; ++i) {
            // The column's value read directly: quizdb's connections belong to
            // one thread, where the value needs no protection.
            sqlite3_value* value = sqlite3_column_value(st, i);
            RawValue& v = record[i];
            v.data = reinterpret_cast<const char*>(sqlite3_value_text(value));
            v.size = sqlite3_value_bytes(value);
            // No text: no value, or a conversion that found no memory.
            v.null = !v.data;
            if (v.null && sqlite3_value_type(value) != SQLITE_NULL)
                failOnNoMemory(SQLITE_NOMEM);
        }
        each(position, record);
    }
    if (rc != SQLITE_DONE)
        throw readError(file, rc, db);
    return position;
}

// Appends records to the question table, one at a time, inside a transaction
// the caller holds.
class Inserter {
public:
    Inserter(sqlite3* db, const QString& file) : m_db(db), m_file(file)
    {
        QStringList marks;
        for (int i = 1; i <= store::kFieldCount; ++i)
            marks << QStringLiteral("?%1").arg(i);
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(sqlite::identifier(store::kTable), sqlite::identifierList(store::fieldNames()),
                                     marks.join(QLatin1Char(',')));
        check(sqlite::prepare(db, sql, m_insert), SQLITE_OK);
    }

    // The values are bound where they are: they only have to last until the
    // row is written.
    void insert(const RawRecord& values)
    {
        sqlite3_stmt* st = m_insert.get();
        for (int i = 0; i < store::kFieldCount; ++i) {
            const RawValue& v = values[i];
            check(v.null ? sqlite3_bind_null(st, i + 1)
                         : sqlite3_bind_text(st, i + 1, v.size ? v.data : "", int(v.size), SQLITE_STATIC),
                  SQLITE_OK);
        }
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        check(rc, SQLITE_DONE);
    }

private:
    void check(int rc, int expected) const
    {
        if (rc != expected)
            throw writeError(m_file, rc, m_db);
    }

    sqlite3* m_db;
    QString m_file;
    sqlite::Statement m_insert;
};

// The CSV to read: a regular file, or standard input for "-".
class CsvInput {
public:
    explicit CsvInput(const QString& path)
    {
        if (path == kStandardInput) {
            if (!m_file.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
                throw Error(QStringLiteral("Die Standardeingabe lässt sich nicht lesen: %1").arg(m_file.errorString()));
            m_name = QStringLiteral("Standardeingabe");
            m_subject = QStringLiteral("Die Standardeingabe");
            return;
        }
        const QFileInfo info(path);
        if (!info.exists())
            throw Error(QStringLiteral("Die CSV-Datei %1 gibt es nicht.").arg(quoted(path)));
        if (info.isDir())
            throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine CSV-Datei.").arg(quoted(path)));
        if (!info.isFile())
            throw Error(QStringLiteral("%1 ist keine gewöhnliche Datei. Was ein anderes Programm ausgibt, liest quizdb "
                                       "mit „-“ statt des Dateinamens von der Standardeingabe.")
                            .arg(quoted(path)));
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw Error(QStringLiteral("Die CSV-Datei %1 lässt sich nicht lesen: %2").arg(quoted(path), m_file.errorString()));
        m_name = info.fileName();
        m_subject = QStringLiteral("Die CSV-Datei %1").arg(quoted(path));
        m_size = info.size();
    }

    QIODevice& device() { return m_file; }
    // The name that fault lines begin with.
    const QString& name() const { return m_name; }
    // The input as the subject of a sentence.
    const QString& subject() const { return m_subject; }
    // Bytes in all; -1 when not known beforehand.
    qint64 size() const { return m_size; }

private:
    QFile m_file;
    QString m_name;
    QString m_subject;
    qint64 m_size = -1;
};

// The faults of a CSV, the first kMaxListedFaults in words, the rest counted.
class FaultList {
public:
    explicit FaultList(const CsvInput& input) : m_input(input) {}

    void add(const CsvFault& fault)
    {
        if (m_lines.size() < kMaxListedFaults)
            m_lines << QStringLiteral("  ") + describeFault(m_input.name(), fault);
        ++m_count;
    }
    bool isEmpty() const { return m_count == 0; }

    // `stoppedAt`: the line after which reading stopped; 0 when the whole CSV was read.
    Error error(int stoppedAt) const
    {
        QString message = QStringLiteral("%1 enthält %2; nichts wurde geschrieben:\n")
                              .arg(m_input.subject(), counted(m_count, QStringLiteral("Fehler"), QStringLiteral("Fehler"))) +
                          m_lines.join(QLatin1Char('\n'));
        const qint64 more = m_count - m_lines.size();
        if (more == 1)
            message += QStringLiteral("\n  … und 1 weiterer Fehler.");
        else if (more > 1)
            message += QStringLiteral("\n  … und %1 weitere Fehler.").arg(more);
        if (stoppedAt)
            message += QStringLiteral("\n  Hinter Zeile %1 wurde nicht weiter gelesen; dort kann noch mehr falsch sein.")
                           .arg(stoppedAt);
        return Error(message);
    }

private:
    const CsvInput& m_input;
    QStringList m_lines;
    qint64 m_count = 0;
};

// Reads the records of `reader` and writes those that keep `options.rules`,
// inside the caller's transaction, until the first faulty one; reads on to
// list further faults, then throws them all. Returns the count written.
int writeRecords(sqlite3* db, const QString& file, CsvInput& input, CsvReader& reader, const WriteOptions& options)
{
    Inserter inserter(db, file);
    FaultList faultList(input);
    CsvRow row;
    QList<CsvFault> faults;
    int written = 0;
    qint64 records = 0;
    int stoppedAt = 0;
    if (options.progress)
        options.progress->start(Progress::Work::Reading, input.size());
    for (;;) {
        faults.clear();
        const CsvReader::Result result = reader.next(row, faults);
        if (result == CsvReader::Result::End)
            break;
        if (result == CsvReader::Result::Stopped) {
            faultList.add(faults.last());
            stoppedAt = faults.last().line;
            break;
        }
        ++records;
        if (faults.isEmpty() && !surelyInOrder(row.values, options.rules))
            for (const Fault& f : quizdb::faults(decoded(row.values), options.rules))
                faults.append({row.lines[store::fieldIndex(f.field)], quoted(f.field), f.text});
        if (!faults.isEmpty()) {
            for (const CsvFault& f : faults)
                faultList.add(f);
        } else if (faultList.isEmpty()) {
            inserter.insert(row.values);
            ++written;
        }
        if (options.progress)
            options.progress->update(records, reader.bytesRead());
    }
    if (!faultList.isEmpty())
        throw faultList.error(stoppedAt);
    return written;
}

void put(QIODevice& out, const char* data, qint64 size)
{
    if (out.write(data, size) != size)
        throw Error(QStringLiteral("Die Ausgabe lässt sich nicht schreiben: %1").arg(out.errorString()));
}

} // namespace

int createFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; quizdb create legt nur neue Fragendateien an und überschreibt "
                                   "nichts. Zum Anhängen an eine vorhandene Fragendatei: quizdb import.")
                        .arg(quoted(file)));
    CsvInput input(csv);
    CsvReader reader(input.device(), input.name());

    // NewOnly: the file is made here or not at all, even if another program
    // makes one of that name in the meantime.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen: das Verzeichnis %2 gibt es nicht.")
                        .arg(quoted(file), quoted(folder.filePath())));
    QFile made(file);
    if (!made.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen (%2).").arg(quoted(file), made.errorString()));
    made.close();
    try {
        const sqlite::Handle db = openDefensively(file, SQLITE_OPEN_READWRITE);
        sqlite::Transaction transaction(db.get(), file);
        const int rc = sqlite::execute(db.get(), store::createTableSql().toUtf8().constData());
        if (rc != SQLITE_OK)
            throw writeError(file, rc, db.get());
        const int written = writeRecords(db.get(), file, input, reader, options);
        transaction.commit();
        return written;
    } catch (...) {
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-journal"));
        throw;
    }
}

int importFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    // The CSV's header is read before the question file is opened.
    CsvInput input(csv);
    CsvReader reader(input.device(), input.name());
    QString key;
    const sqlite::Handle db = openQuestionFile(file, true, key);
    sqlite::Transaction transaction(db.get(), file);
    const int written = writeRecords(db.get(), file, input, reader, options);
    transaction.commit();
    return written;
}

void exportFile(const QString& file, QIODevice& out, Progress* progress)
{
    QString key;
    const sqlite::Handle db = openQuestionFile(file, false, key);
    std::string buffer;
    buffer.reserve(kOutputChunk + 64 * 1024);
    const QByteArray header = csvHeader();
    buffer.append(header.constData(), size_t(header.size()));
    if (progress)
        progress->start(Progress::Work::Exporting);
    forEachRecord(db.get(), file, key, [&](qint64 position, RawRecord& record) {
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (record[i].null)
                continue;
            const Utf8Scan utf8 = scanUtf8(record[i].data, record[i].size);
            if (!utf8.valid || utf8.nul)
                throw Error(QStringLiteral("Satz %1, Feld %2 der Fragendatei %3 ist kein gültiger UTF-8-Text; die "
                                           "Datei lässt sich so nicht als CSV ausgeben.")
                                .arg(QString::number(position), quoted(store::fieldNames().at(i)), quoted(file)));
        }
        appendCsvLine(buffer, record);
        if (buffer.size() >= kOutputChunk) {
            put(out, buffer.data(), qint64(buffer.size()));
            buffer.clear();
        }
        if (progress)
            progress->update(position);
    });
    put(out, buffer.data(), qint64(buffer.size()));
}

CheckResult checkFile(const QString& file, const CheckReport& report, Progress* progress)
{
    QString key;
    const sqlite::Handle db = openQuestionFile(file, false, key);
    CheckResult result;

    // Triggers and views: the game never runs them, but they have no business
    // in a question file.
    const sqlite::Statement schema = sqlite::prepareOrThrow(
        db.get(), file, QStringLiteral("SELECT type, name, tbl_name FROM sqlite_schema WHERE type IN ('trigger', 'view') ORDER BY rowid"));
    int rc;
    while ((rc = sqlite3_step(schema.get())) == SQLITE_ROW) {
        auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(schema.get(), column)));
        };
        ++result.findings;
        if (text(0) == QLatin1String("trigger"))
            report.finding(QStringLiteral("Trigger %1 zur Tabelle %2: ein Trigger in einer Fragendatei wird vom Spiel, "
                                          "vom Editor und von quizdb nie ausgeführt; er gehört nicht hinein.")
                               .arg(quoted(text(1)), quoted(text(2))));
        else
            report.finding(QStringLiteral("Sicht %1: eine Sicht (VIEW) in einer Fragendatei benutzen das Spiel, der "
                                          "Editor und quizdb nie; sie gehört nicht hinein.")
                               .arg(quoted(text(1))));
    }
    if (rc != SQLITE_DONE)
        throw readError(file, rc, db.get());

    if (progress)
        progress->start(Progress::Work::Checking);
    result.records = forEachRecord(db.get(), file, key, [&](qint64 position, RawRecord& record) {
        if (progress)
            progress->update(position);
        // The quick way, for a record in order: only the texts are counted.
        bool counted = true;
        for (int i : kCountedFields) {
            RawValue& v = record[i];
            const Utf8Scan utf8 = scanUtf8(v.data, v.size);
            v.codePoints = utf8.codePoints;
            counted = counted && utf8.valid && !utf8.nul;
        }
        if (counted && surelyInOrder(record, Rules::Model))
            return;
        QList<Fault> faults;
        for (int i = 0; i < store::kFieldCount; ++i) {
            const RawValue& v = record[i];
            const Utf8Scan utf8 = scanUtf8(v.data, v.size);
            if (!utf8.valid)
                faults.append({store::fieldNames().at(i), QStringLiteral("ist kein gültiger UTF-8-Text.")});
            else if (utf8.nul)
                faults.append({store::fieldNames().at(i), QStringLiteral("enthält ein Nullzeichen.")});
        }
        const QList<Value> values = decoded(record);
        faults += modelFaults(values);
        if (faults.isEmpty())
            return;
        ++result.faulty;
        report.faulty({position, values.at(0), faults});
    });
    return result;
}

} // namespace quizdb
