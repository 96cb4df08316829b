// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up on question files that are damaged, foreign or full of odd values.
// Each case puts one file into the program directory and runs the real start-up:
// either the two start-up messages appear and the program ends with the file
// untouched, or the game is playable: the jokers, an answer by button and a new
// game all work on the odd question, and the audience animation and the phone
// countdown come to their end. Never a crash, never a hang.
#include "game/frmQuiz.h"
#include "platform/Shape.h"
#include "platform/platform.h"
#include "platform/questionfile.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sqlite3.h>

using testsupport::DialogAnswerer;
using testsupport::ProgramEnded;
using testsupport::Record;

namespace {

// A well-formed question whose right answer is A, kept B; audience 40/30/20/10.
Record goodRecord(int n) { return testsupport::sampleRecord(n, QStringLiteral("A")); }

QList<Record> goodRecords(int count)
{
    QList<Record> records;
    for (int n = 1; n <= count; ++n)
        records << goodRecord(n);
    return records;
}

Record allNull()
{
    Record r;
    for (const QString& f : store::fieldNames())
        r[f] = QVariant();
    return r;
}

QByteArray randomBytes(quint32 seed, int size)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(gen.bounded(256));
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        QFAIL("cannot write the test file");
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void execSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    const QString why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(why));
}

// The question table with one field left out, holding one otherwise good record.
void writeTableWithout(const QString& path, const QString& missing)
{
    QString create = QStringLiteral("CREATE TABLE \"%1\" (\"Satz\" INTEGER PRIMARY KEY AUTOINCREMENT").arg(store::kTable);
    QString insert = QStringLiteral("INSERT INTO \"%1\" (").arg(store::kTable);
    QString values;
    const Record r = goodRecord(1);
    for (const QString& f : store::fieldNames()) {
        if (f == missing)
            continue;
        create += QStringLiteral(", \"%1\" TEXT").arg(f);
        insert += QStringLiteral("\"%1\",").arg(f);
        values += QStringLiteral("'%1',").arg(r.value(f).toString());
    }
    insert.chop(1);
    values.chop(1);
    const QByteArray sql = (create + QStringLiteral(");") + insert + QStringLiteral(") VALUES (") + values
                            + QStringLiteral(");"))
                               .toUtf8();
    execSql(path, sql.constData());
}

const QString kLong = QStringLiteral("Wie lang ist diese Frage? ").repeated(400).left(10000);
const QString kLongAnswer = QStringLiteral("sehr lang ").repeated(1000);
// A character outside the basic plane: two UTF-16 units, one character.
const QString kClef = QString::fromUtf8("\xF0\x9D\x84\x9E");
// Hebrew and Arabic text, a right-to-left mark, and letters built from base
// letters and combining marks (e + acute, a stack of marks on one letter).
const QString kRtl = QStringLiteral("מה השעה? \u200Fما هو الجواب؟");
// Markup that Qt's rich-text detection would render: shown, it must read as typed.
const QString kMarkup = QStringLiteral("<b>fett</b> <img src=\"nirgends.png\">");
const QString kCombining = QStringLiteral("Cafe\u0301 Zo\u0308e Z\u0335\u0336\u0337\u0338\u0321\u0322a\u0301\u0302\u0303\u0304?");

} // namespace

