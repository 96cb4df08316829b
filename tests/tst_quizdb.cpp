// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb: the CSV reader, the create/import/export round trip, its refusals and
// the check of the data model, through the real executable on real files in a
// temporary directory.
#include "store/store.h"
#include "support/csvrecords.h"
#include "support/display.h"
#include "support/testsupport.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/quizdb.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sqlite3.h>
#include <sys/personality.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using testsupport::Record;
using testsupport::sampleRecords;
// Sample records here have their right answers going round A to D.
constexpr auto kRoundRobin = testsupport::RightLetters::RoundRobin;

namespace {

const QByteArray kHeader =
    "Nummer,Frage,AntwortA,AntwortB,AntwortC,AntwortD,Richtig,Fraglich,PublikumA,PublikumB,PublikumC,PublikumD,JokerTV";

// A well-formed CSV line with the given question text (already in CSV form).
QByteArray row(const QByteArray& frage = "Frage", const QByteArray& jokerTv = "")
{
    return "1," + frage + ",a,b,c,d,A,B,40,30,20,10," + jokerTv;
}

struct Run {
    int code = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

// How quizdb is started: `input` on its standard input; `addressSpaceKiB`
// and `fileSize` (bytes; 0: none) limit the memory it may map, on a fixed
// address layout so that the same limit always cuts at the same place, and the
// size its files may grow to; `child` sets up more in the child before the tool starts.
struct Start {
    QByteArray input = {};
    qint64 addressSpaceKiB = 0;
    qint64 fileSize = 0;
    QString program = QStringLiteral(QUIZDB_EXE);
    std::function<void()> child = {};
};

Run runQuizdb(const QStringList& args, const Start& start)
{
    QProcess p;
    p.setChildProcessModifier([&start] {
        if (start.addressSpaceKiB) {
            personality(ADDR_NO_RANDOMIZE);
            const rlimit limit{rlim_t(start.addressSpaceKiB) * 1024, rlim_t(start.addressSpaceKiB) * 1024};
            setrlimit(RLIMIT_AS, &limit);
        }
        if (start.fileSize) {
            signal(SIGXFSZ, SIG_IGN); // a write past the limit fails, as on a full disk
            const rlimit limit{rlim_t(start.fileSize), rlim_t(start.fileSize)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (start.child)
            start.child();
    });
    p.start(start.program, args);
    p.write(start.input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        qFatal("quizdb did not finish");
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.outBytes = p.readAllStandardOutput();
    r.out = QString::fromUtf8(r.outBytes);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run runQuizdb(const QStringList& args, const QByteArray& input = {}, qint64 addressSpaceKiB = 0)
{
    return runQuizdb(args, Start{input, addressSpaceKiB});
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

// Every value of every record, NULL and the empty text told apart.
QStringList describe(const QList<Record>& records)
{
    QStringList out;
    for (const Record& r : records) {
        QStringList values;
        for (const QString& f : store::fieldNames()) {
            const QVariant v = r.value(f);
            values << (v.isValid() ? QStringLiteral("'%1'").arg(v.toString()) : QStringLiteral("NULL"));
        }
        out << values.join(QLatin1Char('|'));
    }
    return out;
}

// A CSV of records in which every value with text is quoted: a writer
// independent of the one under test.
QByteArray csvOf(const QList<Record>& records)
{
    QByteArray out = kHeader + "\n";
    for (const Record& r : records) {
        QByteArrayList fields;
        for (const QString& f : store::fieldNames()) {
            const QVariant v = r.value(f);
            fields << (v.isValid() ? '"' + v.toString().toUtf8().replace('"', "\"\"") + '"' : QByteArray());
        }
        out += fields.join(',') + "\n";
    }
    return out;
}

// A CSV of `rows` playable records written the way export writes them (CRLF,
// quotes only where needed), with umlauts, quoted commas and all three kinds of
// JokerTV; `rows` 0 writes until the file is larger than 64 MiB. `last` is
// appended as the last line. Returns the size in bytes.
qint64 writeLargeCsv(const QString& path, int rows, const QByteArray& last = {})
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return -1;
    QByteArray chunk = kHeader + "\r\n";
    const char* cities[] = {"Köln", "Görlitz", "Lübeck", "München"};
    const char* letters = "ABCD";
    qint64 size = 0;
    for (int i = 0; rows ? i < rows : size + chunk.size() <= 64 * 1024 * 1024; ++i) {
        const QByteArray n = QByteArray::number(i);
        chunk += QByteArray::number(i % 99 + 1) + ',';
        chunk += i % 5 ? QByteArray("Welche Stadt liegt näher an " + QByteArray(cities[i % 4]) + "? Nr. " + n)
                       : QByteArray("\"Wer sagte „Hallo, Welt“ in " + QByteArray(cities[i % 4]) + "? Nr. " + n + '"');
        for (int a = 0; a < 4; ++a)
            chunk += ',' + QByteArray(cities[(i + a) % 4]) + ' ' + n;
        chunk += ',' + QByteArray(1, letters[i % 4]) + ',' + QByteArray(1, letters[(i + 1) % 4]) + ",40,30,20,10,";
        chunk += i % 3 == 0 ? "" : i % 3 == 1 ? "\"\"" : "Tipp";
        chunk += "\r\n";
        if (chunk.size() > 1024 * 1024) {
            size += f.write(chunk);
            chunk.clear();
        }
    }
    size += f.write(chunk + last);
    return size;
}

// True when both files hold the same bytes (read a piece at a time).
bool sameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd())
        if (fa.read(1024 * 1024) != fb.read(1024 * 1024))
            return false;
    return true;
}

// Runs SQL on the file at `file` (made when missing) through plain SQLite.
void sql(const QString& file, const QString& statements)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &error);
    const QByteArray message = error ? QByteArray(error) : QByteArray();
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, message.constData());
}

// The first column of the first row of `query` on `file`, as text.
QString sqlValue(const QString& file, const char* query)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    QString value = QStringLiteral("<none>");
    if (sqlite3_open(file.toUtf8().constData(), &db) == SQLITE_OK && sqlite3_prepare_v2(db, query, -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return value;
}

// Damages the question file as the first line of its schema says; other
// schemas are left as made.
void damage(const QString& file, const QString& schema)
{
    if (schema.startsWith("-- dag")) {
        // The root page of the table gets its first child as its right-most
        // child too: the table's tree leads twice to the same records.
        const int root = sqlValue(file, "SELECT rootpage FROM sqlite_schema WHERE name = 'Zada-VI-VOZ'").toInt();
        QByteArray bytes = readBytes(file);
        const qsizetype page = qFromBigEndian<quint16>(bytes.constData() + 16) * qsizetype(root - 1);
        QCOMPARE(int(bytes[page]), 5); // an interior page of a table
        const quint16 firstCell = qFromBigEndian<quint16>(bytes.constData() + page + 12);
        bytes.replace(page + 8, 4, bytes.mid(page + firstCell, 4));
        writeBytes(file, bytes);
    } else if (schema.startsWith("-- free list loop")) {
        // The first trunk page of the list of free pages names itself as
        // the next one.
        QByteArray bytes = readBytes(file);
        const qsizetype pageSize = qFromBigEndian<quint16>(bytes.constData() + 16);
        const quint32 trunk = qFromBigEndian<quint32>(bytes.constData() + 32);
        QVERIFY(trunk > 0);
        qToBigEndian(trunk, bytes.data() + pageSize * (trunk - 1));
        writeBytes(file, bytes);
    } else if (schema.startsWith("-- hot journal")) {
        // A save broken off: file and journal as they stand once SQLite has
        // written part of a large change into the file.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA cache_size = 1; BEGIN; UPDATE \"Zada-VI-VOZ\" SET Frage = hex(zeroblob(40000));",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        const QByteArray half = readBytes(file);
        const QByteArray journal = readBytes(file + "-journal");
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        writeBytes(file, half);
        writeBytes(file + "-journal", journal);
        QVERIFY(journal.size() > 512);
    }
}

// A stream that hands out one byte per read, like a slow pipe: every byte of
// the CSV is a boundary between two reads.
class Trickle : public QIODevice {
public:
    explicit Trickle(const QByteArray& data) : m_data(data) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* to, qint64 max) override
    {
        if (max <= 0 || m_pos >= m_data.size())
            return 0;
        *to = m_data[m_pos++];
        return 1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// Everything the CSV reader makes of what `device` delivers: each record's
// line and values, each fault, or the refusal of the header.
QString readerOutcome(QIODevice& device)
{
    QStringList seen;
    try {
        quizdb::CsvReader reader(device, QStringLiteral("t.csv"));
        quizdb::CsvRow row;
        QList<quizdb::CsvFault> faults;
        for (;;) {
            const quizdb::CsvReader::Result result = reader.next(row, faults);
            for (const quizdb::CsvFault& f : faults)
                seen << quizdb::describeFault(QStringLiteral("t.csv"), f);
            faults.clear();
            if (result != quizdb::CsvReader::Result::Record)
                return seen.join(QLatin1Char('\n'));
            QStringList values;
            for (const quizdb::RawValue& v : row.values)
                values << (v.null ? QStringLiteral("NULL") : QString::fromUtf8(v.bytes()));
            seen << QString::number(row.line) + ": " + values.join(QLatin1Char('|'));
        }
    } catch (const quizdb::Error& e) {
        return seen.join(QLatin1Char('\n')) + "\n" + e.message();
    }
}

// The reader reads a CSV that arrives a byte at a time as it reads it whole.
void readsAlikeInPieces(const QByteArray& csv)
{
    QBuffer whole;
    whole.setData(csv);
    whole.open(QIODevice::ReadOnly);
    Trickle pieces(csv);
    QCOMPARE(readerOutcome(pieces), readerOutcome(whole));
}

} // namespace

class TestQuizdb : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        // Every test starts with an empty directory.
        QDir dir(m_dir.path());
        for (const QString& name : dir.entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
            QFileInfo info(dir.filePath(name));
            if (info.isDir())
                QDir(info.filePath()).removeRecursively();
            else
                QFile::remove(info.filePath());
        }
    }

    // ---- CSV reader --------------------------------------------------------

    void readsCsv_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value"); // "NULL" for no value

