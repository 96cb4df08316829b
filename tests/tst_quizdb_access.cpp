// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb on Access files: create, import and check take them through the same
// all-or-nothing path and checks as a CSV, recognised by their first bytes;
// and the copy the game plays an Access file from.
#include "support/jetfiles.h"
#include "support/testsupport.h"
#include "tools/quizdb/fromaccess.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using testsupport::kJet;

const QString kValid = kJet + QStringLiteral("made-here/Zada-V2003-valid.mdb");
const QString kLong = kJet + QStringLiteral("made-here/Zada-V2000.mdb");
const QString kEmpty = kJet + QStringLiteral("genuine/jackcess-empty2003.mdb");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run runQuizdb(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QUIZDB_EXE), args);
    if (!p.waitForFinished(120000))
        qFatal("quizdb did not finish");
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QStringList column(const QList<testsupport::Record>& records, const QString& field)
{
    QStringList values;
    for (const testsupport::Record& r : records)
        values << (r.value(field).isNull() ? QStringLiteral("<null>") : r.value(field).toString());
    return values;
}

// A copy of the valid Access file whose question table is empty: every row
// of its one data page (page 53) marked deleted, its row count 0.
QString emptyTableCopy(const QTemporaryDir& dir)
{
    const QString copy = dir.filePath(QStringLiteral("leer.mdb"));
    QFile file(copy);
    if (!QFile::copy(kValid, copy) || !file.setPermissions(file.permissions() | QFileDevice::WriteOwner) ||
        !file.open(QIODevice::ReadWrite))
        qFatal("cannot make the copy with the empty table");
    QByteArray bytes = file.readAll();
    const qsizetype page = 53 * 4096;
    const int places = static_cast<unsigned char>(bytes[page + 12]);
    for (int slot = 0; slot < places; ++slot)
        bytes[page + 14 + 2 * slot + 1] = char(bytes[page + 14 + 2 * slot + 1] | 0xc0);
    bytes[50 * 4096 + 16] = 0;
    file.seek(0);
    file.write(bytes);
    return copy;
}

} // namespace

