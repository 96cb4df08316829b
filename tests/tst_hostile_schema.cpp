// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Valid question files with a hostile schema, and two editors on one file.
// Each file goes through the real start-up of the game and the real editor:
// either it is refused with a clear message, or the editor's one action does
// exactly what it says. Afterwards the file holds exactly that one change, or
// is byte for byte what it was.
#include "editor/frmEditor.h"
#include "game/frmQuiz.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sqlite3.h>

using testsupport::DialogAnswerer;
using testsupport::Record;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs SQL through a plain connection of "another program"; returns the
// number in the first column of its last row (0 when none), -1 on failure.
int execSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    int last = 0;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(),
                                [](void* out, int, char** row, char**) {
                                    *static_cast<int*>(out) = row[0] ? atoi(row[0]) : 0;
                                    return 0;
                                },
                                &last, nullptr);
    if (rc != SQLITE_OK)
        qWarning("%s", sqlite3_errmsg(db));
    sqlite3_close(db);
    return rc == SQLITE_OK ? last : -1;
}

// The thirteen field names, quoted, comma-separated; with `type` each followed by it.
QString fields(const QString& type = QString())
{
    QStringList names;
    for (const QString& f : store::fieldNames())
        names << QStringLiteral("\"%1\"%2").arg(f, type);
    return names.join(QLatin1Char(','));
}

// The question table made anew by `create`, the four good records copied in.
QString remake(const QString& create, const QString& columns = fields(), const QString& values = fields())
{
    return QStringLiteral("ALTER TABLE \"Zada-VI-VOZ\" RENAME TO quelle; %1;"
                          "INSERT INTO \"Zada-VI-VOZ\" (%2) SELECT %3 FROM quelle ORDER BY Satz; DROP TABLE quelle;")
        .arg(create, columns, values);
}

const QString kEndless = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) ");
const QString kTyped = QStringLiteral("Eingetippt");

} // namespace

class TestHostileSchema : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

    void writeRecords()
    {
        // A joker text of its own: an empty one the editor saves back as "Nicht einer".
        QList<Record> records;
        for (int n = 1; n <= 4; ++n) {
            records << testsupport::sampleRecord(n);
            records.last()[store::field::JokerTV] = QStringLiteral("Joker %1").arg(n);
        }
        testsupport::writeQuestionFile(m_file, records);
        execSql(m_file, QStringLiteral("CREATE TABLE side(x)"));
    }

    // Clicks the editor's buttons named in `buttons` (comma-separated) and
    // answers Yes to a delete question; returns the texts of the other
    // message boxes shown.
    // "sql:<statement>" in between is another program's write.
    QStringList click(frmEditor& ed, const QString& buttons)
    {
        DialogAnswerer answerer({QStringLiteral("yes"), QStringLiteral("ok")});
        for (const QString& name : buttons.split(QLatin1Char(','))) {
            if (name.startsWith(QLatin1String("sql:")) && execSql(m_file, name.mid(4)) != 0)
                QTest::qFail("another program could not write", __FILE__, __LINE__);
            else if (!name.startsWith(QLatin1String("sql:")))
                ed.findChild<QPushButton*>(name)->click();
        }
        QStringList texts;
        for (const testsupport::SeenDialog& d : answerer.seen())
            if (d.text != QStringLiteral("Satz wirklich Löschen (j/n)?"))
                texts << d.text;
        return texts;
    }