        QTest::newRow("plain") << kHeader + "\n" + row("Wie?") + "\n" << 1 << "Frage" << "Wie?";
        QTest::newRow("comma in quotes") << kHeader + "\n" + row("\"Hallo, Welt\"") << 1 << "Frage" << "Hallo, Welt";
        QTest::newRow("doubled quotes") << kHeader + "\n" + row("\"Er sagte \"\"ja\"\".\"") << 1 << "Frage"
                                        << "Er sagte \"ja\".";
        QTest::newRow("newline in quotes") << kHeader + "\n" + row("\"Zeile 1\nZeile 2\"") + "\n" + row() << 2
                                           << "Frage" << "Zeile 1\nZeile 2";
        QTest::newRow("CRLF in quotes kept") << kHeader + "\r\n" + row("\"a\r\nb\"") + "\r\n" << 1 << "Frage"
                                             << "a\r\nb";
        QTest::newRow("CRLF line ends, last field no value") << kHeader + "\r\n" + row() + "\r\n" + row() + "\r\n" << 2
                                                             << "JokerTV" << "NULL";
        QTest::newRow("LF, last field quoted empty") << kHeader + "\n" + row("x", "\"\"") + "\n" << 1 << "JokerTV" << "";
        QTest::newRow("no line break at the end") << kHeader + "\n" + row("x", "Tipp") << 1 << "JokerTV" << "Tipp";
        QTest::newRow("BOM") << "\xEF\xBB\xBF" + kHeader + "\n" + row() << 1 << "Nummer" << "1";
        QTest::newRow("umlauts") << kHeader + "\n" + row("Größe ändern?") << 1 << "Frage" << "Größe ändern?";
        QTest::newRow("header in another order")
            << QByteArray("JokerTV,Richtig,Frage,Nummer,AntwortD,AntwortC,AntwortB,AntwortA,Fraglich,PublikumD,"
                          "PublikumC,PublikumB,PublikumA\nTV,C,Wer?,7,d,c,b,a,D,1,2,3,94\n")
            << 1 << "PublikumA" << "94";
        QTest::newRow("header in another order, letter") << QByteArray("JokerTV,Richtig,Frage,Nummer,AntwortD,AntwortC,AntwortB,AntwortA,Fraglich,PublikumD,"
                                                                       "PublikumC,PublikumB,PublikumA\nTV,C,Wer?,7,d,c,b,a,D,1,2,3,94\n")
                                                         << 1 << "AntwortD" << "d";
        QTest::newRow("blank lines skipped") << kHeader + "\n\n" + row() + "\n\n" + row() + "\n\n" << 2 << "Frage"
                                             << "Frage";
        QTest::newRow("header only") << kHeader + "\n" << 0 << "" << "";
        QTest::newRow("spaces kept") << kHeader + "\n" + row(" Wie? ") << 1 << "Frage" << " Wie? ";
    }
    void readsCsv()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, records);
        QFETCH(QString, field);
        QFETCH(QString, value);
        readsAlikeInPieces(csv);
        const QList<testsupport::CsvRecord> got = testsupport::parseCsv(csv, QStringLiteral("t.csv"));
        QCOMPARE(got.size(), records);
        if (!records)
            return;
        const quizdb::Value v = got.first().values.at(store::fieldNames().indexOf(field));
        QCOMPARE(v.has_value() ? *v : QStringLiteral("NULL"), value);
    }

    void refusesBadCsv_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("mustSay");

        const QByteArray h = kHeader + "\n";
        QTest::newRow("empty file") << QByteArray() << QStringList{"leer"};
        QTest::newRow("missing column") << QByteArray(kHeader).replace(",JokerTV", "") + "\n"
                                        << QStringList{"Zeile 1", "„JokerTV“", "fehlt"};
        QTest::newRow("unknown column") << QByteArray(kHeader).replace("JokerTV", "Joker") + "\n"
                                        << QStringList{"Zeile 1", "„Joker“", "Unbekannte Spalte"};
        QTest::newRow("doubled column") << QByteArray(kHeader).replace("JokerTV", "Frage") + "\n"
                                        << QStringList{"Zeile 1", "„Frage“", "zweimal"};
        QTest::newRow("too few fields") << h + row() + "\n" + "1,Frage,a,b,c,d,A,B,40,30,20\n"
                                        << QStringList{"Zeile 3", "„PublikumD“", "11 von 13"};
        QTest::newRow("too many fields") << h + row() + ",zuviel\n" << QStringList{"Zeile 2", "14 statt 13", "„JokerTV“"};
        QTest::newRow("unterminated quote") << h + row() + "\n" + row("\"offen") + "\n" + row() + "\n"
                                            << QStringList{"Zeile 3", "„Frage“", "nicht geschlossen"};
        QTest::newRow("text after closing quote") << h + row("\"ab\"c") << QStringList{"Zeile 2", "„Frage“"};
        QTest::newRow("quote inside unquoted field") << h + row("ab\"c") << QStringList{"Zeile 2", "„Frage“"};
        QTest::newRow("invalid UTF-8") << h + "1,Frage,a,b\xC3\x28,c,d,A,B,40,30,20,10,\n"
                                       << QStringList{"Zeile 2", "„AntwortB“", "UTF-8"};
        QTest::newRow("overlong UTF-8") << h + "1,Frage,a,b,c,\xC0\xAF,A,B,40,30,20,10,\n"
                                        << QStringList{"Zeile 2", "„AntwortD“", "UTF-8"};
        QTest::newRow("Latin-1 umlaut") << h + row() + "\n" + row("Gr\xF6\xDF" "e") + "\n"
                                        << QStringList{"Zeile 3", "„Frage“", "UTF-8"};
        QTest::newRow("line counted across a quoted line break")
            << h + row("\"eins\nzwei\ndrei\"") + "\n" + "1,Frage,a,b,c,d,A,B,40,30,20\n"
            << QStringList{"Zeile 5", "„PublikumD“"};
        QTest::newRow("NUL character") << h + row(QByteArray("a\0b", 3)) << QStringList{"Zeile 2", "„Frage“", "Nullzeichen"};
        QTest::newRow("lone CR") << h + row("a\rb") << QStringList{"Zeile 2", "„Frage“"};
        QTest::newRow("lone CR after a closing quote at the end")
            << h + row("x", "\"Tipp\"") + "\r"
            << QStringList{"Zeile 2", "„JokerTV“", "Nach dem schließenden Anführungszeichen steht ein einzelnes Wagenrücklaufzeichen (CR)"};
        QTest::newRow("line over 1 MiB") << h + row(QByteArray(2 * 1024 * 1024, 'x'))
                                         << QStringList{"Zeile 2", "„Frage“", "länger als 1 MiB"};
    }
    void refusesBadCsv()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, mustSay);
        readsAlikeInPieces(csv);
        try {
            testsupport::parseCsv(csv, QStringLiteral("t.csv"));
            QFAIL("accepted");
        } catch (const quizdb::Error& e) {
            for (const QString& part : mustSay)
                QVERIFY2(e.message().contains(part), qPrintable(e.message()));
        }
    }

    // ---- round trip ----------------------------------------------------------

    void roundTripKeepsEveryValue()
    {
        // Values that a CSV writer easily gets wrong, NULL and the empty text
        // side by side.
        QList<Record> records = sampleRecords(4, kRoundRobin);
        records[0][QStringLiteral("Frage")] = QStringLiteral("Wie heißt „das“, bitte, \"hier\"?");
        records[0][QStringLiteral("JokerTV")] = QString(QLatin1String(""));
        records[1][QStringLiteral("AntwortA")] = QStringLiteral("Zeile 1\nZeile 2");
        records[1][QStringLiteral("AntwortB")] = QStringLiteral("CR LF\r\nhier");
        records[1][QStringLiteral("AntwortC")] = QString(QLatin1String(""));
        records[1][QStringLiteral("AntwortD")] = QVariant();
        records[2][QStringLiteral("Frage")] = QString(110, QChar(u'ß'));
        records[2][QStringLiteral("AntwortA")] = QStringLiteral("  Leerzeichen  ");
        records[2][QStringLiteral("JokerTV")] = QStringLiteral("Ä, Ö, Ü – ok");
        records[3][QStringLiteral("Nummer")] = QVariant();
        records[3][QStringLiteral("AntwortB")] = QStringLiteral("\"");
        records[3][QStringLiteral("AntwortC")] = QStringLiteral(",");

        writeBytes(path("in.csv"), csvOf(records));
        Run r = runQuizdb({"create", path("a.mdb"), path("in.csv")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("4 Fragen"), qPrintable(r.out));
        QCOMPARE(describe(testsupport::readQuestionFile(path("a.mdb"))), describe(records));

        const Run exported = runQuizdb({"export", path("a.mdb")});
        QCOMPARE(exported.code, 0);
        QVERIFY(exported.outBytes.startsWith(QByteArray(kHeader + "\r\n")));
        writeBytes(path("out.csv"), exported.outBytes);
        r = runQuizdb({"create", path("b.mdb"), path("out.csv")});
        QCOMPARE(r.code, 0);
        QCOMPARE(describe(testsupport::readQuestionFile(path("b.mdb"))), describe(records));
        // And the second export is the first one, byte for byte.
        QCOMPARE(runQuizdb({"export", path("b.mdb")}).outBytes, exported.outBytes);
    }

    void exportFollowsTableOrder()
    {
        // A file whose Nummer runs backwards and whose first record was deleted:
        // export keeps the order of the table, not of Nummer.
        QList<Record> records = sampleRecords(4, kRoundRobin);
        for (int i = 0; i < 4; ++i)
            records[i][QStringLiteral("Nummer")] = QString::number(9 - i);
        testsupport::writeQuestionFile(path("a.mdb"), records);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path("a.mdb").toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DELETE FROM \"Zada-VI-VOZ\" WHERE Nummer='9'", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);

        const Run r = runQuizdb({"export", path("a.mdb")});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].startsWith("8,Frage 2,"));
        QVERIFY(lines[2].startsWith("7,Frage 3,"));
        QVERIFY(lines[3].startsWith("6,Frage 4,"));
    }

    // ---- create ------------------------------------------------------------------

    void createRefusesExistingFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("question file") << "question file";
        QTest::newRow("other file") << "other file";
        QTest::newRow("empty file") << "empty file";
        QTest::newRow("directory") << "directory";
    }
    void createRefusesExistingFile()
    {
        QFETCH(QString, kind);
        const QString target = path("ziel.mdb");
        if (kind == "question file")
            testsupport::writeQuestionFile(target, sampleRecords(2, kRoundRobin));
        else if (kind == "other file")
            writeBytes(target, "meine Notizen\n");
        else if (kind == "empty file")
            writeBytes(target, "");
        else
            QVERIFY(QDir().mkpath(target));
        const QByteArray before = readBytes(target);
        writeBytes(path("in.csv"), csvOf(sampleRecords(3, kRoundRobin)));

        const Run r = runQuizdb({"create", target, path("in.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("gibt es schon"), qPrintable(r.err));
        QCOMPARE(readBytes(target), before);
        if (kind == "directory")
            QVERIFY(QFileInfo(target).isDir());
    }

    void createLeavesNoFileOnError_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("mustSay");
        QTest::newRow("bad record") << csvOf(sampleRecords(3, kRoundRobin)) + row("Frage").replace(",A,B,", ",A,A,") + "\n"
                                    << QStringList{"Zeile 5", "„Fraglich“"};
        QTest::newRow("bad structure") << csvOf(sampleRecords(3, kRoundRobin)) + row("\"offen") + "\n" << QStringList{"Zeile 5"};
        QTest::newRow("no CSV at all") << QByteArray() << QStringList{"gibt es nicht"};
        QTest::newRow("header only") << kHeader + "\r\n\r\n"
                                     << QStringList{"„" + path("in.csv") + "“ enthält keine Frage, nur die Kopfzeile; "
                                                    "eine Fragendatei ohne Fragen kann das Spiel nicht spielen."};
    }
    void createLeavesNoFileOnError()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, mustSay);
        if (!csv.isNull())
            writeBytes(path("in.csv"), csv);
        const Run r = runQuizdb({"create", path("neu.mdb"), path("in.csv")});
        QCOMPARE(r.code, 2);
        for (const QString& part : mustSay)
            QVERIFY2(r.err.contains(part), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(path("neu.mdb")));
        QVERIFY(!QFileInfo::exists(path("neu.mdb-journal")));
    }

    void interruptedCreateLeavesNoFile_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("terminal closed") << SIGHUP;
        QTest::newRow("SIGKILL") << SIGKILL;
    }
    void interruptedCreateLeavesNoFile()
    {
        QFETCH(int, signal);
        QProcess p;
        p.start(QStringLiteral(QUIZDB_EXE), {"create", path("neu.mdb"), "-"});
        // More than the reader takes in at once, and standard input stays
        // open: the file is being written when the signal comes.
        p.write(csvOf(sampleRecords(6000, kRoundRobin)));
        const QDir dir(m_dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(!dir.entryList({"neu.mdb.unfertig-*"}, QDir::Files).isEmpty(), 60000);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QFileInfo::exists(path("neu.mdb")));
        const QStringList left = dir.entryList(QDir::Files | QDir::System | QDir::Hidden);
        // What SIGKILL, which no program can catch, leaves says what it is.
        QCOMPARE(left, signal == SIGKILL ? dir.entryList({"neu.mdb.unfertig-*"}, QDir::Files) : QStringList());
        writeBytes(path("in.csv"), csvOf(sampleRecords(2, kRoundRobin)));
        QCOMPARE(runQuizdb({"create", path("neu.mdb"), path("in.csv")}).code, 0);
    }

    void reportsTheTruthWhenOutputFails_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("output"); // what standard output is
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mustSay"); // on standard error
        QTest::addColumn<int>("records");     // in the question file afterwards
        const QString done = "Nur diese Meldung ließ sich nicht auf die Standardausgabe schreiben: ";
        QTest::newRow("create, full") << "create" << "/dev/full" << 0 << done + "der Datenträger ist voll.\n" << 3;
        QTest::newRow("import, full") << "import" << "/dev/full" << 0 << done + "der Datenträger ist voll.\n" << 5;
        QTest::newRow("import, closed") << "import" << "closed" << 0 << done + "die Ausgabe ist geschlossen.\n" << 5;
        QTest::newRow("import, closed pipe") << "import" << "closed pipe" << 0 << done + "das empfangende Programm hat die Verbindung geschlossen.\n" << 5;
        QTest::newRow("check, full") << "check" << "/dev/full" << 2
                                     << "Die Ausgabe lässt sich nicht schreiben: der Datenträger ist voll.\n" << 2;
        QTest::newRow("export, closed") << "export" << "closed" << 2
                                        << "Die Ausgabe lässt sich nicht schreiben: die Ausgabe ist geschlossen.\n" << 2;
        QTest::newRow("export -o, file may not grow") << "export" << "limited" << 2
                                                      << "Die Ausgabedatei „" + path("a.csv") + "“ lässt sich nicht "
                                                         "schreiben: die Datei darf nicht größer werden.\n" << 2;
    }
    void reportsTheTruthWhenOutputFails()
    {
        QFETCH(QString, command);
        QFETCH(QString, output);
        QFETCH(int, code);
        QFETCH(QString, mustSay);
        QFETCH(int, records);
        if (command != "create")
            testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(2, kRoundRobin));
        writeBytes(path("in.csv"), csvOf(sampleRecords(3, kRoundRobin)));
        const int how = output == "/dev/full" ? 0 : output == "closed" ? 1 : output == "closed pipe" ? 2 : 3;
        Start start{.fileSize = output == "limited" ? 100 : 0};
        start.child = [how] {
            std::signal(SIGPIPE, SIG_DFL);
            int ends[2];
            if (how == 0)
                dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
            else if (how == 1)
                close(STDOUT_FILENO);
            else if (how == 2 && pipe(ends) == 0 && close(ends[0]) == 0)
                dup2(ends[1], STDOUT_FILENO);
        };
        QStringList args{command, path("a.mdb")};
        if (command == "create" || command == "import")
            args << path("in.csv");
        else if (output == "limited")
            args << "-o" << path("a.csv");
        const Run r = runQuizdb(args, start);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.endsWith(mustSay), qPrintable(r.err));
        QVERIFY2(!r.err.contains("nichts"), qPrintable(r.err));
        QCOMPARE(testsupport::readQuestionFile(path("a.mdb")).size(), records);
    }

    void createRefusesAbsurdInput()
    {
        // A 10,000-character question is named as over the limit, with line and field.
        QByteArray csv = kHeader + "\n" + row() + "\n" + row(QByteArray(10000, 'x')) + "\n";
        writeBytes(path("in.csv"), csv);
        Run r = runQuizdb({"create", path("neu.mdb"), path("in.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("Zeile 3, Feld „Frage“: ist 10000 Zeichen lang; erlaubt sind höchstens 110."),
                 qPrintable(r.err));
        QVERIFY(r.err.size() < 2000); // the text itself is not echoed back
        QVERIFY(!QFileInfo::exists(path("neu.mdb")));

        // A file of 64 MiB of zero bytes has no line break: it is refused at
        // its first line once that is longer than any record can be.
        {
            QFile big(path("big.csv"));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(64 * 1024 * 1024 + 1));
        }
        r = runQuizdb({"create", path("neu.mdb"), path("big.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("big.csv, Zeile 1, Feld 1: Die Zeile ist hier schon länger als 1 MiB"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(path("neu.mdb")));
    }

    void createIntoMissingDirectory()
    {
        writeBytes(path("in.csv"), csvOf(sampleRecords(1, kRoundRobin)));
        const Run r = runQuizdb({"create", path("fehlt/neu.mdb"), path("in.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("das Verzeichnis „" + path("fehlt") + "“ gibt es nicht"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(path("fehlt")));
    }

    void buildMakesQuestionFileOnlyOnce()
    {
        // The build step beside the game: the first run makes the file from the
        // shipped CSV, a later run leaves the player's changed file alone.
        const QStringList args{QStringLiteral("-DQUIZDB=" QUIZDB_EXE), QStringLiteral("-DCSV=" QUIZ_CSV),
                               "-DOUT=" + path("Zada-VI-VOZ.mdb"),
                               QStringLiteral("-P"), QStringLiteral(QUIZ_SOURCE_DIR "/cmake/questionfile.cmake")};
        QProcess cmake;
        cmake.start(QStringLiteral("cmake"), args);
        QVERIFY(cmake.waitForFinished(120000));
        QCOMPARE(cmake.exitCode(), 0);
        QCOMPARE(runQuizdb({"check", path("Zada-VI-VOZ.mdb")}).code, 0);

        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path("Zada-VI-VOZ.mdb").toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "UPDATE \"Zada-VI-VOZ\" SET Frage='Meine eigene Frage?' WHERE rowid=1", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        const QByteArray mine = readBytes(path("Zada-VI-VOZ.mdb"));

        cmake.start(QStringLiteral("cmake"), args);
        QVERIFY(cmake.waitForFinished(120000));
        QCOMPARE(cmake.exitCode(), 0);
        QCOMPARE(readBytes(path("Zada-VI-VOZ.mdb")), mine);
        QCOMPARE(testsupport::readQuestionFile(path("Zada-VI-VOZ.mdb")).first().value("Frage").toString(),
                 QStringLiteral("Meine eigene Frage?"));
    }

    // ---- import ------------------------------------------------------------------

    void importAppendsInOrder()
    {
        const QList<Record> existing = sampleRecords(3, kRoundRobin);
        testsupport::writeQuestionFile(path("a.mdb"), existing);
        QList<Record> more;
        for (int i = 4; i <= 6; ++i)
            more << testsupport::sampleRecord(i, QStringLiteral("D"));
        more[1][QStringLiteral("JokerTV")] = QString(QLatin1String(""));
        writeBytes(path("more.csv"), csvOf(more));

        const Run r = runQuizdb({"import", path("a.mdb"), path("more.csv")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("3 Fragen"), qPrintable(r.out));
        QCOMPARE(describe(testsupport::readQuestionFile(path("a.mdb"))), describe(existing + more));
    }

    void importIsAllOrNothing_data()
    {
        QTest::addColumn<QByteArray>("badLine");
        QTest::addColumn<QStringList>("mustSay");
        QTest::addColumn<bool>("full"); // the file may not grow, as on a full disk
        QTest::newRow("letter") << row().replace(",A,B,", ",E,B,") << QStringList{"Zeile 40", "„Richtig“", "„E“"} << false;
        QTest::newRow("audience sum") << row().replace(",40,30,", ",40,31,") << QStringList{"Zeile 40", "101 statt 100"} << false;
        QTest::newRow("field count") << row() + ",x" << QStringList{"Zeile 40", "14 statt 13"} << false;
        // A text beside it that is UTF-8 beyond ASCII makes the file UTF-8.
        QTest::newRow("UTF-8") << row("\xFF").replace(",a,", ",\xC3\xA4,") << QStringList{"Zeile 40", "„Frage“", "UTF-8"} << false;
        QTest::newRow("disk full") << row(QByteArray(100, 'x')) << QStringList{"es wurde nichts gespeichert."} << true;
    }
    void importIsAllOrNothing()
    {
        QFETCH(QByteArray, badLine);
        QFETCH(QStringList, mustSay);
        QFETCH(bool, full);
        testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(5, kRoundRobin));
        const QByteArray before = readBytes(path("a.mdb"));
        // Header on line 1, good records on lines 2-39, the bad one on line 40,
        // good ones after it.
        QByteArray csv = csvOf(sampleRecords(38, kRoundRobin));
        csv += badLine + "\n";
        csv += csvOf(sampleRecords(5, kRoundRobin)).mid(kHeader.size() + 1);

        writeBytes(path("in.csv"), csv);
        const Run r = runQuizdb({"import", path("a.mdb"), path("in.csv")}, Start{.fileSize = full ? before.size() : 0});
        QCOMPARE(r.code, 2);
        for (const QString& part : mustSay)
            QVERIFY2(r.err.contains(part), qPrintable(r.err));
        QCOMPARE(readBytes(path("a.mdb")), before);
        QVERIFY(!QFileInfo::exists(path("a.mdb-journal")));
        QCOMPARE(testsupport::readQuestionFile(path("a.mdb")).size(), 5);
    }

    void importListsEveryFault()
    {
        testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(1, kRoundRobin));
        QByteArray csv = kHeader + "\n" + row().replace(",A,B,", ",a,B,") + "\n" + row() + "\n" +
                         row("\"\"").replace(",40,", ",4.5,") + "\n";
        writeBytes(path("in.csv"), csv);
        const Run r = runQuizdb({"import", path("a.mdb"), path("in.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("Zeile 2, Feld „Richtig“: „a“ ist keiner der Großbuchstaben"), qPrintable(r.err));
        QVERIFY2(r.err.contains("Zeile 4, Feld „Frage“: ist leer"), qPrintable(r.err));
        QVERIFY2(r.err.contains("Zeile 4, Feld „PublikumA“: „4.5“ ist keine ganze Zahl"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("Zeile 3"), qPrintable(r.err));
        QCOMPARE(testsupport::readQuestionFile(path("a.mdb")).size(), 1);
    }

    // ---- CSV as spreadsheets save it ------------------------------------------------

    void readsSpreadsheetCsv_data()
    {
        // Saved by LibreOffice Calc from quelle.csv (tests/data/spreadsheet/README.md).
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mustSay"); // on standard error
        const QString from = " (aus der Kopfzeile), Zeichensatz ";
        QTest::newRow("comma, UTF-8") << "create" << "komma-utf8.csv" << QStringList{} << 0
                                      << "Trennzeichen Komma" + from + "UTF-8 (erkannt an Zeile 2).";
        QTest::newRow("semicolon, UTF-8") << "create" << "semikolon-utf8.csv" << QStringList{} << 0
                                          << "Trennzeichen Semikolon" + from + "UTF-8 (erkannt an Zeile 2).";
        QTest::newRow("semicolon, Windows-1252")
            << "create" << "semikolon-windows1252.csv" << QStringList{} << 0
            << "Trennzeichen Semikolon" + from + "Windows-1252 (erkannt an Zeile 2, die kein gültiges UTF-8 ist).";
        QTest::newRow("tab, UTF-8") << "create" << "tab-utf8.csv" << QStringList{} << 0
                                    << "Trennzeichen Tabulator" + from + "UTF-8 (erkannt an Zeile 2).";
        QTest::newRow("import, Windows-1252") << "import" << "semikolon-windows1252.csv" << QStringList{} << 0
                                              << "Trennzeichen Semikolon" + from + "Windows-1252 (erkannt an Zeile 2, "
                                                 "die kein gültiges UTF-8 ist).";
        QTest::newRow("both given") << "create" << "semikolon-windows1252.csv"
                                    << QStringList{"--trennzeichen", "semikolon", "--zeichensatz", "windows-1252"} << 0
                                    << "Trennzeichen Semikolon (vorgegeben), Zeichensatz Windows-1252 (vorgegeben).";
        QTest::newRow("UTF-8 given, Windows-1252 read")
            << "create" << "semikolon-windows1252.csv" << QStringList{"--zeichensatz", "UTF-8"} << 2
            << "Trennzeichen Semikolon (aus der Kopfzeile), Zeichensatz UTF-8 (vorgegeben).";
        QTest::newRow("comma given, semicolons read") << "import" << "semikolon-utf8.csv"
                                                      << QStringList{"--trennzeichen", "komma"} << 2
                                                      << "(Als Trennzeichen ist Komma vorgegeben.)";
    }
    void readsSpreadsheetCsv()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, mustSay);
        const QString folder = QStringLiteral(QUIZ_SOURCE_DIR "/tests/data/spreadsheet/");
        // What the spreadsheet held, read from the file it was loaded from.
        QCOMPARE(runQuizdb({"create", path("quelle.mdb"), folder + "quelle.csv"}).code, 0);
        const QList<Record> sheet = testsupport::readQuestionFile(path("quelle.mdb"));
        QCOMPARE(sheet.size(), 5);
        if (command == "import")
            QVERIFY(QFile::copy(path("quelle.mdb"), path("a.mdb")));
        const Run r = runQuizdb(QStringList{command, path("a.mdb"), folder + file} + options);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(mustSay), qPrintable(r.err));
        if (code == 0)
            QCOMPARE(describe(testsupport::readQuestionFile(path("a.mdb"))), describe(command == "import" ? sheet + sheet : sheet));
        else
            QCOMPARE(QFileInfo::exists(path("a.mdb")), command == "import");
    }

    void templateMakesAPlayableQuiz()
    {
        // vorlage writes what a German spreadsheet opens at once, and create
        // makes a file of it that check finds in order.
        const Run shown = runQuizdb({"vorlage"});
        QCOMPARE(shown.code, 0);
        QVERIFY(shown.outBytes.startsWith("\xEF\xBB\xBFNummer;Frage;AntwortA;"));
        QVERIFY2(shown.err.contains("plomberg-quizdb create meine.mdb meine-fragen.csv\n  plomberg-quiz meine.mdb\n"),
                 qPrintable(shown.err));
        writeBytes(path("meine-fragen.csv"), shown.outBytes);
        QCOMPARE(runQuizdb({"create", path("meine.mdb"), path("meine-fragen.csv")}).code, 0);
        const Run checked = runQuizdb({"check", path("meine.mdb")});
        QCOMPARE(checked.code, 0);
        QCOMPARE(checked.out, QStringLiteral("Alle 3 Datensätze sind in Ordnung.\n"));
    }

    void findsTheCharacterSet_data()
    {
        QTest::addColumn<QByteArray>("lines"); // after the header
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mustSay"); // on standard error
        QTest::newRow("ASCII, then Windows-1252") << row() + "\n" + row("Gr\xF6\xDF" "e \x84gut\x93 \x80") << 0
                                                 << "Windows-1252 (erkannt an Zeile 3";
        QTest::newRow("ASCII only") << row() + "\n" << 0 << "nur ASCII-Zeichen (in UTF-8 und Windows-1252 gleich).";
        QTest::newRow("UTF-8, then not") << row("Gr\xC3\xB6\xC3\x9F" "e") + "\n" + row("Gr\xF6\xDF" "e") << 2
                                        << "Zeile 3, Feld „Frage“: Der Text ist kein gültiges UTF-8";
        QTest::newRow("byte without a character") << row("a\x81") << 2
                                                 << "Zeile 2, Feld „Frage“: Das Byte 0x81 ist in Windows-1252 kein Zeichen.";
    }
    void findsTheCharacterSet()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, code);
        QFETCH(QString, mustSay);
        writeBytes(path("in.csv"), kHeader + "\n" + lines);
        const Run r = runQuizdb({"create", path("a.mdb"), path("in.csv")});
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(mustSay), qPrintable(r.err));
        if (code == 0 && lines.contains('\xF6'))
            QCOMPARE(testsupport::readQuestionFile(path("a.mdb")).last().value("Frage").toString(),
                     QStringLiteral("Größe „gut“ €"));
    }

    // ---- files that are not question files ----------------------------------------

    void refusesBadQuestionFile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("mustSay");
        const QList<std::pair<QString, QString>> kinds = {
            {"missing", "gibt es nicht"},
            {"directory", "Verzeichnis"},
            {"random bytes", "keine gültige Fragendatei"},
            {"empty file", "ist leer (0 Byte)"},
            {"other table", "fehlt die Tabelle „Zada-VI-VOZ“"},
            {"field missing", "fehlen Felder: JokerTV"},
            {"locked", "anderen Programm benutzt"},
            {"FIFO", "ist eine benannte Pipe (FIFO), keine Fragendatei"},
            {"journal a symbolic link", "-journal“ eine symbolische Verknüpfung"},
        };
        for (const QString command : {"import", "export", "check"})
            for (const auto& [kind, say] : kinds)
                QTest::newRow(qPrintable(command + ": " + kind)) << command << kind << say;
    }
    void refusesBadQuestionFile()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QString, mustSay);
        const QString file = path("f.mdb");
        sqlite3* holder = nullptr;
        auto sql = [](const QString& file, const char* statement) {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        };
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(file));
        } else if (kind == "random bytes") {
            QByteArray junk;
            for (int i = 0; i < 4096; ++i)
                junk += char((i * 131 + 7) % 251);
            writeBytes(file, junk);
        } else if (kind == "empty file") {
            writeBytes(file, "");
        } else if (kind == "other table") {
            sql(file, "CREATE TABLE Fragen (Frage TEXT)");
        } else if (kind == "field missing") {
            sql(file, "CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY, Nummer TEXT, Frage TEXT, AntwortA TEXT, "
                      "AntwortB TEXT, AntwortC TEXT, AntwortD TEXT, Richtig TEXT, Fraglich TEXT, PublikumA TEXT, "
                      "PublikumB TEXT, PublikumC TEXT, PublikumD TEXT)");
        } else if (kind == "locked") {
            testsupport::writeQuestionFile(file, sampleRecords(2, kRoundRobin));
        } else if (kind == "FIFO") {
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (kind == "journal a symbolic link") {
            testsupport::writeQuestionFile(file, sampleRecords(2, kRoundRobin));
            QVERIFY(QFile::link(path("fremd"), file + "-journal"));
        }
        const bool noBytes = kind == "missing" || kind == "directory" || kind == "FIFO";
        const QByteArray before = noBytes ? QByteArray() : readBytes(file);
        if (kind == "locked") {
            // Taken after the file was read: closing any handle of a file drops
            // this process's locks on it.
            QCOMPARE(sqlite3_open(file.toUtf8().constData(), &holder), SQLITE_OK);
            QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        writeBytes(path("in.csv"), csvOf(sampleRecords(2, kRoundRobin)));

        QStringList args{command, file};
        if (command == "import")
            args << path("in.csv");
        const Run r = runQuizdb(args);
        if (holder) {
            sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(holder);
        }
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(mustSay), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out)); // no half export either
        if (kind == "missing")
            QVERIFY(!QFileInfo::exists(file));
        else if (!noBytes)
            QCOMPARE(readBytes(file), before);
        QVERIFY(!QFileInfo::exists(file + "-journal"));
        QVERIFY(!QFileInfo::exists(path("fremd")));
    }

    // ---- check ---------------------------------------------------------------------

    void checkFindsFaults_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mustSay"); // empty: the record is fine

        const QVariant null;
        QTest::newRow("Richtig lower case") << "Richtig" << QVariant("b") << "„Richtig“: „b“ ist keiner der Großbuchstaben";
        QTest::newRow("Richtig E") << "Richtig" << QVariant("E") << "„Richtig“: „E“";
        QTest::newRow("Richtig no value") << "Richtig" << null << "„Richtig“: hat keinen Wert";
        QTest::newRow("Richtig two letters") << "Richtig" << QVariant("AB") << "„Richtig“: „AB“";
        QTest::newRow("Fraglich equals Richtig") << "Fraglich" << QVariant("B") << "„Fraglich“: ist gleich Richtig („B“)";
        QTest::newRow("Fraglich empty") << "Fraglich" << QVariant("") << "„Fraglich“: „“ ist keiner";
        QTest::newRow("share not a number") << "PublikumB" << QVariant("x") << "„PublikumB“: „x“ ist keine ganze Zahl";
        QTest::newRow("share negative") << "PublikumC" << QVariant("-5") << "„PublikumC“: „-5“";
        QTest::newRow("share 100") << "PublikumA" << QVariant("100") << "„PublikumA“: „100“ ist keine ganze Zahl von 0 bis 99";
        QTest::newRow("share fraction") << "PublikumD" << QVariant("9.5") << "„PublikumD“: „9.5“";
        QTest::newRow("share with space") << "PublikumD" << QVariant(" 10") << "„PublikumD“: „ 10“";
        QTest::newRow("share no value") << "PublikumD" << null << "„PublikumD“: hat keinen Wert";
        QTest::newRow("shares add up to 99") << "PublikumD" << QVariant("9")
                                             << "„PublikumA“: Die vier Publikumsanteile ergeben zusammen 99 statt 100.";
        QTest::newRow("question empty") << "Frage" << QVariant("") << "„Frage“: ist leer";
        QTest::newRow("question blanks only") << "Frage" << QVariant("   ") << "„Frage“: ist leer";
        QTest::newRow("question no value") << "Frage" << null << "„Frage“: hat keinen Wert";
        QTest::newRow("question 111 characters") << "Frage" << QVariant(QString(111, u'ä')) << "„Frage“: ist 111 Zeichen lang";
        QTest::newRow("question 10000 characters") << "Frage" << QVariant(QString(10000, u'x')) << "„Frage“: ist 10000 Zeichen lang";
        QTest::newRow("answer 41 characters") << "AntwortC" << QVariant(QString(41, u'ö')) << "„AntwortC“: ist 41 Zeichen lang; erlaubt sind höchstens 40";
        QTest::newRow("Nummer 3 characters") << "Nummer" << QVariant("100") << "„Nummer“: ist 3 Zeichen lang";
        QTest::newRow("JokerTV 21 characters") << "JokerTV" << QVariant(QString(21, u'ü')) << "„JokerTV“: ist 21 Zeichen lang";
        // The limits themselves and the legal empty values are fine.
        QTest::newRow("question 110 characters") << "Frage" << QVariant(QString(110, u'ä')) << "";
        QTest::newRow("answer 40 characters") << "AntwortA" << QVariant(QString(40, u'ß')) << "";
        QTest::newRow("answer empty") << "AntwortB" << QVariant("") << "";
        QTest::newRow("JokerTV 20 characters") << "JokerTV" << QVariant(QString(20, u'x')) << "";
        QTest::newRow("share 0 and 99") << "PublikumA" << QVariant("0") << "";
    }
    void checkFindsFaults()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, mustSay);
        // Three records numbered 7, 8, 9; the middle one (position 2) changed.
        QList<Record> records = sampleRecords(3, kRoundRobin);
        for (int i = 0; i < 3; ++i)
            records[i][QStringLiteral("Nummer")] = QString::number(7 + i);
        records[1][field] = value;
        if (mustSay.isEmpty() && field == "PublikumA") { // 0 + 99 + 1 + 0
            records[1][QStringLiteral("PublikumB")] = QStringLiteral("99");
            records[1][QStringLiteral("PublikumC")] = QStringLiteral("1");
            records[1][QStringLiteral("PublikumD")] = QStringLiteral("0");
        }
        if (field == "PublikumA" && !mustSay.isEmpty()) // keep the sum check out of the way
            records[1][QStringLiteral("PublikumB")] = QStringLiteral("30");
        testsupport::writeQuestionFile(path("a.mdb"), records);
        const QByteArray before = readBytes(path("a.mdb"));

        const Run r = runQuizdb({"check", path("a.mdb")});
        if (mustSay.isEmpty()) {
            QCOMPARE(r.code, 0);
            QCOMPARE(r.out, QStringLiteral("Alle 3 Datensätze sind in Ordnung.\n"));
        } else {
            QCOMPARE(r.code, 1);
            const QString nummer = field == "Nummer" ? value.toString() : QStringLiteral("8");
            QVERIFY2(r.out.contains("Satz 2 (Nummer „" + nummer + "“), Feld " + mustSay), qPrintable(r.out));
            QVERIFY2(!r.out.contains("Satz 1") && !r.out.contains("Satz 3"), qPrintable(r.out));
            QVERIFY2(r.out.contains("1 von 3 Datensätzen"), qPrintable(r.out));
        }
        QCOMPARE(readBytes(path("a.mdb")), before); // check only reads
    }

    void checkCountsPositionsInTableOrder()
    {
        // After deleting the first record, the faulty record is the first in
        // table order, whatever its key; records without a Nummer say so.
        QList<Record> records = sampleRecords(4, kRoundRobin);
        records[1][QStringLiteral("Richtig")] = QStringLiteral("x");
        records[1][QStringLiteral("Nummer")] = QVariant();
        records[3][QStringLiteral("Fraglich")] = QStringLiteral("D"); // Richtig of record 4 is D
        testsupport::writeQuestionFile(path("a.mdb"), records);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path("a.mdb").toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DELETE FROM \"Zada-VI-VOZ\" WHERE Nummer='1'", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);

        const Run r = runQuizdb({"check", path("a.mdb")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QStringLiteral("Satz 1 (ohne Nummer), Feld „Richtig“: „x“ ist keiner der Großbuchstaben A, B, C, D.\n"
                                       "Satz 3 (Nummer „4“), Feld „Fraglich“: ist gleich Richtig („D“); Fraglich nennt "
                                       "eine falsche Antwort.\n"
                                       "2 von 3 Datensätzen verstoßen gegen das Datenmodell.\n"));
    }

    void checkOfEmptyTable()
    {
        // A table without records is nothing the game can play.
        testsupport::writeQuestionFile(path("a.mdb"), {});
        const Run r = runQuizdb({"check", path("a.mdb")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QStringLiteral("Die Tabelle „Zada-VI-VOZ“ enthält keinen Datensatz; eine Fragendatei ohne "
                                       "Fragen kann das Spiel nicht spielen.\n"));
    }

    // ---- the shipped question set ------------------------------------------------------

    void shippedQuestionSetIsPlayable()
    {
        // Made in the temporary directory: the shipped question file is never touched.
        const Run made = runQuizdb({"create", path("fragen.mdb"), QStringLiteral(QUIZ_CSV)});
        QVERIFY2(made.code == 0, qPrintable(made.err));
        const Run checked = runQuizdb({"check", path("fragen.mdb")});
        QVERIFY2(checked.code == 0, qPrintable(checked.out));

        const QList<Record> records = testsupport::readQuestionFile(path("fragen.mdb"));
        QVERIFY(records.size() >= 75);
        QCOMPARE(records.size() % 15, 0);
        QMap<QString, int> rightLetters;
        for (int i = 0; i < records.size(); ++i) {
            const Record& r = records[i];
            QCOMPARE(r.value("Nummer").toString(), QString::number(i % 15 + 1)); // its step in its ladder
            ++rightLetters[r.value("Richtig").toString()];
            // The easiest question of each ladder has a clearer audience than the hardest.
            if (i % 15 == 0) {
                auto rightShare = [](const Record& q) { return q.value("Publikum" + q.value("Richtig").toString()).toInt(); };
                QVERIFY2(rightShare(r) >= 70, qPrintable(r.value("Frage").toString()));
                QVERIFY2(rightShare(records[i + 14]) <= 45, qPrintable(records[i + 14].value("Frage").toString()));
            }
        }
        for (const QString letter : {"A", "B", "C", "D"})
            QVERIFY2(rightLetters.value(letter) >= records.size() / 4 - 3, qPrintable(letter));

        // The shipped file is written the way export writes: export gives it back.
        QCOMPARE(runQuizdb({"export", path("fragen.mdb")}).outBytes, readBytes(QStringLiteral(QUIZ_CSV)));
    }

    // ---- at any size ---------------------------------------------------------------------

    void largeCsvRoundTrip()
    {
        // Larger than 64 MiB, made and written out again in less address space
        // than twice its size: only a reader that streams gets through.
        const QString csv = path("gross.csv");
        QVERIFY(writeLargeCsv(csv, 0) > 64 * 1024 * 1024);
        const qint64 limitKiB = 128 * 1024;
        Run r = runQuizdb({"create", path("gross.mdb"), csv}, {}, limitKiB);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = runQuizdb({"export", "-o", path("zurück.csv"), path("gross.mdb")}, {}, limitKiB);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(sameBytes(csv, path("zurück.csv")));
    }

    void faultInLastLineOfLargeCsv_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("create") << "create";
        QTest::newRow("import") << "import";
    }
    void faultInLastLineOfLargeCsv()
    {
        // 100,000 records, far more than SQLite's cache holds: rolling back
        // undoes pages already written to the file.
        QFETCH(QString, command);
        const QString file = path("a.mdb");
        if (command == "import")
            testsupport::writeQuestionFile(file, sampleRecords(5, kRoundRobin));
        const QByteArray before = readBytes(file);
        writeLargeCsv(path("in.csv"), 100000, row().replace(",A,B,", ",E,B,") + "\r\n");

        const Run r = runQuizdb({command, file, path("in.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("enthält 1 Fehler; nichts wurde geschrieben:\n  in.csv, Zeile 100002, Feld „Richtig“: „E“"),
                 qPrintable(r.err));
        if (command == "create")
            QVERIFY(!QFileInfo::exists(file));
        else
            QCOMPARE(readBytes(file), before);
        QVERIFY(!QFileInfo::exists(file + "-journal"));
    }

    void readsStandardInput()
    {
        const QList<Record> records = sampleRecords(3, kRoundRobin);
        Run r = runQuizdb({"create", path("a.mdb"), "-"}, csvOf(records));
        QCOMPARE(r.code, 0);
        QCOMPARE(describe(testsupport::readQuestionFile(path("a.mdb"))), describe(records));

        r = runQuizdb({"import", path("a.mdb"), "-"}, kHeader + "\n" + row().replace(",A,B,", ",A,A,") + "\n");
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.startsWith("Die Standardeingabe enthält 1 Fehler; nichts wurde geschrieben:\n"
                                  "  Standardeingabe, Zeile 2, Feld „Fraglich“: ist gleich Richtig"),
                 qPrintable(r.err));
        QCOMPARE(testsupport::readQuestionFile(path("a.mdb")).size(), 3);
    }

    void countsInGerman_data()
    {
        // Records in the CSV or the question file; the first `faulty` of them
        // have Richtig "E" (one fault each).
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("faulty");
        QTest::addColumn<QString>("mustSay");
        QTest::newRow("create 1") << "create" << 1 << 0 << "mit 1 Frage angelegt.\n";
        QTest::newRow("create 2") << "create" << 2 << 0 << "mit 2 Fragen angelegt.\n";
        QTest::newRow("import 1") << "import" << 1 << 0 << "1 Frage an";
        QTest::newRow("import 2") << "import" << 2 << 0 << "2 Fragen an";
        QTest::newRow("check 1") << "check" << 1 << 0 << "Der eine Datensatz ist in Ordnung.\n";
        QTest::newRow("check 1 of 1") << "check" << 1 << 1 << "\n1 von 1 Datensatz verstößt gegen das Datenmodell.\n";
        QTest::newRow("check 2 of 3") << "check" << 3 << 2 << "\n2 von 3 Datensätzen verstoßen gegen das Datenmodell.\n";
        QTest::newRow("1 fault") << "create" << 3 << 1 << "enthält 1 Fehler;";
        QTest::newRow("31 faults") << "create" << 31 << 31
                                   << "Zeile 31, Feld „Richtig“: „E“ ist keiner der Großbuchstaben A, B, C, D.\n"
                                      "  … und 1 weiterer Fehler.";
        QTest::newRow("32 faults") << "import" << 32 << 32
                                   << "Zeile 31, Feld „Richtig“: „E“ ist keiner der Großbuchstaben A, B, C, D.\n"
                                      "  … und 2 weitere Fehler.";
    }
    void countsInGerman()
    {
        QFETCH(QString, command);
        QFETCH(int, records);
        QFETCH(int, faulty);
        QFETCH(QString, mustSay);
        QList<Record> list = sampleRecords(records, kRoundRobin);
        for (int i = 0; i < faulty; ++i)
            list[i][QStringLiteral("Richtig")] = QStringLiteral("E");
        if (command == "check") {
            testsupport::writeQuestionFile(path("a.mdb"), list);
        } else {
            if (command == "import")
                testsupport::writeQuestionFile(path("a.mdb"), {});
            writeBytes(path("in.csv"), csvOf(list));
        }
        QStringList args{command, path("a.mdb")};
        if (command != "check")
            args << path("in.csv");
        const Run r = runQuizdb(args);
        QCOMPARE(r.code, faulty ? (command == "check" ? 1 : 2) : 0);
        QVERIFY2(QString(r.out + r.err).contains(mustSay), qPrintable(r.out + r.err));
    }

    // ---- hostile input ---------------------------------------------------------------------

    void percentInCsvName()
    {
        // A name with %1 and %2 in it is shown as it is, and the count stays a count.
        const QString csv = path("fragen%1%2.csv");
        writeBytes(csv, kHeader + "\n" + row().replace(",A,B,", ",A,A,") + "\n");
        const Run r = runQuizdb({"create", path("a.mdb"), csv});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.startsWith("Die CSV-Datei „" + csv + "“ enthält 1 Fehler; nichts wurde geschrieben:\n"
                                  "  fragen%1%2.csv, Zeile 2, Feld „Fraglich“:"),
                 qPrintable(r.err));
    }

    void lengthsInCharacters_data()
    {
        // Counted as the editor cuts its boxes: a character is a code point, so
        // an emoji (two UTF-16 units) is one and an accent combined with its
        // letter is one more.
        const QString emoji = QStringLiteral("\U0001F600");
        const QString combined = QStringLiteral("e\u0301");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("mustSay"); // empty: accepted
        QTest::newRow("110 emoji question") << "Frage" << emoji.repeated(110) << "";
        QTest::newRow("111 emoji question") << "Frage" << emoji.repeated(111)
                                            << "„Frage“: ist 111 Zeichen lang; erlaubt sind höchstens 110.";
        QTest::newRow("40 emoji answer") << "AntwortB" << emoji.repeated(40) << "";
        QTest::newRow("20 accented letters, 40 characters") << "AntwortC" << combined.repeated(20) << "";
        QTest::newRow("21 accented letters, 42 characters") << "AntwortC" << combined.repeated(21)
                                                            << "„AntwortC“: ist 42 Zeichen lang";
        QTest::newRow("2 emoji Nummer") << "Nummer" << emoji.repeated(2) << "";
        QTest::newRow("3 emoji Nummer") << "Nummer" << emoji.repeated(3) << "„Nummer“: ist 3 Zeichen lang";
    }
    void lengthsInCharacters()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, mustSay);
        QList<Record> records = sampleRecords(1, kRoundRobin);
        records[0][field] = value;

        // The same verdict from the CSV (create) and from a question file (check).
        writeBytes(path("in.csv"), csvOf(records));
        const Run made = runQuizdb({"create", path("neu.mdb"), path("in.csv")});
        QCOMPARE(made.code, mustSay.isEmpty() ? 0 : 2);
        QVERIFY2(made.err.contains(mustSay), qPrintable(made.err));
        testsupport::writeQuestionFile(path("a.mdb"), records);
        const Run checked = runQuizdb({"check", path("a.mdb")});
        QCOMPARE(checked.code, mustSay.isEmpty() ? 0 : 1);
        QVERIFY2(checked.out.contains(mustSay), qPrintable(checked.out));
    }

    void uncheckedRoundTrip()
    {
        // What the editor can store but the game cannot play goes out and comes
        // back as it was with --ohne-pruefung, and only with it.
        QList<Record> records = sampleRecords(4, kRoundRobin);
        records[0][QStringLiteral("Richtig")] = QStringLiteral("X");
        records[1][QStringLiteral("PublikumA")] = QStringLiteral("99");
        records[2][QStringLiteral("Frage")] = QVariant();
        records[3][QStringLiteral("Fraglich")] = records[3][QStringLiteral("Richtig")];
        testsupport::writeQuestionFile(path("a.mdb"), records);
        const Run exported = runQuizdb({"export", path("a.mdb")});
        QCOMPARE(exported.code, 0);
        writeBytes(path("out.csv"), exported.outBytes);

        Run r = runQuizdb({"create", path("b.mdb"), path("out.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("enthält 4 Fehler"), qPrintable(r.err));
        r = runQuizdb({"create", "--ohne-pruefung", path("b.mdb"), path("out.csv")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(describe(testsupport::readQuestionFile(path("b.mdb"))), describe(records));
        QCOMPARE(runQuizdb({"export", path("b.mdb")}).outBytes, exported.outBytes);
        r = runQuizdb({"import", path("b.mdb"), "--ohne-pruefung", path("out.csv")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(testsupport::readQuestionFile(path("b.mdb")).size(), 8);

        // The lengths still hold, and so does all or nothing.
        const QByteArray before = readBytes(path("b.mdb"));
        writeBytes(path("long.csv"), exported.outBytes + row(QByteArray(111, 'x')) + "\r\n");
        r = runQuizdb({"import", "--ohne-pruefung", path("b.mdb"), path("long.csv")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("Zeile 6, Feld „Frage“: ist 111 Zeichen lang"), qPrintable(r.err));
        QCOMPARE(readBytes(path("b.mdb")), before);
    }

    void hostileQuestionFile_data()
    {
        // A file made by someone else: its schema is never executed, and what
        // quizdb cannot address safely is refused without a change to the file.
        QTest::addColumn<QString>("schema"); // SQL that makes the file
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mustSay");
        QTest::addColumn<QString>("afterwards"); // SQL on the file afterwards, and its
        QTest::addColumn<QString>("holds");      // expected value

        const QString fields = "Nummer TEXT, Frage TEXT, AntwortA TEXT, AntwortB TEXT, AntwortC TEXT, AntwortD TEXT, "
                               "Richtig TEXT, Fraglich TEXT, PublikumA TEXT, PublikumB TEXT, PublikumC TEXT, "
                               "PublikumD TEXT, JokerTV TEXT";
        const QString values = "'Frage', 'a', 'b', 'c', 'd', 'A', 'B', '40', '30', '20', '10', NULL";
        const QString table = "CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY, " + fields + ");"
                              "INSERT INTO \"Zada-VI-VOZ\" (Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD, "
                              "Richtig, Fraglich, PublikumA, PublikumB, PublikumC, PublikumD, JokerTV) VALUES ('1', " +
                              values + "), ('2', " + values + ");";
        const QString count = "SELECT count(*) FROM \"Zada-VI-VOZ\"";
        const QString trigger = "CREATE TABLE side(x);"
                                "CREATE TRIGGER evil AFTER INSERT ON \"Zada-VI-VOZ\" BEGIN "
                                "DELETE FROM \"Zada-VI-VOZ\" WHERE rowid <> NEW.rowid; INSERT INTO side VALUES('ran'); END;";
        QTest::newRow("trigger on insert, import") << table + trigger << "import" << 0 << "2 Fragen an"
                                                   << "SELECT (" + count + ") || '/' || (SELECT count(*) FROM side)" << "4/0";
        QTest::newRow("trigger, check") << table + trigger << "check" << 1
                                        << "Trigger „evil“ zur Tabelle „Zada-VI-VOZ“: ein Trigger in einer Fragendatei "
                                           "wird vom Spiel, vom Editor und von plomberg-quizdb nie ausgeführt"
                                        << count << "2";
        QTest::newRow("view beside the table, check") << table + "CREATE VIEW v AS SELECT 1;" << "check" << 1
                                                      << "Sicht „v“:" << count << "2";
        const QString endless = "CREATE VIEW \"Zada-VI-VOZ\" AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                                "FROM c) SELECT x AS Nummer, x AS Frage, x AS AntwortA, x AS AntwortB, x AS AntwortC, x "
                                "AS AntwortD, x AS Richtig, x AS Fraglich, x AS PublikumA, x AS PublikumB, x AS "
                                "PublikumC, x AS PublikumD, x AS JokerTV FROM c;";
        for (const QString command : {"check", "export", "import"})
            QTest::newRow(qPrintable("endless view named like the table, " + command))
                << endless << command << 2 << "fehlt die Tabelle „Zada-VI-VOZ“"
                << "SELECT type FROM sqlite_schema" << "view";
        // The first record has the highest value in a column called rowid: it
        // is still the first.
        QTest::newRow("column named rowid")
            << "CREATE TABLE \"Zada-VI-VOZ\" (rowid TEXT, " + fields + ");"
               "INSERT INTO \"Zada-VI-VOZ\" VALUES ('9', '1', 'Frage', 'a', 'b', 'c', 'd', 'E', 'B', '40', '30', '20', '10', NULL),"
               "('1', '2', " + values + ");"
            << "check" << 1 << "Satz 1 (Nummer „1“), Feld „Richtig“" << count << "2";
        QTest::newRow("all three row aliases shadowed")
            << "CREATE TABLE \"Zada-VI-VOZ\" (rowid TEXT, _rowid_ TEXT, oid TEXT, " + fields + ");" << "export" << 2
            << "eigene Spalten „rowid“, „_rowid_“ und „oid“" << count << "0";
        QTest::newRow("WITHOUT ROWID")
            << "CREATE TABLE \"Zada-VI-VOZ\" (" + fields + ", PRIMARY KEY (Nummer)) WITHOUT ROWID;" << "check" << 2
            << "hat keine Satznummern (WITHOUT ROWID)" << count << "0";
        QTest::newRow("generated AntwortA")
            << "CREATE TABLE \"Zada-VI-VOZ\" (" +
                   QString(fields).replace("AntwortA TEXT", "AntwortA TEXT GENERATED ALWAYS AS (zeroblob(300000000)) VIRTUAL") +
                   ");"
            << "export" << 2 << "berechnet sie: AntwortA" << count << "0";
        const QString more = "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
                             "INSERT INTO \"Zada-VI-VOZ\" (Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD, Richtig, "
                             "Fraglich, PublikumA, PublikumB, PublikumC, PublikumD) SELECT i, 'Eine längere Frage Nr. ' || i, "
                             "'a', 'b', 'c', 'd', 'A', 'B', '40', '30', '20', '10' FROM n;";
        for (const QString command : {"check", "export"}) {
            QTest::newRow(qPrintable("table tree leads twice to the same records, " + command))
                << "-- dag\nPRAGMA page_size = 512;" + table + more << command << 2
                << "f.mdb“ ist beschädigt: hinter Satz" << "SELECT count(*) > 60 FROM \"Zada-VI-VOZ\"" << "1";
            QTest::newRow(qPrintable("save broken off, journal left, " + command))
                << "-- hot journal\n" + table << command << 0 << (command == "check" ? "Alle 2 Datensätze" : "2,Frage,a,b,")
                << count << "2";
        }
        const QString freed = "-- free list loop\nPRAGMA page_size = 512;" + table + more +
                              "DELETE FROM \"Zada-VI-VOZ\" WHERE Satz > 2;";
        QTest::newRow("free-page list loops, check")
            << freed << "check" << 1 << "ist in ihrem Aufbau beschädigt: ihre Liste der freien Seiten ist durcheinander"
            << count << "2";
        QTest::newRow("free-page list loops, import")
            << freed << "import" << 2 << "In eine beschädigte Fragendatei schreibt plomberg-quizdb nichts" << count << "2";
        QTest::newRow("CHECK constraints, check")
            << QString(table).replace("JokerTV TEXT", "JokerTV TEXT CHECK (length(JokerTV) < 99), CHECK (Frage <> 'CHECK')")
            << "check" << 1 << "2 CHECK-Bedingungen in der Tabelle „Zada-VI-VOZ“" << count << "2";
        QTest::newRow("index on an expression, check")
            << table + "CREATE INDEX klein ON \"Zada-VI-VOZ\" (lower(Frage));" << "check" << 1
            << "Index „klein“ der Tabelle „Zada-VI-VOZ“ über einen Ausdruck" << count << "2";
        QTest::newRow("index with a collation unknown here, import")
            << table + "CREATE INDEX i ON \"Zada-VI-VOZ\" (Frage COLLATE NOCASE); PRAGMA writable_schema = ON; "
                       "UPDATE sqlite_schema SET sql = replace(sql, 'NOCASE', 'fremd') WHERE name = 'i';"
            << "import" << 2 << "eine Sortierfolge, die das Quiz nicht kennt (fremd)" << "SELECT max(rowid) FROM \"Zada-VI-VOZ\"" << "2";
        QTest::newRow("AUTOINCREMENT used up, import")
            << QString(table).replace("PRIMARY KEY", "PRIMARY KEY AUTOINCREMENT") +
                   "UPDATE \"Zada-VI-VOZ\" SET Satz = 9223372036854775807 WHERE Satz = 2;"
                   "UPDATE sqlite_sequence SET seq = 9223372036854775807;"
            << "import" << 2 << "hat keine freie Satznummer mehr" << count << "2";
        QTest::newRow("a 2 MiB value")
            << table + "UPDATE \"Zada-VI-VOZ\" SET JokerTV = hex(zeroblob(1048576)) WHERE Satz = 2;" << "check" << 2
            << "größer als 1 MiB" << count << "2";
    }
    void hostileQuestionFile()
    {
        QFETCH(QString, schema);
        QFETCH(QString, command);
        QFETCH(int, code);
        QFETCH(QString, mustSay);
        QFETCH(QString, afterwards);
        QFETCH(QString, holds);
        const QString file = path("f.mdb");
        sql(file, schema);
        const QByteArray made = readBytes(file);
        damage(file, schema);
        // A broken-off save is rolled back: the file is as it was made.
        const QByteArray before = schema.startsWith("-- hot journal") ? made : readBytes(file);
        writeBytes(path("in.csv"), csvOf(sampleRecords(2, kRoundRobin)));

        QStringList args{command, file};
        if (command == "import")
            args << path("in.csv");
        const Run r = runQuizdb(args);
        QCOMPARE(r.code, code);
        QVERIFY2(QString(r.out + r.err).contains(mustSay), qPrintable(r.out + r.err));
        if (command != "import" || code == 2)
            QCOMPARE(readBytes(file), before);
        QCOMPARE(sqlValue(file, afterwards.toUtf8().constData()), holds);
        QVERIFY(!QFileInfo::exists(file + "-journal"));
    }

    void outOfMemoryIsReported()
    {
        // Every way quizdb can run out of memory ends in its message and status
        // 2, never in a crash, and leaves no file behind. The limit on memory
        // climbs in small steps from where quizdb cannot even start to where it
        // reads the whole CSV (seven faults in each of 10,000 empty records).
        writeBytes(path("leer.csv"), kHeader + "\n" + QByteArray(",,,,,,,,,,,,\n").repeated(10000));
        const QStringList args{"create", path("neu.mdb"), path("leer.csv")};
        const QString done = "enthält 70000 Fehler";
        auto ours = [&](const Run& r) {
            return r.code == 2 && (r.err == QString::fromUtf8(quizdb::kNoMemory) || r.err.contains(done));
        };
        qint64 startsKiB = 16 * 1024;
        while (startsKiB < 1024 * 1024 && !ours(runQuizdb(args, {}, startsKiB)))
            startsKiB += 1024;
        QVERIFY(startsKiB < 1024 * 1024);

        int outOfMemory = 0;
        bool started = false;
        for (qint64 kib = startsKiB - 1024; kib < startsKiB + 16 * 1024; kib += 32) {
            const Run r = runQuizdb(args, {}, kib);
            QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"leer.csv"});
            started = started || ours(r);
            if (!started)
                continue; // the program and its libraries did not even load
            QVERIFY2(ours(r), qPrintable(QStringLiteral("%1 KiB: status %2, %3").arg(kib).arg(r.code).arg(r.err)));
            if (r.err.contains(done))
                break;
            ++outOfMemory;
        }
        QVERIFY(outOfMemory > 0);
    }

    // ---- command line ------------------------------------------------------------------

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("onStdout");
        QTest::addColumn<QString>("mustSay");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << true << "  plomberg-quizdb create FRAGENDATEI CSV-DATEI";
        QTest::newRow("help explains NULL") << QStringList{"--help"} << 0 << true << "(\"\") den leeren Text";
        QTest::newRow("no arguments") << QStringList{} << 2 << false << "plomberg-quizdb check FRAGENDATEI";
        QTest::newRow("unknown command") << QStringList{"löschen"} << 2 << false << "Unbekannter Befehl „löschen“";
        QTest::newRow("too few operands") << QStringList{"create", "x.mdb"} << 2 << false
                                          << "So geht es: plomberg-quizdb create FRAGENDATEI CSV-DATEI";
        QTest::newRow("too many operands") << QStringList{"check", "a", "b"} << 2 << false << "Falscher Aufruf";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(bool, onStdout);
        QFETCH(QString, mustSay);
        const Run r = runQuizdb(args);
        QCOMPARE(r.code, code);
        QVERIFY2((onStdout ? r.out : r.err).contains(mustSay), qPrintable(r.out + r.err));
    }

    void refusedCall_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err"); // all of standard error
        const QString hint = "\nHilfe: plomberg-quizdb --help\n";
        QTest::newRow("unknown option") << QStringList{"check", "--gründlich", "a.mdb"}
                                        << "Unbekannte Option „--gründlich“." + hint;
        QTest::newRow("unknown short option") << QStringList{"-x"} << "Unbekannte Option „-x“." + hint;
        QTest::newRow("-o without file") << QStringList{"export", "a.mdb", "-o"}
                                         << "Der Option „-o“ fehlt der Name der Ausgabedatei." + hint;
        QTest::newRow("-o with check") << QStringList{"check", "-o", "x.csv", "a.mdb"}
                                       << "Die Option „-o“ gibt es nur bei export." + hint;
        QTest::newRow("--ohne-pruefung with export") << QStringList{"export", "--ohne-pruefung", "a.mdb"}
                                                     << "Die Option „--ohne-pruefung“ gibt es nur bei create und import." + hint;
        QTest::newRow("value to --version") << QStringList{"--version=2"}
                                            << "Die Option „--version“ nimmt keinen Wert an." + hint;
    }
    void refusedCall()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const Run r = runQuizdb(args);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, err);
        QVERIFY(r.out.isEmpty());
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::newRow("--version") << QStringList{"--version"} << QStringLiteral("plomberg-quizdb " QUIZ_VERSION "\n");
        QTest::newRow("-h") << QStringList{"-h"} << quizdb::usage();
        QTest::newRow("help with a command") << QStringList{"export", "--help"} << quizdb::usage();
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const Run r = runQuizdb(args);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, out);
        QVERIFY(r.err.isEmpty());
    }

    void answerNotWrittenIsAFailure_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mustSay"); // on standard error
        const QString full = "Die Ausgabe lässt sich nicht schreiben: der Datenträger ist voll.\n";
        QTest::newRow("--help") << QStringList{"--help"} << full;
        QTest::newRow("help") << QStringList{"help"} << full;
        QTest::newRow("--version") << QStringList{"--version"} << full;
    }
    void answerNotWrittenIsAFailure()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mustSay);
        Start start;
        start.child = [] { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); };
        const Run r = runQuizdb(args, start);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, mustSay);
    }

    void speaksByTheNameItWasStartedUnder_data()
    {
        QTest::addColumn<QString>("name"); // a link to the tool, or a copy of it
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says"); // on standard output and error together
        QTest::newRow("link, refused call") << "meinquiz" << QStringList{"-x"} << "Unbekannte Option „-x“.\nHilfe: meinquiz --help\n";
        QTest::newRow("copy, version") << "fragen-werkzeug" << QStringList{"--version"} << "fragen-werkzeug " QUIZ_VERSION "\n";
        QTest::newRow("link, help") << "meinquiz" << QStringList{"--help"} << "Aufruf:\n  meinquiz create FRAGENDATEI CSV-DATEI\n";
        QTest::newRow("copy, message") << "fragen-werkzeug" << QStringList{"create", "@schon.mdb", "@in.csv"}
                                       << "Zum Anhängen an eine vorhandene Fragendatei: fragen-werkzeug import.";
    }
    void speaksByTheNameItWasStartedUnder()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        QVERIFY(name == "meinquiz" ? QFile::link(QUIZDB_EXE, path(name)) : QFile::copy(QUIZDB_EXE, path(name)));
        writeBytes(path("schon.mdb"), "");
        const Run r = runQuizdb(args.replaceInStrings("@", m_dir.path() + "/"), Start{.program = path(name)});
        const QString all = r.out + r.err;
        QVERIFY2(all.contains(says), qPrintable(all));
        QVERIFY2(!all.contains(QRegularExpression("\\bquizdb\\b")), qPrintable(all));
    }

    void exportToFile()
    {
        // -o: the file appears whole or not at all; the question file itself is never the target.
        testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(2, kRoundRobin));
        Run r = runQuizdb({"export", path("a.mdb"), "-o", path("a.csv")});
        QCOMPARE(r.code, 0);
        QCOMPARE(readBytes(path("a.csv")), runQuizdb({"export", path("a.mdb")}).outBytes);
        const QByteArray before = readBytes(path("a.mdb"));
        r = runQuizdb({"export", "-o", path("a.mdb"), path("a.mdb")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("ist die Fragendatei selbst"), qPrintable(r.err));
        QCOMPARE(readBytes(path("a.mdb")), before);
        sql(path("a.mdb"), "UPDATE \"Zada-VI-VOZ\" SET Frage = CAST(x'C328' AS TEXT) WHERE Nummer = '2'");
        writeBytes(path("b.csv"), "alt");
        r = runQuizdb({"export", "-o", path("b.csv"), path("a.mdb")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("Satz 2, Feld „Frage“"), qPrintable(r.err));
        QCOMPARE(readBytes(path("b.csv")), QByteArray("alt"));
    }

    void exportIntoWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind"); // what stands at the name after -o
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mustSay"); // on standard error; @ is the name after -o
        QTest::newRow("FIFO") << "FIFO" << 0 << "";
        QTest::newRow("null device") << "null" << 0 << "";
        QTest::newRow("full device") << "full" << 2
                                     << "Die Ausgabedatei „@“ lässt sich nicht schreiben: der Datenträger ist voll. "
                                        "Nicht die ganze CSV ist bei „@“ angekommen.\n";
        QTest::newRow("directory") << "directory" << 2
                                   << "„@“ ist ein Verzeichnis; dorthin schreibt plomberg-quizdb export nicht. Die "
                                      "Ausgabe geht in eine gewöhnliche Datei, eine benannte Pipe (FIFO) oder ein "
                                      "Zeichengerät wie ein Terminal.\n";
        QTest::newRow("missing folder") << "missing folder" << 2
                                        << "Die Ausgabedatei „@“ lässt sich nicht anlegen: das Verzeichnis „"
                                           + path("fehlt") + "“ gibt es nicht.\n";
        QTest::newRow("folder is a file") << "folder is a file" << 2
                                          << "Die Ausgabedatei „@“ lässt sich nicht anlegen: „" + path("a.mdb")
                                             + "“ ist kein Verzeichnis.\n";
    }
    void exportIntoWhatIsNoRegularFile()
    {
        // A pipe or a device gets the CSV as a stream and stays what it is;
        // what cannot be opened is named, in German.
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(QString, mustSay);
        testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(2, kRoundRobin));
        // A device of the test's own where it may be made: one that is
        // replaced by mistake is no device of the system's.
        const bool root = geteuid() == 0;
        QString target = path(kind);
        int reader = -1;
        if (kind == "FIFO") {
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
            reader = open(QFile::encodeName(target).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
        } else if (kind == "null" || kind == "full") {
            if (root)
                QCOMPARE(mknod(QFile::encodeName(target).constData(), S_IFCHR | 0666, makedev(1, kind == "null" ? 3 : 7)), 0);
            else
                target = "/dev/" + kind;
        } else if (kind == "directory") {
            QVERIFY(QDir().mkpath(target));
        } else {
            target = path(kind == "missing folder" ? "fehlt/a.csv" : "a.mdb/a.csv");
        }
        const Run r = runQuizdb({"export", path("a.mdb"), "-o", target});
        QCOMPARE(r.code, code);
        QCOMPARE(r.err, QString(mustSay).replace("@", target));
        QFileInfo after(target);
        if (reader >= 0) {
            QByteArray got(1 << 16, '\0');
            got.resize(std::max<qsizetype>(0, read(reader, got.data(), got.size())));
            close(reader);
            QCOMPARE(got, runQuizdb({"export", path("a.mdb")}).outBytes);
        }
        struct stat st;
        if (kind != "missing folder" && kind != "folder is a file") {
            QCOMPARE(stat(QFile::encodeName(target).constData(), &st), 0);
            QVERIFY2(!S_ISREG(st.st_mode), "replaced by a regular file");
        }
        QCOMPARE(QDir(m_dir.path()).entryList({"*.csv*", ".*csv*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void runReportsThroughDevices()
    {
        // The library entry point, without a process: output and status as the exe.
        testsupport::writeQuestionFile(path("a.mdb"), sampleRecords(2, kRoundRobin));
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(quizdb::run({"export", path("a.mdb")}, out, err), 0);
        QCOMPARE(out.data().count("\r\n"), 3);
        QVERIFY(err.data().isEmpty());
    }
};

QTEST_MAIN(TestQuizdb)
#include "tst_quizdb.moc"