class TestGameHostile : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString filePath() const { return m_dir->filePath(store::kFileName); }

    // Writes the question file of one case.
    void writeCase(const QString& kind)
    {
        const QString path = filePath();
        QList<Record> records = goodRecords(3);
        if (kind == QLatin1String("empty file")) {
            writeBytes(path, QByteArray());
        } else if (kind == QLatin1String("random bytes")) {
            writeBytes(path, randomBytes(7, 8192));
        } else if (kind == QLatin1String("SQLite header, then random bytes")) {
            writeBytes(path, QByteArray("SQLite format 3\0", 16) + randomBytes(11, 8192 - 16));
        } else if (kind.startsWith(QLatin1String("truncated to "))) {
            // A good file of several pages, cut short.
            const QString good = m_dir->filePath(QStringLiteral("good.sqlite"));
            testsupport::writeQuestionFile(good, goodRecords(300));
            const QByteArray whole = readBytes(good);
            QVERIFY(whole.size() > 8 * 4096);
            const QString cut = kind.mid(13);
            const int size = cut == QLatin1String("100 bytes") ? 100
                : cut == QLatin1String("one page")             ? 4096
                : cut == QLatin1String("half")                 ? whole.size() / 2
                                                               : whole.size() - 4096; // "all but one page"
            writeBytes(path, whole.left(size));
        } else if (kind == QLatin1String("Jet database header")) {
            QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
            jet += randomBytes(3, 4096 - jet.size());
            writeBytes(path, jet);
        } else if (kind == QLatin1String("SQLite file of another program")) {
            execSql(path, "CREATE TABLE kunden (id INTEGER PRIMARY KEY, name TEXT, ort TEXT);"
                          "INSERT INTO kunden (name, ort) VALUES ('Meier', 'Bonn'), ('Schulz', 'Kiel');");
        } else if (kind == QLatin1String("question table without rows")) {
            testsupport::writeQuestionFile(path, {});
        } else if (kind == QLatin1String("field Richtig missing")) {
            writeTableWithout(path, QStringLiteral("Richtig"));
        } else if (kind == QLatin1String("field PublikumD missing")) {
            writeTableWithout(path, QStringLiteral("PublikumD"));
        } else if (kind == QLatin1String("every field null in every record")) {
            testsupport::writeQuestionFile(path, {allNull(), allNull()});
        } else if (kind == QLatin1String("every field null after a good record")) {
            testsupport::writeQuestionFile(path, {goodRecord(1), allNull(), goodRecord(3)});
        } else {
            // The cases of odd values: the first question carries them.
            Record& r = records[0];
            if (kind == QLatin1String("Richtig and Fraglich lower case")) {
                r[QStringLiteral("Richtig")] = QStringLiteral("b");
                r[QStringLiteral("Fraglich")] = QStringLiteral("c");
            } else if (kind == QLatin1String("Richtig and Fraglich two letters")) {
                r[QStringLiteral("Richtig")] = QStringLiteral("BB");
                r[QStringLiteral("Fraglich")] = QStringLiteral("CD");
            } else if (kind == QLatin1String("Richtig right, Fraglich two letters")) {
                r[QStringLiteral("Richtig")] = QStringLiteral("A");
                r[QStringLiteral("Fraglich")] = QStringLiteral("Bc");
            } else if (kind == QLatin1String("audience fields of text")) {
                r[QStringLiteral("PublikumA")] = QStringLiteral("viele");
                r[QStringLiteral("PublikumB")] = QStringLiteral("");
                r[QStringLiteral("PublikumC")] = QStringLiteral("1e9");
                r[QStringLiteral("PublikumD")] = QStringLiteral("-5");
            } else if (kind == QLatin1String("10,000-character question and answers")) {
                r[QStringLiteral("Frage")] = kLong;
                r[QStringLiteral("AntwortA")] = kLongAnswer;
                r[QStringLiteral("AntwortB")] = kLongAnswer;
                r[QStringLiteral("PublikumA")] = kLong;
            } else if (kind == QLatin1String("20,000-character question and answers")) {
                r[QStringLiteral("Frage")] = QString(kLong + kLong);
                r[QStringLiteral("AntwortA")] = QString(kLongAnswer + kLongAnswer);
                r[QStringLiteral("PublikumA")] = QString(kLong + kLong);
            } else if (kind == QLatin1String("10,001 characters outside the basic plane")) {
                r[QStringLiteral("Frage")] = kClef.repeated(10001);
                r[QStringLiteral("AntwortA")] = kClef.repeated(10000);
            } else if (kind == QLatin1String("right-to-left text")) {
                r[QStringLiteral("Frage")] = kRtl;
                r[QStringLiteral("AntwortA")] = QStringLiteral("שלום");
                r[QStringLiteral("PublikumA")] = QStringLiteral("٤٠"); // Arabic-Indic digits
            } else if (kind == QLatin1String("markup in the answers and the name")) {
                r[QStringLiteral("AntwortA")] = kMarkup;
            } else if (kind == QLatin1String("combining marks")) {
                r[QStringLiteral("Frage")] = kCombining;
                r[QStringLiteral("AntwortA")] = QStringLiteral("A\u0301rger");
                r[QStringLiteral("Richtig")] = QStringLiteral("A\u0301"); // A with a mark is not A
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown case ") + kind));
            }
            testsupport::writeQuestionFile(path, records);
        }
    }

    // Fires a timer's tick through the timer object until it stops itself;
    // returns the number of ticks, or -1 when it did not stop within `limit`.
    static int runDown(QTimer* timer, int limit)
    {
        for (int ticks = 1; ticks <= limit; ++ticks) {
            QMetaObject::invokeMethod(timer, "timeout");
            if (!timer->isActive())
                return ticks;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        testsupport::catchEndProgram();
        platform::setBeepHandler([] {});
    }

    void cleanup()
    {
        platform::setProgramDirectory(QString());
        m_dir.reset();
    }

    // Per case: whether the game can be played on it, and if so what the first
    // question of the game (the odd one) shows and how the jokers and the
    // answer buttons behave on it. `right` is the button that counts as right
    // (empty: none does); `kept` the answer buttons left enabled by the
    // fifty-fifty joker; `label` the audience label of A; `steps` how many
    // steps the audience bar A grows.
    void hostileFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<bool>("oddAfterFirst"); // the odd question is the second record
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("answerA");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("steps");

        auto fatal = [](const char* kind) {
            QTest::newRow(kind) << QString::fromUtf8(kind) << false << false << QString() << QString() << QString()
                                << QString() << QString() << 0;
        };
        // Not a question file at all, or a damaged one: the two messages, the end.
        fatal("empty file");
        fatal("random bytes");
        fatal("SQLite header, then random bytes");
        fatal("truncated to 100 bytes");
        fatal("truncated to one page");
        fatal("truncated to half");
        fatal("truncated to all but one page");
        fatal("Jet database header");
        fatal("SQLite file of another program");
        // A question file that cannot start a game.
        fatal("question table without rows");
        fatal("field Richtig missing");
        fatal("field PublikumD missing");
        fatal("every field null in every record");

        // Playable: odd values are shown as they are and judged exactly.
        QTest::newRow("every field null after a good record")
            << QStringLiteral("every field null after a good record") << true << true << QString()
            << QStringLiteral("A:   ") << QString() << QString() << QStringLiteral("A: %") << 0;
        QTest::newRow("Richtig and Fraglich lower case")
            << QStringLiteral("Richtig and Fraglich lower case") << true << false << QStringLiteral("Frage 1")
            << QStringLiteral("A:   Antwort A1") << QString() << QString() << QStringLiteral("A: 40%") << 40;
        QTest::newRow("Richtig and Fraglich two letters")
            << QStringLiteral("Richtig and Fraglich two letters") << true << false << QStringLiteral("Frage 1")
            << QStringLiteral("A:   Antwort A1") << QString() << QString() << QStringLiteral("A: 40%") << 40;
        QTest::newRow("Richtig right, Fraglich two letters")
            << QStringLiteral("Richtig right, Fraglich two letters") << true << false << QStringLiteral("Frage 1")
            << QStringLiteral("A:   Antwort A1") << QStringLiteral("A") << QStringLiteral("A")
            << QStringLiteral("A: 40%") << 40;
        QTest::newRow("audience fields of text")
            << QStringLiteral("audience fields of text") << true << false << QStringLiteral("Frage 1")
            << QStringLiteral("A:   Antwort A1") << QStringLiteral("A") << QStringLiteral("AB")
            << QStringLiteral("A: viele%") << 0;
        QTest::newRow("10,000-character question and answers")
            << QStringLiteral("10,000-character question and answers") << true << false << kLong
            << QStringLiteral("A:   ") + kLongAnswer << QStringLiteral("A") << QStringLiteral("AB")
            << QStringLiteral("A: ") + kLong + QStringLiteral("%") << 0;
        // Longer than the window lays out in good time: shown cut, stored whole.
        QTest::newRow("20,000-character question and answers")
            << QStringLiteral("20,000-character question and answers") << true << false << kLong + QStringLiteral("…")
            << QStringLiteral("A:   ") + kLongAnswer + QStringLiteral("…") << QStringLiteral("A") << QStringLiteral("AB")
            << QStringLiteral("A: ") + kLong + QStringLiteral("…%") << 0;
        // Cut by characters: a pair of UTF-16 units is one, and never split.
        QTest::newRow("10,001 characters outside the basic plane")
            << QStringLiteral("10,001 characters outside the basic plane") << true << false
            << kClef.repeated(10000) + QStringLiteral("…") << QStringLiteral("A:   ") + kClef.repeated(10000)
            << QStringLiteral("A") << QStringLiteral("AB") << QStringLiteral("A: 40%") << 40;
        QTest::newRow("right-to-left text")
            << QStringLiteral("right-to-left text") << true << false << kRtl << QStringLiteral("A:   שלום")
            << QStringLiteral("A") << QStringLiteral("AB") << QStringLiteral("A: ٤٠%") << 0;
        QTest::newRow("combining marks")
            << QStringLiteral("combining marks") << true << false << kCombining << QStringLiteral("A:   A\u0301rger")
            << QString() << QStringLiteral("B") << QStringLiteral("A: 40%") << 40;
        QTest::newRow("markup in the answers and the name")
            << QStringLiteral("markup in the answers and the name") << true << false << QStringLiteral("Frage 1")
            << QStringLiteral("A:   ") + kMarkup << QString() << QStringLiteral("AB") << QStringLiteral("A: 40%") << 40;
    }

    void hostileFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, playable);
        QFETCH(bool, oddAfterFirst);
        QFETCH(QString, question);
        QFETCH(QString, answerA);
        QFETCH(QString, right);
        QFETCH(QString, kept);
        QFETCH(QString, label);
        QFETCH(int, steps);

        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        writeCase(kind);
        if (QTest::currentTestFailed())
            return;
        const QByteArray before = readBytes(filePath());
        platform::setProgramDirectory(m_dir->path());

        const QString name = kind.startsWith(QLatin1String("markup")) ? QStringLiteral("<i>Anna</i>") : QStringLiteral("Anna");
        frmQuiz w;
        // Spare answers close any dialog nobody expected, so a wrong turn
        // shows up as a failed comparison and never as a hang.
        auto answerer = std::make_unique<DialogAnswerer>(
            QStringList{QStringLiteral("input:") + name, QStringLiteral("ok"), QStringLiteral("ok"),
                        QStringLiteral("cancel"), QStringLiteral("cancel")});
        bool ended = false;
        try {
            w.Form_Load();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        const QList<testsupport::SeenDialog> seen = answerer->seen();
        answerer.reset(); // its spare answers are for start-up only

        if (!playable) {
            QVERIFY2(ended, "the program went on with an unusable file");
            QCOMPARE(seen.size(), 2);
            QCOMPARE(seen.at(0).title, QStringLiteral("das Plomberg-Quiz"));
            QCOMPARE(seen.at(0).text,
                     QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ")
                         + QDir::toNativeSeparators(m_dir->path() + QStringLiteral("/Zada-VI-VOZ.mdb"))
                         + QStringLiteral(" vorhanden ist. Die Datenbank kann unter ")
                         + platform::questionSource(QDir::toNativeSeparators(m_dir->path() + QStringLiteral("/Zada-VI-VOZ.mdb")),
                                                    QStringLiteral("Zada-VI-VOZ.mdb"))
                         + QStringLiteral(" geladen werden."));
            QCOMPARE(seen.at(1).text, QStringLiteral("Das Quiz wird wegen eines Fehlers beendet."));
            QVERIFY(!w.isVisible());
            // Refusing a file changes nothing in it.
            QCOMPARE(readBytes(filePath()), before);
            return;
        }

        QVERIFY2(!ended, "start-up refused a file the game can be played on");
        QCOMPARE(seen.size(), 1); // the name prompt, nothing else
        QCOMPARE(w.txtName->text(), name);
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Wilkommen zum Plomberg-Quiz"));
        w.show();

        if (oddAfterFirst) {
            QCOMPARE(w.lblFrage->text(), QStringLiteral("Frage 1"));
            w.cmdA_Click(); // right: on to the odd question
            QCOMPARE(w.Level, qint16(1));
        }
        QCOMPARE(w.lblFrage->text(), question);
        QCOMPARE(w.cmdA->text(), answerA);
        QVERIFY(QTest::qWaitForWindowExposed(&w)); // it paints, whatever the text

        // Fifty-fifty: the right answer and the kept one stay.
        w.cmdHalb_Click();
        QString enabled;
        for (QPushButton* b : {w.cmdA, w.cmdB, w.cmdC, w.cmdD})
            if (b->isEnabled())
                enabled += b->objectName().right(1);
        QCOMPARE(enabled, kept);
        QVERIFY(!w.cmdHalb->isEnabled());

        // Audience: the stored text in the label; the bar grows as far as the
        // value is a share, and the animation comes to its end.
        w.cmdPublikum_Click();
        QCOMPARE(w.lblPublikumA->text(), label);
        QCOMPARE(w.lblStatus->text(), QStringLiteral("das Publikum hat gesprochen"));
        const int ticks = runDown(w.TimerPub, 1000);
        QVERIFY2(ticks > 0, "the audience animation never ends");
        QCOMPARE(w.ShpPubA->Height(), 15 + 20 * steps);
        QCOMPARE(w.ShpPubA->Top() + w.ShpPubA->Height(), 5535);
        for (Shape* bar : {w.ShpPubB, w.ShpPubC, w.ShpPubD}) {
            QVERIFY(bar->Height() >= 15 && bar->Height() <= 15 + 20 * 100);
            QCOMPARE(bar->Top() + bar->Height(), 5535);
        }

        // Phone: thirty ticks down to the end.
        {
            DialogAnswerer phone({QStringLiteral("ok")});
            w.cmdHandy_Click();
            QCOMPARE(phone.seen().size(), 1);
        }
        QVERIFY(w.TimerCountdown->isActive());
        QCOMPARE(runDown(w.TimerCountdown, 100), 30);
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Zeit abgelaufen!"));

        // An answer by button: the right one climbs, otherwise the loss
        // message comes and the second chance starts a new game.
        const qint16 levelBefore = w.Level;
        if (!right.isEmpty()) {
            QPushButton* button = w.findChild<QPushButton*>(QStringLiteral("cmd") + right);
            QVERIFY(button);
            button->setEnabled(true);
            button->click();
            QCOMPARE(w.Level, qint16(levelBefore + 1));
            QCOMPARE(w.lblStatus->text(), QStringLiteral("nächste Frage"));
        } else {
            DialogAnswerer loss({QStringLiteral("yes"), QStringLiteral("cancel")});
            w.cmdB->setEnabled(true);
            w.cmdB->click();
            QCOMPARE(loss.seen().size(), 1);
            const QString lossText = loss.seen().at(0).text;
            QVERIFY2(lossText.startsWith(QStringLiteral("Sie haben verloren ") + name + QStringLiteral(" und fallen auf ")),
                     qPrintable(lossText));
            if (kind.startsWith(QLatin1String("markup")))
                QVERIFY2(lossText.contains(QStringLiteral(" also ") + kMarkup), qPrintable(lossText));
            QCOMPARE(w.Level, qint16(0));
            QCOMPARE(w.lblStatus->text(), QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
        }

        // A new game after all of it: jokers back, the next question on screen.
        w.cmdNeu->click();
        QCOMPARE(w.Level, qint16(0));
        for (QPushButton* b : {w.cmdPublikum, w.cmdHalb, w.cmdHandy, w.cmdA, w.cmdB, w.cmdC, w.cmdD})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(w.lblFrage->text().startsWith(QStringLiteral("Frage ")) || w.lblFrage->text().isEmpty());

        // Playing never wrote to the file.
        QCOMPARE(readBytes(filePath()), before);
    }
};

QTEST_MAIN(TestGameHostile)
#include "tst_game_hostile.moc"