private Q_SLOTS:
    void initTestCase() { testsupport::catchEndProgram(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_file = m_dir->filePath(store::kFileName);
        platform::setProgramDirectory(m_dir->path());
        writeRecords();
    }

    // `sql` turns four good records into the case ("copy": the damaged file
    // instead). `playable`: the game starts on it. `refusal`: the message with
    // which the editor refuses it (empty: it opens). `action`, `status`,
    // `message`: the editor buttons the user clicks after typing a question,
    // the status line then, the message box shown (empty: none). `change`:
    // the file afterwards against before: "none" (byte-identical), "Frage"
    // (the first record's question is the typed text), "added" (one record
    // more), "first deleted".
    void hostileSchema_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("change");

        const QString changed = QStringLiteral("Datensatz geändert");
        const QString unreadable = QStringLiteral("Datensatz nicht lesbar - bitte erneut versuchen");
        const QString side = QStringLiteral("CREATE TRIGGER evil AFTER ");
        const QString tooBig = QStringLiteral("Das Feld „%1“ eines Datensatzes der Fragendatei „<file>“ ist größer als "
                                              "1 MiB und kann nicht gelesen werden.");
        const auto refused = [](const char* name, const QString& sql, const QString& why) {
            QTest::newRow(name) << sql << false << why << "" << "" << "" << "none";
        };

        QTest::newRow("trigger on update")
            << side + "UPDATE ON \"Zada-VI-VOZ\" BEGIN DELETE FROM \"Zada-VI-VOZ\" WHERE rowid<>NEW.rowid; "
                      "INSERT INTO side VALUES('ran'); END;"
            << true << "" << "cmdÄndern" << changed << "" << "Frage";
        QTest::newRow("trigger on insert")
            << side + "INSERT ON \"Zada-VI-VOZ\" BEGIN UPDATE \"Zada-VI-VOZ\" SET Frage='überschrieben'; "
                      "INSERT INTO side VALUES('ran'); END;"
            << true << "" << "cmdHinzufügen" << "Datensatz angehängt" << "" << "added";
        QTest::newRow("endless recursive trigger")
            << side + "UPDATE ON \"Zada-VI-VOZ\" BEGIN INSERT INTO side " + kEndless + "SELECT count(*) FROM c; END;"
            << true << "" << "cmdÄndern" << changed << "" << "Frage";
        refused("view named like the table",
                "ALTER TABLE \"Zada-VI-VOZ\" RENAME TO fragen; CREATE VIEW \"Zada-VI-VOZ\" AS " + kEndless + "SELECT x AS "
                    + fields().replace(QLatin1Char(','), QStringLiteral(", x AS ")) + " FROM c",
                QStringLiteral("In der Fragendatei „<file>“ fehlt die Tabelle „Zada-VI-VOZ“."));
        // The user's own "rowid" says 1, 1, 1, 2.
        const QString rowidColumn = remake("CREATE TABLE \"Zada-VI-VOZ\" (rowid TEXT, " + fields(" TEXT") + ")",
                                           "rowid," + fields(), "CASE WHEN Satz<4 THEN '1' ELSE '2' END," + fields());
        QTest::newRow("rowid column, change") << rowidColumn << true << "" << "cmdÄndern" << changed << "" << "Frage";
        QTest::newRow("rowid column, delete") << rowidColumn << true << "" << "cmdLöschen" << "Datensatz gelöscht" << ""
                                              << "first deleted";
        refused("rowid, _rowid_ and oid columns",
                remake("CREATE TABLE \"Zada-VI-VOZ\" (rowid TEXT, _rowid_ TEXT, oid TEXT, " + fields(" TEXT") + ")"),
                QStringLiteral("Die Tabelle „Zada-VI-VOZ“ der Fragendatei „<file>“ hat eigene Spalten „rowid“, „_rowid_“ "
                               "und „oid“, die die Satznummer verdecken; ihre Datensätze kann das Quiz nicht sicher "
                               "unterscheiden."));
        refused("WITHOUT ROWID",
                remake("CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY, " + fields(" TEXT") + ") WITHOUT ROWID",
                       "Satz," + fields(), "Satz," + fields()),
                QStringLiteral("Die Tabelle „Zada-VI-VOZ“ der Fragendatei „<file>“ hat keine Satznummern (WITHOUT "
                               "ROWID); ihre Datensätze kann das Quiz nicht sicher unterscheiden."));
        const QString copied = fields().remove(QStringLiteral("\"AntwortA\","));
        refused("generated AntwortA",
                remake("CREATE TABLE \"Zada-VI-VOZ\" ("
                           + fields(" TEXT").replace("\"AntwortA\" TEXT",
                                                     "\"AntwortA\" TEXT GENERATED ALWAYS AS (zeroblob(300000000)) VIRTUAL")
                           + ")",
                       copied, copied),
                QStringLiteral("Die Tabelle „Zada-VI-VOZ“ der Fragendatei „<file>“ speichert Felder nicht, sondern "
                               "berechnet sie: AntwortA. Solche Felder kann das Quiz weder lesen noch ändern."));
        refused("2 MiB value in the first question",
                "UPDATE \"Zada-VI-VOZ\" SET Frage=printf('%.*c', 2097152, 'x') WHERE Satz=1", tooBig.arg("Frage"));
        QTest::newRow("2 MiB value in the second record")
            << "UPDATE \"Zada-VI-VOZ\" SET AntwortC=printf('%.*c', 2097152, 'x') WHERE Satz=2" << true << ""
            << "cmdNächster" << unreadable << tooBig.arg("AntwortC") << "none";
        // Its first record has no question text, so the game refuses it; its
        // backward seek never moved, so the editor's "<" stayed where it was.
        // A file of another tool without AUTOINCREMENT whose highest key is
        // taken: SQLite gives the new record a random free key, and the change
        // after the add must reach that record, not the last one.
        QTest::newRow("highest key taken, add then change")
            << remake("CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY, " + fields(" TEXT") + ")",
                      "Satz," + fields(), "CASE WHEN Satz=4 THEN 9223372036854775807 ELSE Satz END," + fields())
            << true << "" << "cmdHinzufügen,cmdÄndern" << changed << "" << "added";
        QTest::newRow("AUTOINCREMENT used up, add")
            << "UPDATE \"Zada-VI-VOZ\" SET Satz=9223372036854775807 WHERE Satz=4" << true << "" << "cmdHinzufügen"
            << "Datensatz nicht angehängt - es wurde nichts gespeichert" << "hat keine freie Satznummer mehr" << "none";
        // Fields written by another tool that the editor could not write back
        // unseen: only the question typed is saved.
        QTest::newRow("untouched long, broken, binary and numeric fields")
            << "UPDATE \"Zada-VI-VOZ\" SET AntwortA=printf('%.*c', 60, 'x'), AntwortB=CAST(X'41FF42' AS TEXT), "
               "AntwortC=X'00FF', Nummer=7, Richtig='AB' WHERE Satz=1"
            << true << "" << "cmdÄndern" << changed << "" << "Frage";
        QTest::newRow("broken bytes changed meanwhile")
            << "UPDATE \"Zada-VI-VOZ\" SET AntwortB=CAST(X'41FF42' AS TEXT) WHERE Satz=1" << true << ""
            << "sql:UPDATE \"Zada-VI-VOZ\" SET AntwortB=CAST(X'41FE42' AS TEXT) WHERE Satz=1,cmdÄndern"
            << "Datensatz nicht geändert - es wurde nichts gespeichert" << "von einem anderen Programm geändert: Antwort B"
            << "AntwortB meanwhile";
        // Checks that would compute for seconds on every save are not run.
        // (The records are copied in without them.)
        QStringList slowChecks;
        for (int i = 0; i < 10; ++i)
            slowChecks << QStringLiteral("CHECK (instr(printf('%.*c', 1000000, 'a') || Frage, printf('%.*c', 30000, 'a') || '%1') = 0)").arg(i);
        QTest::newRow("expensive CHECK constraints")
            << "PRAGMA ignore_check_constraints=ON;"
                   + remake("CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY AUTOINCREMENT, " + fields(" TEXT")
                            + "," + slowChecks.join(QLatin1Char(',')) + ")",
                            "Satz," + fields(), "Satz," + fields())
            << true << "" << "cmdÄndern" << changed << "" << "Frage";
        QTest::newRow("damaged file") << "copy" << false << "" << "cmdLetzter,cmdVorhergehender" << unreadable
                                      << "Die Fragendatei „<file>“ kann nicht gelesen werden: die Datei ist "
                                         "beschädigt oder keine Fragendatei."
                                      << "none";
    }

    void hostileSchema()
    {
        QFETCH(QString, sql);
        QFETCH(bool, playable);
        QFETCH(QString, refusal);
        QFETCH(QString, action);
        QFETCH(QString, message);
        QFETCH(QString, change);
        refusal.replace(QLatin1String("<file>"), QDir::toNativeSeparators(m_file));
        message.replace(QLatin1String("<file>"), QDir::toNativeSeparators(m_file));

        if (sql == QLatin1String("copy")) {
            QFile::remove(m_file);
            QVERIFY(QFile::copy(QStringLiteral(QUIZ_SOURCE_DIR "/fuzz/seeds/questionfile/endless-previous.mdb"), m_file));
            QVERIFY(QFile::setPermissions(m_file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        } else {
            QCOMPARE(execSql(m_file, sql), 0);
        }
        const QByteArray bytesBefore = bytesOf(m_file);
        // Read only where a change is expected: a view named like the table never ends.
        const QList<Record> before = change == QLatin1String("none") ? QList<Record>() : testsupport::readQuestionFile(m_file);

        {
            frmQuiz game;
            DialogAnswerer answerer({QStringLiteral("input:Anna"), QStringLiteral("ok"), QStringLiteral("ok")});
            bool ended = false;
            try {
                game.Form_Load();
            } catch (const testsupport::ProgramEnded&) {
                ended = true;
            }
            QCOMPARE(ended, !playable);
            QCOMPARE(answerer.seen().size(), playable ? 1 : 2); // the name prompt, or the two start-up messages
            QCOMPARE(game.lblFrage->text(), playable ? QStringLiteral("Frage 1") : QStringLiteral("Fragetext"));
        }

        frmEditor ed;
        QString opening;
        try {
            ed.Form_Load();
        } catch (const store::Error& e) {
            opening = e.message();
        }
        QCOMPARE(opening, refusal);
        if (refusal.isEmpty()) {
            ed.txtFrage->setText(kTyped);
            const QStringList messages = click(ed, action);
            QTEST(ed.lblStatus->text(), "status");
            QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
            if (!message.isEmpty())
                QVERIFY2(messages.at(0).contains(message), qPrintable(messages.at(0)));
        }

        if (change == QLatin1String("none")) {
            QCOMPARE(bytesOf(m_file), bytesBefore);
            return;
        }
        QCOMPARE(execSql(m_file, QStringLiteral("SELECT count(*) FROM side")), 0);
        const QList<Record> after = testsupport::readQuestionFile(m_file);
        QList<Record> expected = before;
        if (change == QLatin1String("Frage"))
            expected[0][store::field::Frage] = kTyped;
        else if (change == QLatin1String("first deleted"))
            expected.removeFirst();
        else if (change == QLatin1String("AntwortB meanwhile"))
            expected[0][store::field::AntwortB] = QVariant::fromValue(store::RawText{QByteArray("A\xFE" "B")});
        else if (QList<Record> added = after; std::all_of(before.begin(), before.end(), [&](const Record& r) {
                     return added.removeOne(r);
                 }) && added.size() == 1 && added.first().value(store::field::Frage) == kTyped)
            expected = after; // one record more, wherever its key put it
        QCOMPARE(after, expected);
    }

    // Two editors (two copies of the program) show the first record. B saves
    // a new question text; A's change or delete, made on what A showed, is
    // refused with a message naming the box B changed and writes nothing.
    // Pressed again, A's button acts knowingly.
    void twoEditors_data()
    {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("change, then change") << false;
        QTest::newRow("change, then delete") << true;
    }

    void twoEditors()
    {
        QFETCH(bool, deleting);
        frmEditor a;
        frmEditor b;
        a.Form_Load();
        b.Form_Load();
        b.txtFrage->setText(QStringLiteral("Von B"));
        b.cmdÄndern_Click();
        QCOMPARE(b.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        QList<Record> expected = testsupport::readQuestionFile(m_file);

        a.txtAntA->setText(QStringLiteral("Von A"));
        const QString button = deleting ? QStringLiteral("cmdLöschen") : QStringLiteral("cmdÄndern");
        QCOMPARE(click(a, button),
                 QStringList{QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Programm geändert: Frage.\n\n"
                                            "Es wurde nichts gespeichert; Ihre Eingaben stehen noch in den Feldern. Ein "
                                            "erneuter Klick auf „%1“ überschreibt die Änderungen des anderen Programms.")
                                 .arg(deleting ? QStringLiteral("DS Löschen") : QStringLiteral("DS Ändern"))});
        QCOMPARE(a.lblStatus->text(), QStringLiteral("Datensatz nicht %1 - es wurde nichts gespeichert")
                                          .arg(deleting ? QStringLiteral("gelöscht") : QStringLiteral("geändert")));
        QCOMPARE(a.txtFrage->text(), QStringLiteral("Frage 1"));
        QCOMPARE(a.txtAntA->text(), QStringLiteral("Von A"));
        QCOMPARE(testsupport::readQuestionFile(m_file), expected);

        QCOMPARE(click(a, button), QStringList());
        if (deleting) {
            QCOMPARE(a.lblStatus->text(), QStringLiteral("Datensatz gelöscht"));
            expected.removeFirst();
        } else {
            QCOMPARE(a.lblStatus->text(), QStringLiteral("Datensatz geändert"));
            expected[0][store::field::Frage] = QStringLiteral("Frage 1");
            expected[0][store::field::AntwortA] = QStringLiteral("Von A");
        }
        QCOMPARE(testsupport::readQuestionFile(m_file), expected);
    }
};

QTEST_MAIN(TestHostileSchema)
#include "tst_hostile_schema.moc"
