// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The commands over the store's SQLite layer. create and import read, check and
// write in one pass inside one transaction: at the first faulty record they
// stop writing, read on only to name further faults, and roll back, so a
// refused or failed command leaves every file as it was. Records that are in
// order go from the CSV reader's buffer to SQLite as bytes, never decoded.
#include "tools/quizdb/commands.h"

#include "store/filekind.h"
#include "store/questiontable.h"
#include "store/sqlite.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/newfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
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

// Running out of memory has one message of its own (see run()), whatever ran out.
void failOnNoMemory(const sqlite::Error& e)
{
    if (e.isNoMemory())
        throw std::bad_alloc();
}

// The rollback journal SQLite keeps beside a question file (beside the file a
// symbolic link leads to, as SQLite resolves it).
QString journalOf(const QString& file)
{
    const QString real = QFileInfo(file).canonicalFilePath();
    return (real.isEmpty() ? file : real) + QStringLiteral("-journal");
}

// A journal that SQLite would play back on the next open: a save was
// interrupted, and the file holds half of it until then.
bool hasHotJournal(const QString& file)
{
    const QFileInfo journal(journalOf(file));
    return journal.isFile() && journal.size() > 0;
}

Error hotJournalError(const QString& file)
{
    return Error(QStringLiteral("In der Fragendatei %1 ist ein Speichern nicht zu Ende gekommen; ihr alter Stand liegt "
                                "in %2. SQLite stellt ihn beim nächsten Öffnen wieder her, braucht dafür aber "
                                "Schreibrecht auf die Datei und ihr Verzeichnis, das %3 hier nicht hat. Bis dahin ist "
                                "die Datei halb geschrieben und wird nicht gelesen; %2 bitte nicht löschen.")
                     .arg(quoted(file), quoted(journalOf(file)), programName()));
}

