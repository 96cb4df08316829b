// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The record cursor of the question store: positions, moves, field reads and
// writes, with the game's and the editor's connections open on one file at
// the same time, as the two windows have them.
#include "store/store.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sqlite3.h>

using store::DBEngine;
using store::Database;
using store::Recordset;
using testsupport::Record;

namespace {

QString frage(const Recordset& rs)
{
    return rs.Fields(QStringLiteral("Frage")).toString();
}

// The position as one word, so a failing comparison says where the cursor is.
QString where(const Recordset& rs)
{
    if (rs.IsBOF() && rs.IsEOF())
        return QStringLiteral("empty");
    if (rs.IsBOF())
        return QStringLiteral("BOF");
    if (rs.IsEOF())
        return QStringLiteral("EOF");
    return frage(rs);
}

QStringList fragen(const QList<Record>& recs)
{
    QStringList out;
    for (const Record& r : recs)
        out << r.value(QStringLiteral("Frage")).toString();
    return out;
}

using testsupport::errorOf;

} // namespace

class TestStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // A fresh question file with `n` sample records, opened twice: `game`
    // first, then `editor`, as the windows do.
    std::unique_ptr<Database> m_gameDb, m_editorDb;
    std::unique_ptr<Recordset> game, editor;

    void openFile(int n)
    {
        game.reset();
        editor.reset();
        m_gameDb.reset();
        m_editorDb.reset();
        QFile::remove(m_path);
        testsupport::writeQuestionFile(m_path, testsupport::sampleRecords(n));
        m_gameDb = DBEngine::instance().OpenDatabase(m_path);
        game = m_gameDb->OpenRecordset(store::kTable);
        m_editorDb = DBEngine::instance().OpenDatabase(m_path);
        editor = m_editorDb->OpenRecordset(store::kTable);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(store::kFileName);
    }
    void cleanup()
    {
        game.reset();
        editor.reset();
        m_gameDb.reset();
        m_editorDb.reset();
    }

    void engineIsOnePerProcess() { QCOMPARE(&DBEngine::instance(), &DBEngine::instance()); }

    void openMakesFirstRecordCurrent()
    {
        openFile(3);
        QVERIFY(!game->IsBOF());
        QVERIFY(!game->IsEOF());
        QCOMPARE(frage(*game), QStringLiteral("Frage 1"));
        QCOMPARE(game->Fields(QStringLiteral("AntwortC")).toString(), QStringLiteral("Antwort C1"));
        QCOMPARE(game->EditMode(), 0);
        QCOMPARE(frage(*editor), QStringLiteral("Frage 1"));
    }

    void emptyTableHasBothEnds()
    {
        openFile(0);
        QVERIFY(game->IsBOF());
        QVERIFY(game->IsEOF());
        QVERIFY(!errorOf([&] { game->Fields(QStringLiteral("Frage")); }).isEmpty());
    }

    void movesFailOnEmptyTable_data()
    {
        QTest::addColumn<QString>("move");
        QTest::newRow("MoveFirst") << "MoveFirst";
        QTest::newRow("MoveLast") << "MoveLast";
        QTest::newRow("MoveNext") << "MoveNext";
        QTest::newRow("MovePrevious") << "MovePrevious";
    }
    void movesFailOnEmptyTable()
    {
        QFETCH(QString, move);
        openFile(0);
        const QString message = errorOf([&] { doMove(*game, move); });
        QVERIFY2(!message.isEmpty(), qPrintable(move));
        QCOMPARE(where(*game), QStringLiteral("empty"));
    }

    void moveNextFromLastSetsEOF()
    {
        openFile(3);
        game->MoveLast();
        QCOMPARE(frage(*game), QStringLiteral("Frage 3"));
        game->MoveNext();
        QVERIFY(game->IsEOF());
        QVERIFY(!game->IsBOF());
        QVERIFY(errorOf([&] { frage(*game); }).contains(QStringLiteral("Kein aktueller Datensatz")));
        QVERIFY(!errorOf([&] { game->MoveNext(); }).isEmpty());
        QVERIFY(game->IsEOF());
        game->MoveFirst();
        QCOMPARE(where(*game), QStringLiteral("Frage 1"));
    }

    void movePreviousFromFirstSetsBOF()
    {
        openFile(3);
        game->MovePrevious();
        QVERIFY(game->IsBOF());
        QVERIFY(!game->IsEOF());
        QVERIFY(!errorOf([&] { frage(*game); }).isEmpty());
        QVERIFY(!errorOf([&] { game->MovePrevious(); }).isEmpty());
        game->MoveNext(); // from before the start to the first record
        QCOMPARE(where(*game), QStringLiteral("Frage 1"));
    }

    void movePreviousFromEOFReachesLast()
    {
        openFile(3);
        game->MoveLast();
        game->MoveNext();
        game->MovePrevious();
        QCOMPARE(where(*game), QStringLiteral("Frage 3"));
    }

    void gameCyclesThroughTable()
    {
        openFile(3);
        QStringList seen;
        for (int i = 0; i < 7; ++i) {
            seen << frage(*game);
            game->MoveNext();
            if (game->IsEOF())
                game->MoveFirst();
        }
        QCOMPARE(seen, (QStringList{"Frage 1", "Frage 2", "Frage 3", "Frage 1", "Frage 2", "Frage 3", "Frage 1"}));
    }

    void appendKeepsFormerCurrentRecord()
    {
        openFile(3);
        editor->MoveLast();
        editor->AddNew();
        QCOMPARE(editor->EditMode(), 2);
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("Neue Frage"));
        editor->Collect(QStringLiteral("Richtig"), QStringLiteral("C"));
        editor->Update();
        QCOMPARE(editor->EditMode(), 0);
        QCOMPARE(where(*editor), QStringLiteral("Frage 3"));
        editor->MoveNext();
        QCOMPARE(where(*editor), QStringLiteral("Neue Frage"));
        QCOMPARE(editor->Fields(QStringLiteral("Richtig")).toString(), QStringLiteral("C"));
        // Fields not collected stay without a value.
        QVERIFY(editor->Fields(QStringLiteral("AntwortA")).isNull());
        editor->MoveNext();
        QCOMPARE(where(*editor), QStringLiteral("EOF"));

        // The game's record set reaches the new record as well.
        game->MoveLast();
        QCOMPARE(where(*game), QStringLiteral("Neue Frage"));
        QCOMPARE(fragen(testsupport::readQuestionFile(m_path)).last(), QStringLiteral("Neue Frage"));
    }

    void appendAfterDeletingLastComesLast()
    {
        openFile(3);
        editor->MoveLast();
        editor->Delete();
        editor->AddNew();
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("Neu"));
        editor->Update();
        QCOMPARE(fragen(testsupport::readQuestionFile(m_path)), (QStringList{"Frage 1", "Frage 2", "Neu"}));
        game->MoveLast();
        QCOMPARE(where(*game), QStringLiteral("Neu"));
        editor->MoveNext(); // from the hole of the deleted last record
        QCOMPARE(where(*editor), QStringLiteral("Neu"));
    }

    void appendToEmptyTable()
    {
        openFile(0);
        editor->AddNew();
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("Erste"));
        editor->Update();
        editor->MoveFirst();
        QCOMPARE(where(*editor), QStringLiteral("Erste"));
        game->MoveLast();
        QCOMPARE(where(*game), QStringLiteral("Erste"));
    }

    void deleteStaysOnHole_data()
    {
        QTest::addColumn<int>("position");  // 1-based record to delete
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("left");
        const QStringList without2{"Frage 1", "Frage 3"};
        const QStringList without3{"Frage 1", "Frage 2"};
        const QStringList without1{"Frage 2", "Frage 3"};
        QTest::newRow("middle, next") << 2 << "MoveNext" << "Frage 3" << without2;
        QTest::newRow("middle, previous") << 2 << "MovePrevious" << "Frage 1" << without2;
        QTest::newRow("last, next") << 3 << "MoveNext" << "EOF" << without3;
        QTest::newRow("last, previous") << 3 << "MovePrevious" << "Frage 2" << without3;
        QTest::newRow("first, previous") << 1 << "MovePrevious" << "BOF" << without1;
        QTest::newRow("first, next") << 1 << "MoveNext" << "Frage 2" << without1;
        QTest::newRow("middle, last") << 2 << "MoveLast" << "Frage 3" << without2;
        QTest::newRow("last, first") << 3 << "MoveFirst" << "Frage 1" << without3;
    }
    void deleteStaysOnHole()
    {
        QFETCH(int, position);
        QFETCH(QString, move);
        QFETCH(QString, after);
        QFETCH(QStringList, left);
        openFile(3);
        for (int i = 1; i < position; ++i)
            editor->MoveNext();
        editor->Delete();
        QCOMPARE(fragen(testsupport::readQuestionFile(m_path)), left);
        // On the hole: no end is reached, and the deleted record cannot be read.
        QVERIFY(!editor->IsEOF());
        QVERIFY(!editor->IsBOF());
        QVERIFY(errorOf([&] { frage(*editor); }).contains(QStringLiteral("gelöscht")));
        QVERIFY(!errorOf([&] { editor->Edit(); }).isEmpty());
        QVERIFY(!errorOf([&] { editor->Delete(); }).isEmpty());
        doMove(*editor, move);
        QCOMPARE(where(*editor), after);
    }

    void deleteLastThenMoveLast()
    {
        openFile(3);
        editor->MoveLast();
        editor->Delete();
        editor->MoveNext();
        QCOMPARE(where(*editor), QStringLiteral("EOF"));
        editor->MoveLast();
        QCOMPARE(where(*editor), QStringLiteral("Frage 2"));
    }

    void deleteOnlyRecordLeavesEmptySet()
    {
        openFile(1);
        editor->Delete();
        editor->MoveNext();
        QCOMPARE(where(*editor), QStringLiteral("empty"));
        QVERIFY(!errorOf([&] { editor->MoveLast(); }).isEmpty());
    }

    // The editor deletes the record the game stands on: the game reads it as a
    // record without values, and its next move goes on from there.
    void recordDeletedUnderOtherCursorReadsEmpty()
    {
        openFile(3);
        game->MoveNext();
        editor->MoveNext();
        editor->Delete();
        QVERIFY(!game->IsEOF());
        QVERIFY(!game->IsBOF());
        for (const QString& f : store::fieldNames()) {
            const QVariant v = game->Fields(f);
            QVERIFY2(v.isNull(), qPrintable(f));
        }
        game->MoveNext();
        QCOMPARE(where(*game), QStringLiteral("Frage 3"));
        game->MovePrevious();
        QCOMPARE(where(*game), QStringLiteral("Frage 1"));
    }

    void fieldsAreReadFresh()
    {
        openFile(3);
        QCOMPARE(frage(*game), QStringLiteral("Frage 1"));
        editor->Edit();
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("Geändert"));
        editor->Update();
        QCOMPARE(frage(*game), QStringLiteral("Geändert"));
        QCOMPARE(where(*editor), QStringLiteral("Geändert")); // the edited record stays current
    }

    void editWritesOnlyCollectedFields()
    {
        openFile(2);
        game->Edit();
        game->Collect(QStringLiteral("PublikumA"), QStringLiteral("55"));
        game->Collect(QStringLiteral("PublikumB"), QString());
        game->Update();
        const Record r = testsupport::readQuestionFile(m_path).first();
        QCOMPARE(r.value(QStringLiteral("PublikumA")).toString(), QStringLiteral("55"));
        QCOMPARE(r.value(QStringLiteral("PublikumB")).toString(), QStringLiteral(""));
        QCOMPARE(r.value(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 1"));
        QCOMPARE(r.value(QStringLiteral("PublikumC")).toString(), QStringLiteral("20"));
        QCOMPARE(testsupport::readQuestionFile(m_path).at(1), testsupport::sampleRecord(2));
    }

    void valuesReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        const QString empty = QStringLiteral("");
        QTest::newRow("empty text") << "JokerTV" << QVariant(empty) << QVariant(empty);
        QTest::newRow("empty box text") << "PublikumA" << QVariant(QString()) << QVariant(empty);
        QTest::newRow("no value") << "JokerTV" << QVariant() << QVariant();
        QTest::newRow("Frage 110") << "Frage" << QVariant(QString(110, QChar(u'ß')))
                                   << QVariant(QString(110, QChar(u'ß')));
        QTest::newRow("Antwort 40") << "AntwortD" << QVariant(QStringLiteral("Ä").repeated(40))
                                    << QVariant(QStringLiteral("Ä").repeated(40));
        QTest::newRow("Nummer 2") << "Nummer" << QVariant(QStringLiteral("99")) << QVariant(QStringLiteral("99"));
        QTest::newRow("Richtig 1") << "Richtig" << QVariant(QStringLiteral("D")) << QVariant(QStringLiteral("D"));
        QTest::newRow("lower case stays") << "Richtig" << QVariant(QStringLiteral("b"))
                                          << QVariant(QStringLiteral("b"));
        QTest::newRow("JokerTV 20") << "JokerTV" << QVariant(QStringLiteral("x").repeated(20))
                                    << QVariant(QStringLiteral("x").repeated(20));
        QTest::newRow("quote and semicolon") << "Frage" << QVariant(QStringLiteral("a\"; DROP TABLE x; --'"))
                                             << QVariant(QStringLiteral("a\"; DROP TABLE x; --'"));
        QTest::newRow("number as text") << "PublikumD" << QVariant(7) << QVariant(QStringLiteral("7"));
    }
    void valuesReadBackUnchanged()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        openFile(1);
        for (int mode : {1, 2}) {
            if (mode == 1)
                editor->Edit();
            else
                editor->AddNew();
            editor->Collect(field, value);
            editor->Update();
            editor->MoveLast();
            const QVariant got = editor->Fields(field);
            QCOMPARE(got.isNull(), expected.isNull());
            if (!expected.isNull()) {
                QCOMPARE(got.typeId(), int(QMetaType::QString));
                QCOMPARE(got.toString(), expected.toString());
                QVERIFY(!got.toString().isNull());
                QCOMPARE(got.toString() == QStringLiteral("B"), false);
            }
            QCOMPARE(game->Fields(field), got);
        }
    }

    // A file made by another tool may hold numbers: they read back as numbers,
    // a missing value as no value.
    void storedTypesReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(store::kFileName);
        {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
                     SQLITE_OK);
            const char* sql =
                "CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY AUTOINCREMENT, Nummer INTEGER, Frage TEXT, "
                "AntwortA, AntwortB, AntwortC, AntwortD, Richtig, Fraglich, PublikumA REAL, PublikumB, PublikumC, "
                "PublikumD, JokerTV);"
                "INSERT INTO \"Zada-VI-VOZ\" (Nummer, Frage, PublikumA, PublikumB) VALUES (7, '', 12.5, '')";
            QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        auto db = DBEngine::instance().OpenDatabase(path);
        auto rs = db->OpenRecordset(store::kTable);
        const QVariant nummer = rs->Fields(QStringLiteral("Nummer"));
        QCOMPARE(nummer.typeId(), int(QMetaType::LongLong));
        QCOMPARE(nummer.toLongLong(), 7);
        const QVariant share = rs->Fields(QStringLiteral("PublikumA"));
        QCOMPARE(share.typeId(), int(QMetaType::Double));
        QCOMPARE(share.toDouble(), 12.5);
        QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral(""));
        QVERIFY(!rs->Fields(QStringLiteral("Frage")).toString().isNull());
        QVERIFY(!rs->Fields(QStringLiteral("PublikumB")).isNull());
        QVERIFY(rs->Fields(QStringLiteral("AntwortA")).isNull());
        QVERIFY(!rs->Fields(QStringLiteral("AntwortA")).isValid());
    }

    void badStates_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::newRow("Collect without edit") << "collect";
        QTest::newRow("Collect after Update") << "collect after update";
        QTest::newRow("Collect after CancelUpdate") << "collect after cancel";
        QTest::newRow("Update without edit") << "update";
        QTest::newRow("Fields of an unknown field") << "unknown field";
        QTest::newRow("Collect of an unknown field") << "unknown collect";
        QTest::newRow("Fields at EOF") << "fields eof";
        QTest::newRow("Fields at BOF") << "fields bof";
        QTest::newRow("Edit at EOF") << "edit eof";
        QTest::newRow("Delete at BOF") << "delete bof";
        QTest::newRow("wrong table") << "wrong table";
    }
    void badStates()
    {
        QFETCH(QString, case_);
        openFile(2);
        const auto before = testsupport::readQuestionFile(m_path);
        const QString msg = errorOf([&] {
            if (case_ == QLatin1String("collect")) {
                editor->Collect(QStringLiteral("Frage"), QStringLiteral("x"));
            } else if (case_ == QLatin1String("collect after update")) {
                editor->Edit();
                editor->Update();
                editor->Collect(QStringLiteral("Frage"), QStringLiteral("x"));
            } else if (case_ == QLatin1String("collect after cancel")) {
                editor->AddNew();
                editor->CancelUpdate();
                QCOMPARE(editor->EditMode(), 0);
                editor->Collect(QStringLiteral("Frage"), QStringLiteral("x"));
            } else if (case_ == QLatin1String("update")) {
                editor->Update();
            } else if (case_ == QLatin1String("unknown field")) {
                editor->Fields(QStringLiteral("Frage\" FROM x; --"));
            } else if (case_ == QLatin1String("unknown collect")) {
                editor->Edit();
                editor->Collect(QStringLiteral("Satz"), QStringLiteral("1"));
            } else if (case_ == QLatin1String("fields eof")) {
                editor->MoveLast();
                editor->MoveNext();
                editor->Fields(QStringLiteral("Frage"));
            } else if (case_ == QLatin1String("fields bof")) {
                editor->MovePrevious();
                editor->Fields(QStringLiteral("Frage"));
            } else if (case_ == QLatin1String("edit eof")) {
                editor->MoveLast();
                editor->MoveNext();
                editor->Edit();
            } else if (case_ == QLatin1String("delete bof")) {
                editor->MovePrevious();
                editor->Delete();
            } else if (case_ == QLatin1String("wrong table")) {
                m_editorDb->OpenRecordset(QStringLiteral("Fragen"));
            }
        });
        QVERIFY2(!msg.isEmpty(), "no store::Error");
        QCOMPARE(testsupport::readQuestionFile(m_path), before);
    }

    void moveCancelsPendingEdit()
    {
        openFile(2);
        editor->Edit();
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("verworfen"));
        editor->MoveNext();
        QCOMPARE(editor->EditMode(), 0);
        QVERIFY(!errorOf([&] { editor->Update(); }).isEmpty());
        QCOMPARE(fragen(testsupport::readQuestionFile(m_path)), (QStringList{"Frage 1", "Frage 2"}));
    }

    void editAgainReplacesPendingEdit()
    {
        openFile(1);
        editor->Edit();
        editor->Collect(QStringLiteral("Frage"), QStringLiteral("verworfen"));
        editor->Edit();
        editor->Collect(QStringLiteral("AntwortA"), QStringLiteral("neu"));
        editor->Update();
        const Record r = testsupport::readQuestionFile(m_path).first();
        QCOMPARE(r.value(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 1"));
        QCOMPARE(r.value(QStringLiteral("AntwortA")).toString(), QStringLiteral("neu"));
    }

    void updateOfRecordDeletedMeanwhileFails()
    {
        openFile(2);
        game->Edit();
        game->Collect(QStringLiteral("Frage"), QStringLiteral("zu spät"));
        editor->Delete();
        const QString msg = errorOf([&] { game->Update(); });
        QVERIFY(msg.contains(QStringLiteral("gelöscht")));
        QCOMPARE(game->EditMode(), 0);
        QCOMPARE(fragen(testsupport::readQuestionFile(m_path)), QStringList{"Frage 2"});
    }

    void closedDatabaseRefusesWork()
    {
        openFile(2);
        m_gameDb->Close();
        QVERIFY(!errorOf([&] { frage(*game); }).isEmpty());
        QVERIFY(!errorOf([&] { game->MoveNext(); }).isEmpty());
        QVERIFY(!errorOf([&] { m_gameDb->OpenRecordset(store::kTable); }).isEmpty());
        // The other connection goes on.
        editor->MoveNext();
        QCOMPARE(frage(*editor), QStringLiteral("Frage 2"));
        game->Close();
        game.reset();
        m_gameDb.reset();
    }

    void closedRecordsetRefusesWork()
    {
        openFile(2);
        game->Close();
        QVERIFY(!errorOf([&] { game->MoveNext(); }).isEmpty());
        QVERIFY(!errorOf([&] { game->IsEOF(); }).isEmpty());
        m_gameDb->Close();
    }

public:
    static void doMove(Recordset& rs, const QString& move)
    {
        if (move == QLatin1String("MoveFirst"))
            rs.MoveFirst();
        else if (move == QLatin1String("MoveLast"))
            rs.MoveLast();
        else if (move == QLatin1String("MoveNext"))
            rs.MoveNext();
        else if (move == QLatin1String("MovePrevious"))
            rs.MovePrevious();
        else
            QFAIL("unknown move");
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
