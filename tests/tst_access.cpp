// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading Access files through the reader process: genuine files written by
// Access and question tables written by another Jet writer (../shared/jet/),
// damaged copies of them made here, and a reader that hangs.
#include "support/jetfiles.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

QString jetFile(const QString& name) { return testsupport::kJet + name; }

QString text(const jet::Value& value)
{
    return value.null ? QStringLiteral("<null>") : QString::fromUtf8(value.bytes());
}

// Every record of a table, its values as text ("<null>" for no value).
QList<QStringList> readAll(const QString& file, const QString& table, const QStringList& fields,
                           const jet::Limits& limits = {})
{
    QList<jet::Field> wanted;
    for (const QString& name : fields)
        wanted.append({name, true});
    QList<QStringList> rows;
    jet::readTable(
        file, table, wanted,
        [&](std::span<const jet::Value> values) {
            QStringList row;
            for (const jet::Value& v : values)
                row << text(v);
            rows << row;
        },
        limits);
    return rows;
}

// The number of questions read.
int questions(const QString& file, const jet::Limits& limits = {})
{
    int count = 0;
    jet::readQuestionTable(file, [&](const jet::Record&) { ++count; }, limits);
    return count;
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!testsupport::useJetFiles())
            QSKIP(testsupport::kJetMissing);
    }

    void recognisesAccessFilesByTheirHeader_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::newRow("Jet 3") << jetFile(QStringLiteral("genuine/jackcess-V1997_testV1997.mdb"))
                               << QStringLiteral("Access 97 (Jet 3)");
        QTest::newRow("Jet 4") << jetFile(QStringLiteral("made-here/Zada-V2003-valid.mdb"))
                               << QStringLiteral("Access 2000 bis 2003 (Jet 4)");
        QTest::newRow("ACE") << jetFile(QStringLiteral("genuine/jackcess-V2007_testV2007.accdb"))
                             << QStringLiteral("Access 2007 oder neuer (ACE)");
        QTest::newRow("a text file") << QStringLiteral(QUIZ_SOURCE_DIR "/data/fragen.csv") << QString();
        QTest::newRow("not there") << QStringLiteral("/nonexistent/file.mdb") << QString();
    }
    void recognisesAccessFilesByTheirHeader()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QCOMPARE(jet::formatName(file), format);
        QCOMPARE(jet::isAccessFile(file), !format.isEmpty());
    }

    // Jet moved rows 3 and 5 to an overflow page; a deleted row stays gone.
    void keepsTheTablesOrder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("values");
        const QStringList overflow{QStringLiteral("row1col1"), QStringLiteral("row2col1"), QStringLiteral("<null>"),
                                   QStringLiteral("row4col1"), QStringLiteral("<null>"), QStringLiteral("<null>"),
                                   QStringLiteral("row7col1")};
        QTest::newRow("Jet 4, rows moved") << jetFile(QStringLiteral("genuine/jackcess-V2000_overflowTestV2000.mdb"))
                                           << QStringLiteral("Table1") << QStringLiteral("data1") << overflow;
        QTest::newRow("Jet 3") << jetFile(QStringLiteral("genuine/jackcess-V1997_overflowTestV1997.mdb"))
                               << QStringLiteral("Table1") << QStringLiteral("data1") << overflow;
        QTest::newRow("Jet 4, a row deleted") << jetFile(QStringLiteral("genuine/jackcess-V2000_delTestV2000.mdb"))
                                              << QStringLiteral("Table") << QStringLiteral("a")
                                              << QStringList{QStringLiteral("z"), QStringLiteral("v")};
    }
    void keepsTheTablesOrder()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QStringList, values);
        QStringList read;
        for (const QStringList& row : readAll(file, table, {field}))
            read << row.at(0);
        QCOMPARE(read, values);
    }

    void movedRowsComeBackWhole()
    {
        const QList<QStringList> rows = readAll(jetFile(QStringLiteral("genuine/jackcess-V2000_overflowTestV2000.mdb")),
                                                QStringLiteral("Table1"), {QStringLiteral("data3"), QStringLiteral("data9")});
        QCOMPARE(rows.at(2), (QStringList{QStringLiteral("row3col3"), QStringLiteral("row3col9")}));
        QCOMPARE(rows.at(4), (QStringList{QStringLiteral("row5col2"), QStringLiteral("<null>")}));
    }

    void readsTheQuestionTable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstAnswer");
        QTest::addColumn<int>("longQuestion");
        const QString moved = QStringLiteral("Wien – die Hauptstadt, mit längerem Antworttext");
        QTest::newRow("Jet 4, question 1 moved") << jetFile(QStringLiteral("made-here/Zada-V2000.mdb")) << 199 << moved << 18000;
        QTest::newRow("ACE, question 1 moved") << jetFile(QStringLiteral("made-here/Zada-V2007.mdb")) << 199 << moved << 18000;
        QTest::newRow("Jet 4, numbers") << jetFile(QStringLiteral("made-here/Zada-V2000-int.mdb")) << 19
                                        << QStringLiteral("Wien") << 18000;
        QTest::newRow("Jet 4, within limits") << jetFile(QStringLiteral("made-here/Zada-V2003-valid.mdb")) << 19
                                              << QStringLiteral("Wien") << 90;
    }
    void readsTheQuestionTable()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, firstAnswer);
        QFETCH(int, longQuestion);
        QList<QStringList> rows;
        jet::readQuestionTable(file, [&](const jet::Record& r) {
            QStringList row;
            for (const jet::Value& v : r)
                row << text(v);
            rows << row;
        });
        QCOMPARE(rows.size(), count);
        // In table order, question 3 deleted: Nummer 1, 2, 4, 5, ...
        QCOMPARE(rows.at(0).at(0), QStringLiteral("1"));
        QCOMPARE(rows.at(2).at(0), QStringLiteral("4"));
        QCOMPARE(rows.at(0).at(1), QStringLiteral("Wie heißt die Hauptstadt von Österreich?"));
        QCOMPARE(rows.at(0).at(2), firstAnswer);
        QCOMPARE(rows.at(1).at(2), QStringLiteral("0,50 €"));
        QCOMPARE(rows.at(2).at(1).size(), longQuestion);
        QCOMPARE(rows.at(2).at(11), QStringLiteral("94")); // PublikumD
        QCOMPARE(rows.at(1).at(12), QString()); // JokerTV, the empty text
        if (count == 19)
            QCOMPARE(rows.at(0).at(12), QStringLiteral("<null>")); // JokerTV without a value
    }

    void decodesText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        const QString unicode = jetFile(QStringLiteral("genuine/jackcess-V2003_testUnicodeCompV2003.mdb"));
        QTest::newRow("Jet 4, compressed") << unicode << QStringLiteral("Table") << QStringLiteral("Unicode") << 1
                                           << QStringLiteral("ääkkösiä");
        QTest::newRow("Jet 4, Cyrillic") << unicode << QStringLiteral("Table") << QStringLiteral("Unicode") << 2
                                         << QStringLiteral("Мир");
        QTest::newRow("Jet 4, Kanji") << unicode << QStringLiteral("Table") << QStringLiteral("Unicode") << 4
                                      << QStringLiteral("漢字仮名交じり文");
        QTest::newRow("ACE, outside the basic plane")
            << jetFile(QStringLiteral("genuine/jackcess-V2010_testEmoticonsV2010.accdb")) << QStringLiteral("data")
            << QStringLiteral("data") << 0 << QStringLiteral("a😀a");
        const QString codes = jetFile(QStringLiteral("genuine/jackcess-V1997_testIndexCodesV1997.mdb"));
        QTest::newRow("Jet 3, euro sign") << codes << QStringLiteral("Table14") << QStringLiteral("data") << -128
                                          << QStringLiteral("a€a");
        QTest::newRow("Jet 3, umlaut") << codes << QStringLiteral("Table14") << QStringLiteral("data") << -252
                                       << QStringLiteral("aüa");
        QTest::newRow("Jet 3, undefined byte") << codes << QStringLiteral("Table14") << QStringLiteral("data") << -129
                                               << QStringLiteral("a\u0081a");
        QTest::newRow("ACE, 5000-character memo")
            << jetFile(QStringLiteral("genuine/mdbreader-data_V2016_longtext.accdb")) << QStringLiteral("Table1")
            << QStringLiteral("LongText") << 0 << QString();
    }
    // A negative row: the row named "row<n>" (Table14 holds "a" + byte n + "a").
    void decodesText()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(int, row);
        QFETCH(QString, value);
        // Variables that change what libmdb reads make no difference.
        qputenv("MDB_JET3_CHARSET", "UTF-8");
        qputenv("MDBICONV", "ISO-8859-1");
        qputenv("MDBPATH", ":");
        const QList<QStringList> rows =
            readAll(file, table, row < 0 ? QStringList{QStringLiteral("name"), field} : QStringList{field});
        qunsetenv("MDB_JET3_CHARSET");
        qunsetenv("MDBICONV");
        qunsetenv("MDBPATH");
        QString read;
        for (const QStringList& r : rows)
            if (row < 0 && r.at(0) == QStringLiteral("row%1").arg(-row))
                read = r.at(1);
        if (row >= 0)
            read = rows.at(row).at(0);
        if (value.isEmpty()) {
            QCOMPARE(read.size(), 5000);
            QVERIFY(read.startsWith(QStringLiteral("Lorem ipsum")));
        } else {
            QCOMPARE(read, value);
        }
    }

    void readsNumbersAsTheirDecimalText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("Jet 3") << jetFile(QStringLiteral("genuine/jackcess-V1997_testV1997.mdb"));
        QTest::newRow("ACE") << jetFile(QStringLiteral("genuine/jackcess-V2007_testV2007.accdb"));
    }
    void readsNumbersAsTheirDecimalText()
    {
        QFETCH(QString, file);
        const QList<QStringList> rows =
            readAll(file, QStringLiteral("Table1"),
                    {QStringLiteral("c"), QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"),
                     QStringLiteral("H"), QStringLiteral("B")});
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1), (QStringList{QStringLiteral("2"), QStringLiteral("222"), QStringLiteral("333333333"),
                                          QStringLiteral("444.555"), QStringLiteral("3.5000"),
                                          QStringLiteral("hijklmnop")}));
    }

    void refusesWithItsCause_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("encrypted") << jetFile(QStringLiteral("genuine/mdbreader-encryption_data_office-agile-4.2.accdb"))
                                   << QString() << QString() << QStringLiteral("im Format Access 2007 oder neuer (ACE) ist verschlüsselt");
        QTest::newRow("with a password")
            << jetFile(QStringLiteral("genuine/mdbreader-password_data_V2010_with-password.accdb")) << QString()
            << QString() << QStringLiteral("ist verschlüsselt, meist weil sie ein Kennwort hat");
        QTest::newRow("no user table") << jetFile(QStringLiteral("genuine/jackcess-empty2003.mdb")) << QString()
                                       << QString()
                                       << QStringLiteral("enthält keine Tabelle „Zada-VI-VOZ“; sie enthält überhaupt "
                                                         "keine eigene Tabelle.");
        QTest::newRow("another table") << jetFile(QStringLiteral("genuine/jackcess-V2000_delTestV2000.mdb")) << QString()
                                       << QString()
                                       << QStringLiteral("enthält keine Tabelle „Zada-VI-VOZ“; ihre Tabellen heißen „Table“.");
        QTest::newRow("a database password")
            << jetFile(QStringLiteral("genuine/mdbreader-password_data_V2000_with-password.mdb")) << QString()
            << QString() << QStringLiteral("ist mit einem Datenbankkennwort geschützt; ein Kennwort lässt sich hier nicht");
        QTest::newRow("a field missing") << jetFile(QStringLiteral("genuine/jackcess-V2000_delTestV2000.mdb"))
                                         << QStringLiteral("Table") << QStringLiteral("Frage")
                                         << QStringLiteral("Der Tabelle „Table“ in der Access-Datei „%1“ fehlt das Feld "
                                                           "„Frage“; eine Fragentabelle hat die Felder Nummer, Frage,");
        QTest::newRow("a date") << jetFile(QStringLiteral("genuine/jackcess-V2007_testV2007.accdb"))
                                << QStringLiteral("Table1") << QStringLiteral("G")
                                << QStringLiteral("Das Feld „G“ in der Access-Datei „%1“ hat den Datentyp "
                                                  "Datum/Uhrzeit; es muss Text oder Memo sein.");
        QTest::newRow("a number as text") << jetFile(QStringLiteral("genuine/jackcess-V2007_testV2007.accdb"))
                                          << QStringLiteral("Table1") << QStringLiteral("E")
                                          << QStringLiteral("Das Feld „E“ in der Access-Datei „%1“ hat den Datentyp "
                                                            "Zahl; es muss Text oder Memo sein.");
    }
    void refusesWithItsCause()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QString, message);
        const QString error = testsupport::errorOf([&] {
            if (table.isEmpty())
                questions(file);
            else
                jet::readTable(file, table, {{field, false}}, [](std::span<const jet::Value>) {});
        });
        QVERIFY2(error.contains(message.contains(QLatin1String("%1")) ? message.arg(file) : message), qPrintable(error));
    }

    // The table definition counts one record more than the pages hold.
    void refusesAShortRead()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("short.mdb"));
        QVERIFY(QFile::copy(jetFile(QStringLiteral("made-here/Zada-V2003-valid.mdb")), copy));
        QFile file(copy);
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::WriteOwner));
        QVERIFY(file.open(QIODevice::ReadWrite));
        // The question table's definition is on page 50; its row count at 16.
        QVERIFY(file.seek(50 * 4096 + 16));
        const char rows[4] = {20, 0, 0, 0};
        QCOMPARE(file.write(rows, 4), 4);
        file.close();
        QCOMPARE(testsupport::errorOf([&] { questions(copy); }),
                 QStringLiteral("Die Access-Datei „%1“ ist beschädigt: ihre Tabelle „Zada-VI-VOZ“ zählt 20 Datensätze, "
                                "lesbar sind aber nur 19.")
                     .arg(copy));
    }

    // Cut at every page and in the middle of pages, a file is either read
    // whole or refused with a message; the reader never hangs the caller.
    void truncatedCopiesAreRefused()
    {
        const QString original = jetFile(QStringLiteral("made-here/Zada-V2000.mdb"));
        QFile in(original);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        QTemporaryDir dir;
        const QString cut = dir.filePath(QStringLiteral("cut.mdb"));
        int refused = 0;
        for (qsizetype size = 2048; size < bytes.size(); size += 2048) {
            QFile out(cut);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes.left(size));
            out.close();
            const QString error = testsupport::errorOf([&] { QCOMPARE(questions(cut, {5s, 0}), 199); });
            if (error.isEmpty())
                continue;
            ++refused;
            QVERIFY2(error.startsWith(QStringLiteral("Die Access-Datei „%1“").arg(cut)) ||
                         error.startsWith(QStringLiteral("Das ")),
                     qPrintable(error));
        }
        QVERIFY(refused > 80);
        QVERIFY(testsupport::errorOf([&] { QCOMPARE(questions(original), 199); }).isEmpty());
    }

    // This cut makes libmdb read its table list without end, its memory
    // growing until the limit and its warnings without end.
    void aLoopingLibraryIsStopped()
    {
        QFile in(jetFile(QStringLiteral("genuine/jackcess-V2000_overflowTestV2000.mdb")));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QTemporaryDir dir;
        const QString cut = dir.filePath(QStringLiteral("cut.mdb"));
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(in.read(138752));
        out.close();
        QElapsedTimer timer;
        timer.start();
        const QString error = testsupport::errorOf([&] { readAll(cut, QStringLiteral("Table1"), {QStringLiteral("data1")}, {2s, 0}); });
        QVERIFY(timer.elapsed() < 8000);
        QVERIFY2(error.startsWith(QStringLiteral("Das Lesen der Access-Datei „%1“ war nach 2 Sekunden noch nicht zu Ende "
                                                 "und wurde abgebrochen; die Datei ist wahrscheinlich beschädigt")
                                      .arg(cut)),
                 qPrintable(error));
        QVERIFY2(error.contains(QRegularExpression(QStringLiteral("\nlibmdb meldete:\n  Warning: .* \\(\\d+-mal\\)"))),
                 qPrintable(error));
    }

    void aReaderThatHangsIsStopped()
    {
        QTemporaryDir dir;
        const QString hanging = dir.filePath(QStringLiteral("reader"));
        QFile script(hanging);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec sleep 30\n");
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        jet::setReaderProgram(hanging);
        QElapsedTimer timer;
        timer.start();
        const QString file = jetFile(QStringLiteral("made-here/Zada-V2003-valid.mdb"));
        const QString error = testsupport::errorOf([&] { questions(file, {1500ms, 0}); });
        jet::setReaderProgram(QStringLiteral(QUIZ_ACCESS_READER_PATH));
        QCOMPARE(error, QStringLiteral("Das Lesen der Access-Datei „%1“ war nach 1,5 Sekunden noch nicht zu Ende und "
                                       "wurde abgebrochen; die Datei ist wahrscheinlich beschädigt (libmdb liest manche "
                                       "beschädigte Datei ohne Ende).")
                            .arg(file));
        QVERIFY(timer.elapsed() < 10000);
    }

    void aMissingReaderIsNamed()
    {
        jet::setReaderProgram(QStringLiteral("/nonexistent/reader"));
        const QString error = testsupport::errorOf([] { questions(jetFile(QStringLiteral("made-here/Zada-V2003-valid.mdb"))); });
        jet::setReaderProgram(QStringLiteral(QUIZ_ACCESS_READER_PATH));
        QVERIFY2(error.startsWith(QStringLiteral("Das Leseprogramm für Access-Dateien „/nonexistent/reader“ fehlt")),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