// Plays back a journal left by a failed write, as opening the file next
// time would; true when the file is as it was before.
bool restore(const QString& file)
{
    if (!hasHotJournal(file))
        return true;
    try {
        sqlite::File db(file, sqlite::File::Threads::One);
        db.execute(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    } catch (const Error&) {
        return false;
    }
    return !hasHotJournal(file);
}

QString pendingRestore(const QString& file)
{
    return QStringLiteral("Noch ist die Datei aber halb geschrieben: ihr alter Stand liegt in %1, und SQLite stellt "
                          "ihn beim nächsten Öffnen wieder her (auch „%2 check“ tut das). %1 bitte nicht löschen.")
        .arg(quoted(journalOf(file)), programName());
}

// A failure of reading the question file `file`, in quizdb's words where
// they say more.
Error readError(const QString& file, const sqlite::Error& e)
{
    failOnNoMemory(e);
    if (e.isTooBig())
        return Error(QStringLiteral("Die Fragendatei %1 enthält einen Datensatz, der größer als %2 MiB ist; so groß "
                                    "ist keine Frage, die Datei ist beschädigt oder keine Fragendatei.")
                         .arg(quoted(file), QString::number(sqlite::kMaxValueBytes >> 20)));
    // A journal that could not be played back, not a write-protected file.
    if ((e.isReadOnly() || e.isCantOpen()) && hasHotJournal(file))
        return hotJournalError(file);
    return e;
}

// Runs `work`, which reads the question file `file`, with its SQLite
// failures in quizdb's words.
template <typename Work>
auto reading(const QString& file, Work&& work)
{
    try {
        return work();
    } catch (const sqlite::Error& e) {
        throw readError(file, e);
    }
}

using store::irregularKind;

// Opens an existing question file and checks that it holds the question
// table; `key` gets the name of its row key. Only a regular file is opened:
// reading a pipe or a device would wait for ever or never end. Every file is
// opened for writing where that is allowed, also only to read it, so that
// SQLite can roll back a save that was interrupted.
sqlite::File openQuestionFile(const QString& file, bool write, QString& key)
{
    const QFileInfo info(file);
    if (!info.exists())
        throw Error(QStringLiteral("Die Fragendatei %1 gibt es nicht.").arg(quoted(file)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine Fragendatei.").arg(quoted(file)));
    if (const QString kind = irregularKind(file); !kind.isEmpty())
        throw Error(QStringLiteral("%1 ist %2, keine Fragendatei; eine Fragendatei ist eine gewöhnliche Datei.")
                        .arg(quoted(file), kind));
    // SQLite follows a link in place of its journal and would write, or
    // delete, whatever it leads to.
    if (const QString side = sqlite::linkedJournal(file); !side.isEmpty())
        throw Error(QStringLiteral("Neben der Fragendatei %1 ist %2 eine symbolische Verknüpfung. An dieser Stelle "
                                   "legt SQLite beim Speichern den alten Stand der Datei ab und würde der "
                                   "Verknüpfung in eine fremde Datei folgen; deshalb öffnet %3 die Fragendatei "
                                   "nicht. Bitte die Verknüpfung entfernen.")
                        .arg(quoted(file), quoted(side), programName()));
    // SQLite would take an empty file for a new, empty database.
    if (info.size() == 0)
        throw store::emptyFileError(file);
    return reading(file, [&] {
        sqlite::File db(file, sqlite::File::Threads::One);
        key = store::checkedRowKey(db);
        if (write && !db.isWritable())
            throw sqlite::readOnlyError(file);
        return db;
    });
}

// Calls `each` with the position and the raw values of every record of the
// table, in table order. Returns the number of records. The keys must grow
// from record to record, as every move of the store demands: a damaged table
// that leads back to records already read is refused, not read without end.
template <typename Each>
qint64 forEachRecord(sqlite::File& db, const QString& file, const QString& key, Each each)
{
    return reading(file, [&] {
        sqlite::Statement st(db, QStringLiteral("SELECT %1,%3 FROM %2 ORDER BY %3")
                                     .arg(sqlite::identifierList(store::fieldNames()), sqlite::identifier(store::kTable), key));
        qint64 position = 0;
        qint64 lastKey = 0;
        RawRecord record;
        while (st.step()) {
            const qint64 rowKey = st.integer(store::kFieldCount);
            if (position > 0 && rowKey <= lastKey)
                throw Error(QStringLiteral("Die Fragendatei %1 ist beschädigt: hinter Satz %2 führt ihre Tabelle zu "
                                           "einem Datensatz zurück, der schon gelesen ist. Die Datei lässt sich so "
                                           "nicht lesen.")
                                .arg(quoted(file), QString::number(position)));
            lastKey = rowKey;
            ++position;
            for (int i = 0; i < store::kFieldCount; ++i) {
                // The column's bytes where SQLite holds them (a number as its text).
                const std::optional<QByteArrayView> bytes = st.bytes(i);
                RawValue& v = record[i];
                v.null = !bytes;
                v.data = bytes ? bytes->data() : nullptr;
                v.size = bytes ? bytes->size() : 0;
            }
            each(position, record);
        }
        return position;
    });
}

// The CHECK constraints of a CREATE TABLE statement: the word CHECK outside
// quotes and comments (a column of that name must stand in quotes).
int countChecks(QStringView sql)
{
    int count = 0;
    const qsizetype size = sql.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = sql[i];
        const QStringView two = sql.mid(i, 2);
        qsizetype next = i + 1;
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[')
            next = sql.indexOf(c == u'[' ? u']' : c, i + 1) + 1;
        else if (two == u"--")
            next = sql.indexOf(u'\n', i);
        else if (two == u"/*")
            next = sql.indexOf(u"*/", i + 2) + 2;
        else if (c.isLetter() || c == u'_') {
            next = i;
            while (next < size && (sql[next].isLetterOrNumber() || sql[next] == u'_' || sql[next] == u'$'))
                ++next;
            count += sql.mid(i, next - i).compare(u"check", Qt::CaseInsensitive) == 0;
        }
        if (next <= i)
            break; // an unclosed quote or comment runs to the end
        i = next;
    }
    return count;
}

// What the question table's schema makes SQLite compute on every save: CHECK
// constraints and indexes on expressions or with a WHERE clause. A question
// file needs none of them, and a costly one slows every save of the editor.
template <typename Finding>
void schemaWork(sqlite::File& db, const QString& file, Finding finding)
{
    reading(file, [&] {
        int checks = 0;
        {
            sqlite::Statement table(db, QStringLiteral("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1 "
                                                       "COLLATE NOCASE"));
            table.bind(1, store::kTable);
            if (table.step())
                checks = countChecks(table.text(0));
        }
        if (checks)
            finding(QStringLiteral("%1 in der Tabelle %2: SQLite prüft sie bei jedem Speichern und Anhängen; eine "
                                   "Fragendatei braucht keine, und eine aufwendige macht jedes Speichern langsam.")
                        .arg(checks == 1 ? QStringLiteral("Eine CHECK-Bedingung")
                                         : QStringLiteral("%1 CHECK-Bedingungen").arg(checks),
                             quoted(store::kTable)));

        sqlite::Statement indexes(
            db, QStringLiteral("SELECT il.name, il.partial FROM pragma_index_list(?1) AS il WHERE il.partial "
                               "OR EXISTS (SELECT 1 FROM pragma_index_xinfo(il.name) WHERE cid = -2) ORDER BY il.name"));
        indexes.bind(1, store::kTable);
        while (indexes.step())
            finding(QStringLiteral("Index %1 der Tabelle %2 %3: SQLite berechnet das bei jedem Speichern und "
                                   "Anhängen; eine Fragendatei braucht es nicht, und ein aufwendiges macht jedes "
                                   "Speichern langsam.")
                        .arg(quoted(indexes.text(0)), quoted(store::kTable),
                             indexes.integer(1) ? QStringLiteral("mit Bedingung (WHERE)")
                                                : QStringLiteral("über einen Ausdruck")));
    });
}

// Appends records to the question table, one at a time, inside a transaction
// the caller holds.
class Inserter {
public:
    explicit Inserter(sqlite::File& db) : m_db(db)
    {
        QStringList marks;
        for (int i = 1; i <= store::kFieldCount; ++i)
            marks << QStringLiteral("?%1").arg(i);
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(sqlite::identifier(store::kTable), sqlite::identifierList(store::fieldNames()),
                                     marks.join(QLatin1Char(',')));
        writing([&] { m_insert = sqlite::Prepared(db, sql); });
    }

    // The values are bound where they are: they only have to last until the
    // row is written.
    void insert(const RawRecord& values)
    {
        writing([&] {
            sqlite::Statement st(m_insert);
            for (int i = 0; i < store::kFieldCount; ++i) {
                const RawValue& v = values[i];
                st.bindInPlace(i + 1, v.null ? std::nullopt : std::optional<QByteArrayView>(v.bytes()));
            }
            st.run();
        });
    }

private:
    // Runs `work` with its failures worded as failures to write, as the
    // store words them.
    template <typename Work>
    void writing(Work&& work)
    {
        try {
            work();
        } catch (const sqlite::Error& e) {
            failOnNoMemory(e);
            if (e.isFull() && store::keysUsedUp(m_db, store::kTable))
                throw store::noKeyLeft(m_db.path());
            throw sqlite::writeError(m_db.path(), e.code(), e.sqliteText());
        }
    }

    sqlite::File& m_db;
    sqlite::Prepared m_insert;
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
        if (const QString kind = irregularKind(path); !kind.isEmpty())
            throw Error(QStringLiteral("%1 ist %2, keine gewöhnliche Datei. Was ein anderes Programm ausgibt, liest %3 "
                                       "mit „-“ statt des Dateinamens von der Standardeingabe.")
                            .arg(quoted(path), kind, programName()));
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
int writeRecords(sqlite::File& db, CsvInput& input, CsvReader& reader, const WriteOptions& options)
{
    Inserter inserter(db);
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
    errno = 0;
    if (out.write(data, size) != size)
        throw writeFailure(out, errno);
}

} // namespace

int createFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; %2 create legt nur neue Fragendateien an und überschreibt "
                                   "nichts. Zum Anhängen an eine vorhandene Fragendatei: %2 import.")
                        .arg(quoted(file), programName()));
    CsvInput input(csv);
    CsvReader reader(input.device(), input.name());

    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen: das Verzeichnis %2 gibt es nicht.")
                        .arg(quoted(file), quoted(folder.filePath())));
    // The file is written under a name of its own and comes into place only
    // when it is whole, and only where no file has appeared in the meantime.
    NewFile made(file);
    int written = 0;
    {
        sqlite::File db(made.path(), sqlite::File::Threads::One, file);
        sqlite::Transaction transaction(db);
        db.execute(store::createTableSql());
        written = writeRecords(db, input, reader, options);
        transaction.commit();
    }
    made.place();
    return written;
}

int importFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    // The CSV's header is read before the question file is opened.
    CsvInput input(csv);
    CsvReader reader(input.device(), input.name());
    QString key;
    sqlite::File db = openQuestionFile(file, true, key);
    try {
        sqlite::Transaction transaction(db);
        const int written = writeRecords(db, input, reader, options);
        transaction.commit();
        return written;
    } catch (const Error& e) {
        // A failed write (a full disk) can leave SQLite unable to roll back
        // in this connection: the old state then waits in the journal.
        db.close();
        if (!restore(file))
            throw Error(e.message() + QLatin1Char(' ') + pendingRestore(file));
        throw;
    }
}

void exportFile(const QString& file, QIODevice& out, Progress* progress)
{
    QString key;
    sqlite::File db = openQuestionFile(file, false, key);
    std::string buffer;
    buffer.reserve(kOutputChunk + 64 * 1024);
    const QByteArray header = csvHeader();
    buffer.append(header.constData(), size_t(header.size()));
    if (progress)
        progress->start(Progress::Work::Exporting);
    forEachRecord(db, file, key, [&](qint64 position, RawRecord& record) {
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
    sqlite::File db = openQuestionFile(file, false, key);
    CheckResult result;

    // Triggers and views: the game never runs them, but they have no business
    // in a question file.
    reading(file, [&] {
        sqlite::Statement schema(db, QStringLiteral("SELECT type, name, tbl_name FROM sqlite_schema WHERE type IN "
                                                    "('trigger', 'view') ORDER BY rowid"));
        while (schema.step()) {
            ++result.findings;
            if (schema.text(0) == QLatin1String("trigger"))
                report.finding(QStringLiteral("Trigger %1 zur Tabelle %2: ein Trigger in einer Fragendatei wird vom "
                                              "Spiel, vom Editor und von %3 nie ausgeführt; er gehört nicht hinein.")
                                   .arg(quoted(schema.text(1)), quoted(schema.text(2)), programName()));
            else
                report.finding(QStringLiteral("Sicht %1: eine Sicht (VIEW) in einer Fragendatei benutzen das Spiel, der "
                                              "Editor und %2 nie; sie gehört nicht hinein.")
                                   .arg(quoted(schema.text(1)), programName()));
        }
    });
    schemaWork(db, file, [&](const QString& finding) {
        ++result.findings;
        report.finding(finding);
    });

    if (progress)
        progress->start(Progress::Work::Checking);
    result.records = forEachRecord(db, file, key, [&](qint64 position, RawRecord& record) {
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
