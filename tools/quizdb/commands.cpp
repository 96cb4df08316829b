// The commands over the store's SQLite layer: the CSV is read and checked
// against the data model before anything is written, and a write is one
// transaction, so a refused or failed command leaves every file as it was.
#include "tools/quizdb/commands.h"

#include "store/sqlite.h"

#include <QFile>
#include <QFileInfo>

namespace quizdb {

namespace sqlite = store::sqlite;

namespace {

// Longest list of faults that one message shows; the rest is counted.
constexpr int kMaxListedFaults = 30;

// The question table with all thirteen fields must be there.
void requireQuestionTable(sqlite3* db, const QString& file)
{
    QStringList have;
    const int rc = sqlite::tableColumns(db, store::kTable, have);
    if (rc != SQLITE_OK)
        throw sqlite::readError(file, rc, db);
    if (have.isEmpty())
        throw Error(QStringLiteral("%1 ist keine Fragendatei: die Tabelle %2 fehlt.")
                        .arg(quoted(file), quoted(store::kTable)));
    for (const QString& f : store::fieldNames())
        if (!have.contains(f, Qt::CaseInsensitive))
            throw Error(QStringLiteral("In der Fragendatei %1 fehlt der Tabelle %2 das Feld %3.")
                            .arg(quoted(file), quoted(store::kTable), quoted(f)));
}

// Opens an existing question file and checks that it holds the question table.
sqlite::Handle openQuestionFile(const QString& file, bool write)
{
    const QFileInfo info(file);
    if (!info.exists())
        throw Error(QStringLiteral("Die Fragendatei %1 gibt es nicht.").arg(quoted(file)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine Fragendatei.").arg(quoted(file)));
    sqlite::Handle db = sqlite::open(file, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    requireQuestionTable(db.get(), file);
    return db;
}

// Calls `each` with the position and the raw values (no value = nullopt) of
// every record of the table, in table order. Returns the number of records.
template <typename Each>
int forEachRecord(sqlite3* db, const QString& file, Each each)
{
    const sqlite::Statement select = sqlite::prepareOrThrow(
        db, file,
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
            .arg(sqlite::identifierList(store::fieldNames()), sqlite::identifier(store::kTable)));
    sqlite3_stmt* st = select.get();
    int position = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++position;
        QList<std::optional<QByteArray>> raw;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_NULL) {
                raw.append(std::nullopt);
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                raw.append(QByteArray(text, sqlite3_column_bytes(st, i)));
            }
        }
        each(position, raw);
    }
    if (rc != SQLITE_DONE)
        throw sqlite::readError(file, rc, db);
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

    void insert(const QList<Value>& values)
    {
        sqlite3_stmt* st = m_insert.get();
        for (int i = 0; i < store::kFieldCount; ++i)
            check(sqlite::bindText(st, i + 1, values[i]), SQLITE_OK);
        check(sqlite::stepOnce(st), SQLITE_DONE);
    }

private:
    void check(int rc, int expected) const
    {
        if (rc != expected)
            throw sqlite::writeError(m_file, rc, m_db);
    }

    sqlite3* m_db;
    QString m_file;
    sqlite::Statement m_insert;
};

// Inserts the records in one transaction: all of them or, on any failure, none.
void insertAll(sqlite3* db, const QString& file, const QList<CsvRecord>& records, bool createTable)
{
    sqlite::Transaction transaction(db, file);
    if (createTable) {
        const int rc = sqlite::execute(db, store::createTableSql().toUtf8().constData());
        if (rc != SQLITE_OK)
            throw sqlite::writeError(file, rc, db);
    }
    Inserter inserter(db, file);
    for (const CsvRecord& rec : records)
        inserter.insert(rec.values);
    transaction.commit();
}

// Reads the CSV and refuses it when any record breaks the data model: the
// questions that go into a question file must be playable.
QList<CsvRecord> readPlayableCsv(const QString& csv)
{
    const QList<CsvRecord> records = readCsvFile(csv);
    QStringList lines;
    int faults = 0;
    for (const CsvRecord& rec : records) {
        for (const Fault& f : modelFaults(rec.values)) {
            ++faults;
            if (lines.size() < kMaxListedFaults)
                lines << QStringLiteral("  %1, Zeile %2, Feld %3: %4")
                             .arg(QFileInfo(csv).fileName())
                             .arg(rec.fieldLines[store::fieldIndex(f.field)])
                             .arg(quoted(f.field), f.text);
        }
    }
    if (faults) {
        QString message = QStringLiteral("Die CSV-Datei %1 enthält %2 Verstöße gegen das Datenmodell; nichts wurde "
                                         "geschrieben:\n")
                              .arg(quoted(csv))
                              .arg(faults) +
                          lines.join(QLatin1Char('\n'));
        if (faults > lines.size())
            message += QStringLiteral("\n  … und %1 weitere.").arg(faults - lines.size());
        throw Error(message);
    }
    return records;
}

void put(QIODevice& out, const QByteArray& bytes)
{
    if (out.write(bytes) != bytes.size())
        throw Error(QStringLiteral("Die Ausgabe lässt sich nicht schreiben: %1").arg(out.errorString()));
}

} // namespace

int createFile(const QString& file, const QString& csv)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; quizdb create legt nur neue Fragendateien an und überschreibt "
                                   "nichts. Zum Anhängen an eine vorhandene Fragendatei: quizdb import.")
                        .arg(quoted(file)));
    const QList<CsvRecord> records = readPlayableCsv(csv);

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
        const sqlite::Handle db = sqlite::open(file, SQLITE_OPEN_READWRITE);
        insertAll(db.get(), file, records, true);
    } catch (...) {
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-journal"));
        throw;
    }
    return int(records.size());
}