class TestQuizdbAccess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!testsupport::useJetFiles())
            QSKIP(testsupport::kJetMissing);
    }

    // An Access file named like a CSV is read as Access, in table order,
    // with no value kept apart from the empty text.
    void createReadsAnAccessFileByItsHeader()
    {
        QTemporaryDir dir;
        const QString disguised = dir.filePath(QStringLiteral("fragen.csv"));
        QVERIFY(QFile::copy(kValid, disguised));
        const QString made = dir.filePath(QStringLiteral("neu.mdb"));
        const Run run = runQuizdb({QStringLiteral("create"), made, disguised});
        QCOMPARE(run.err, QStringLiteral("fragen.csv gelesen als Access-Datei im Format Access 2000 bis 2003 (Jet 4).\n"));
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QStringLiteral("Fragendatei „%1“ mit 19 Fragen angelegt.\n").arg(made));
        const QList<testsupport::Record> records = testsupport::readQuestionFile(made);
        QCOMPARE(column(records, QStringLiteral("Nummer")).mid(0, 4),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("5")}));
        QCOMPARE(column(records, QStringLiteral("JokerTV")).mid(0, 2), (QStringList{QStringLiteral("<null>"), QString()}));
        QCOMPARE(records.at(1).value(QStringLiteral("AntwortA")).toString(), QStringLiteral("0,50 €"));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message");
        QTest::newRow("create, faulty records")
            << QStringLiteral("create") << kLong
            << QStringLiteral("Die Access-Datei „%1“ enthält 2 Fehler; nichts wurde geschrieben:\n"
                              "  Satz 1 (Nummer „1“), Feld „AntwortA“: ist 47 Zeichen lang; erlaubt sind höchstens 40.\n"
                              "  Satz 3 (Nummer „4“), Feld „Frage“: ist 18000 Zeichen lang; erlaubt sind höchstens 110.\n")
                   .arg(kLong);
        QTest::newRow("import, faulty records") << QStringLiteral("import") << kLong
                                                << QStringLiteral("Die Access-Datei „%1“ enthält 2 Fehler").arg(kLong);
        QTest::newRow("create, no question table")
            << QStringLiteral("create") << kEmpty
            << QStringLiteral("Die Access-Datei „%1“ enthält keine Tabelle „Zada-VI-VOZ“; sie enthält überhaupt keine "
                              "eigene Tabelle. Nichts wurde geschrieben.\n")
                   .arg(kEmpty);
        QTest::newRow("import, no question table")
            << QStringLiteral("import") << kEmpty
            << QStringLiteral("Die Access-Datei „%1“ enthält keine Tabelle „Zada-VI-VOZ“").arg(kEmpty);
    }
    void refusalsWriteNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, source);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("ziel.mdb"));
        if (command == QLatin1String("import"))
            testsupport::writeQuestionFile(target, testsupport::sampleRecords(3));
        const Run run = runQuizdb({command, target, source});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
        if (command == QLatin1String("create"))
            QVERIFY(!QFileInfo::exists(target));
        else
            QCOMPARE(testsupport::readQuestionFile(target).size(), 3);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), command == QLatin1String("import") ? 1 : 0);
    }

    // export gives the Access table as CSV, question 1 first although Jet
    // moved it, the 18,000-character question whole.
    void exportWritesTheAccessTableAsCsv()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("fragen.csv"));
        const Run run = runQuizdb({QStringLiteral("export"), QStringLiteral("-o"), csv, kLong});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.code, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 201); // the header, 199 questions, the end
        QVERIFY(lines.at(1).startsWith("1,Wie heißt die Hauptstadt von Österreich?,\"Wien – die Hauptstadt, mit"));
        QCOMPARE(lines.at(3).count("Äpfel"), 3000);
    }

    void createRefusesATableWithoutQuestions()
    {
        QTemporaryDir dir;
        const QString empty = emptyTableCopy(dir);
        const QString made = dir.filePath(QStringLiteral("neu.mdb"));
        const Run run = runQuizdb({QStringLiteral("create"), made, empty});
        QCOMPARE(run.code, 2);
        QCOMPARE(run.err, QStringLiteral("Die Tabelle „Zada-VI-VOZ“ der Access-Datei „%1“ enthält keine Frage; eine "
                                         "Fragendatei ohne Fragen kann das Spiel nicht spielen. Nichts wurde "
                                         "geschrieben.\nleer.mdb gelesen als Access-Datei im Format Access 2000 "
                                         "bis 2003 (Jet 4).\n")
                              .arg(empty));
        QVERIFY(!QFileInfo::exists(made));
        const Run check = runQuizdb({QStringLiteral("check"), empty});
        QCOMPARE(check.code, 1);
        QVERIFY2(check.out.endsWith(QStringLiteral("Das Spiel kann die Access-Datei nicht spielen: ihre Tabelle "
                                                   "„Zada-VI-VOZ“ enthält keine Frage.\n")),
                 qPrintable(check.out));
        QVERIFY(testsupport::errorOf([&] { quizdb::questionFileFromAccess(empty, made); })
                    .contains(QStringLiteral("enthält keine Frage")));
        QVERIFY(!QFileInfo::exists(made));
    }

    void importAppendsTheAccessQuestions()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("ziel.mdb"));
        testsupport::writeQuestionFile(target, testsupport::sampleRecords(2));
        const Run run = runQuizdb({QStringLiteral("import"), target, kValid});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QStringLiteral("19 Fragen an „%1“ angehängt.\n").arg(target));
        const QList<testsupport::Record> records = testsupport::readQuestionFile(target);
        QCOMPARE(records.size(), 21);
        QCOMPARE(records.at(2).value(QStringLiteral("Frage")).toString(),
                 QStringLiteral("Wie heißt die Hauptstadt von Österreich?"));
    }

    void checkSaysWhetherTheGameCanPlayIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("last");
        const QString playable = QStringLiteral("Das Spiel kann die Access-Datei spielen: es liest sie beim Start in "
                                                "eine eigene Kopie und ändert sie nie. Zu einer Fragendatei dieses "
                                                "Programms macht sie: plomberg-quizdb create NEU.mdb %1\n");
        QTest::newRow("in order") << kValid << 0
                                  << QStringLiteral("Alle 19 Datensätze sind in Ordnung.\n") + playable.arg(kValid);
        QTest::newRow("faulty records") << kLong << 1
                                        << QStringLiteral("2 von 199 Datensätzen verstoßen gegen das Datenmodell.\n") +
                                               playable.arg(kLong);
        QTest::newRow("no question table") << kEmpty << 2 << QString();
    }
    void checkSaysWhetherTheGameCanPlayIt()
    {
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(QString, last);
        const Run run = runQuizdb({QStringLiteral("check"), file});
        QCOMPARE(run.code, code);
        QVERIFY2(run.out.startsWith(
                     QStringLiteral("„%1“ ist eine Access-Datei im Format Access 2000 bis 2003 (Jet 4).\n").arg(file)),
                 qPrintable(run.out));
        if (last.isEmpty())
            QVERIFY2(run.err.endsWith(QStringLiteral("\nDas Spiel kann diese Datei nicht spielen.\n")), qPrintable(run.err));
        else
            QVERIFY2(run.out.endsWith(last), qPrintable(run.out));
    }

    // The game's copy keeps every record as it stands, question 1 first,
    // although Jet moved it to an overflow page.
    void theGamesCopyKeepsEveryRecord()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("kopie.mdb"));
        QCOMPARE(quizdb::questionFileFromAccess(kLong, copy), 199);
        const QList<testsupport::Record> records = testsupport::readQuestionFile(copy);
        QCOMPARE(records.size(), 199);
        QCOMPARE(records.at(0).value(QStringLiteral("AntwortA")).toString(),
                 QStringLiteral("Wien – die Hauptstadt, mit längerem Antworttext"));
        QCOMPARE(records.at(2).value(QStringLiteral("Frage")).toString().size(), 18000);
    }

    void theGamesCopyIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("targetThere");
        QTest::addColumn<QString>("message");
        QTest::newRow("no question table") << kEmpty << false
                                           << QStringLiteral("Die Access-Datei „%1“ enthält keine Tabelle").arg(kEmpty);
        QTest::newRow("not an Access file") << QStringLiteral(QUIZ_SOURCE_DIR "/data/fragen.csv") << false
                                            << QStringLiteral("„" QUIZ_SOURCE_DIR "/data/fragen.csv“ ist keine Access-Datei.");
        QTest::newRow("target there") << kValid << true << QStringLiteral("gibt es schon");
    }
    void theGamesCopyIsAllOrNothing()
    {
        QFETCH(QString, source);
        QFETCH(bool, targetThere);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("kopie.mdb"));
        if (targetThere)
            testsupport::writeQuestionFile(copy, testsupport::sampleRecords(1));
        const QString error = testsupport::errorOf([&] { quizdb::questionFileFromAccess(source, copy); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), targetThere ? QStringList{QStringLiteral("kopie.mdb")} : QStringList{});
        if (targetThere)
            QCOMPARE(testsupport::readQuestionFile(copy).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestQuizdbAccess)
#include "tst_quizdb_access.moc"