int importFile(const QString& file, const QString& csv)
{
    // The whole CSV is read and checked before the question file is opened.
    const QList<CsvRecord> records = readPlayableCsv(csv);
    const sqlite::Handle db = openQuestionFile(file, true);
    insertAll(db.get(), file, records, false);
    return int(records.size());
}

void exportFile(const QString& file, QIODevice& out)
{
    const sqlite::Handle db = openQuestionFile(file, false);
    put(out, csvHeader());
    forEachRecord(db.get(), file, [&](int position, const QList<std::optional<QByteArray>>& raw) {
        QList<Value> values;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (!raw[i]) {
                values.append(std::nullopt);
                continue;
            }
            if (!isValidUtf8(*raw[i]) || raw[i]->contains('\0'))
                throw Error(QStringLiteral("Satz %1, Feld %2 der Fragendatei %3 ist kein gültiger UTF-8-Text; die "
                                           "Datei lässt sich so nicht als CSV ausgeben.")
                                .arg(position)
                                .arg(quoted(store::fieldNames().at(i)), quoted(file)));
            values.append(store::textFromUtf8(*raw[i]));
        }
        put(out, csvLine(values));
    });
}

CheckResult checkFile(const QString& file)
{
    const sqlite::Handle db = openQuestionFile(file, false);
    CheckResult result;
    result.records = forEachRecord(db.get(), file, [&](int position, const QList<std::optional<QByteArray>>& raw) {
        QList<Value> values;
        QList<Fault> encoding;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (!raw[i]) {
                values.append(std::nullopt);
                continue;
            }
            if (!isValidUtf8(*raw[i]))
                encoding.append({store::fieldNames().at(i), QStringLiteral("ist kein gültiger UTF-8-Text.")});
            else if (raw[i]->contains('\0'))
                encoding.append({store::fieldNames().at(i), QStringLiteral("enthält ein Nullzeichen.")});
            values.append(store::textFromUtf8(*raw[i]));
        }
        const QList<Fault> faults = encoding + modelFaults(values);
        if (!faults.isEmpty())
            result.faulty.append({position, values.at(0), faults});
    });
    return result;
}

} // namespace quizdb
