// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The three jokers in a real game window over a real question file: the
// fifty-fifty joker, the phone countdown and the audience vote with its bars.
// Timers are fired through their objects, tick by tick; nothing waits.
#include "game/frmQuiz.h"
#include "platform/Shape.h"
#include "platform/platform.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sqlite3.h>

using testsupport::DialogAnswerer;
using testsupport::Record;
using testsupport::sampleRecord;

namespace {

// A record whose four audience shares are the given values (an invalid
// QVariant is stored as a field without value).
Record withShares(int n, const QString& richtig, const QVariant& a, const QVariant& b, const QVariant& c,
                  const QVariant& d)
{
    Record r = sampleRecord(n, richtig);
    r[QStringLiteral("PublikumA")] = a;
    r[QStringLiteral("PublikumB")] = b;
    r[QStringLiteral("PublikumC")] = c;
    r[QStringLiteral("PublikumD")] = d;
    return r;
}

void fire(QTimer* timer)
{
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

QString enabledAnswers(const frmQuiz& w)
{
    QString out;
    if (w.cmdA->isEnabled()) out += QLatin1Char('A');
    if (w.cmdB->isEnabled()) out += QLatin1Char('B');
    if (w.cmdC->isEnabled()) out += QLatin1Char('C');
    if (w.cmdD->isEnabled()) out += QLatin1Char('D');
    return out;
}

} // namespace

class TestLifelines : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<testsupport::ProgramFolder> m_dir;
    int m_beeps = 0;

    // A game window started over a fresh question file holding `records`; the
    // name prompt is answered with "Anna".
    std::unique_ptr<frmQuiz> startGame(const QList<Record>& records)
    {
        m_dir = std::make_unique<testsupport::ProgramFolder>(records);
        auto w = std::make_unique<frmQuiz>();
        DialogAnswerer answers({QStringLiteral("input:Anna")});
        w->Form_Load();
        return w;
    }

    // Uses the phone joker, closing its instruction with OK.
    void usePhone(frmQuiz& w)
    {
        DialogAnswerer answers({QStringLiteral("ok")});
        w.cmdHandy->click();
        QCOMPARE(answers.pending(), 0);
        QCOMPARE(answers.seen().size(), 1);
    }

    void checkBar(Shape* bar, int share)
    {
        QCOMPARE(bar->Height(), 15 + 20 * share);
        QCOMPARE(bar->Top(), 5520 - 20 * share);
    }

    void checkBottoms(const frmQuiz& w)
    {
        for (Shape* bar : {w.ShpPubA, w.ShpPubB, w.ShpPubC, w.ShpPubD})
            QCOMPARE(bar->Top() + bar->Height(), 5535);
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::catchEndProgram();
        platform::setBeepHandler([this] { ++m_beeps; });
    }
    void init() { m_beeps = 0; }
    void cleanup() { m_dir.reset(); }

    // --- Fifty-fifty ------------------------------------------------------

    void fiftyFiftyKeepsRightAndFraglich_data()
    {
        QTest::addColumn<QVariant>("richtig");
        QTest::addColumn<QVariant>("fraglich");
        QTest::addColumn<QString>("enabled");

        QTest::newRow("well-formed C and A") << QVariant("C") << QVariant("A") << "AC";
        QTest::newRow("well-formed B and D") << QVariant("B") << QVariant("D") << "BD";
        QTest::newRow("Fraglich equals Richtig") << QVariant("C") << QVariant("C") << "C";
        QTest::newRow("Fraglich empty") << QVariant("C") << QVariant("") << "C";
        QTest::newRow("Fraglich without value") << QVariant("C") << QVariant() << "C";
        QTest::newRow("Fraglich with blank behind") << QVariant("C") << QVariant("A ") << "C";
        QTest::newRow("Fraglich lower case") << QVariant("C") << QVariant("a") << "C";
        QTest::newRow("Fraglich no letter") << QVariant("C") << QVariant("E") << "C";
        QTest::newRow("Richtig lower case") << QVariant("c") << QVariant("A") << "A";
        QTest::newRow("both lower case") << QVariant("c") << QVariant("a") << "";
        QTest::newRow("neither matching") << QVariant("X") << QVariant() << "";
    }

    void fiftyFiftyKeepsRightAndFraglich()
    {
        QFETCH(QVariant, richtig);
        QFETCH(QVariant, fraglich);
        QFETCH(QString, enabled);

        Record r = sampleRecord(1, QStringLiteral("C"));
        r[QStringLiteral("Richtig")] = richtig;
        r[QStringLiteral("Fraglich")] = fraglich;
        auto w = startGame({r, sampleRecord(2)});
        const QStringList captions{w->cmdA->text(), w->cmdB->text(), w->cmdC->text(), w->cmdD->text()};
        QCOMPARE(enabledAnswers(*w), QStringLiteral("ABCD"));

        w->cmdHalb->click();

        QCOMPARE(enabledAnswers(*w), enabled);
        QVERIFY(!w->cmdHalb->isEnabled());
        QCOMPARE(w->lblStatus->text(), QStringLiteral("50:50 - zwei falsche Antworten verschwinden"));
        // Greyed out, not taken away: every answer stays on screen as it was.
        const QStringList after{w->cmdA->text(), w->cmdB->text(), w->cmdC->text(), w->cmdD->text()};
        QCOMPARE(after, captions);
        for (QPushButton* b : {w->cmdA, w->cmdB, w->cmdC, w->cmdD})
            QVERIFY(!b->isHidden());
        // The joker moves nothing: the same question is still on screen.
        QCOMPARE(w->lblFrage->text(), QStringLiteral("Frage 1"));
    }

    void fiftyFiftyOncePerGame()
    {
        auto w = startGame({sampleRecord(1, QStringLiteral("C")), sampleRecord(2, QStringLiteral("B")),
                            sampleRecord(3, QStringLiteral("D"))});
        w->cmdHalb->click();
        QVERIFY(!w->cmdHalb->isEnabled());
        QCOMPARE(enabledAnswers(*w), QStringLiteral("CD"));

        // Still used on the next question of the same game.
        w->cmdC_Click();
        QVERIFY(!w->cmdHalb->isEnabled());

        w->cmdNeu->click();
        QVERIFY(w->cmdHalb->isEnabled());
        QCOMPARE(enabledAnswers(*w), QStringLiteral("ABCD"));
        w->cmdHalb->click();
        QCOMPARE(enabledAnswers(*w), QStringLiteral("AD")); // record 3: Richtig D, Fraglich A
    }

    void rightAnswerAfterFiftyFiftyEnablesAllAnswers()
    {
        auto w = startGame({sampleRecord(1, QStringLiteral("C")), sampleRecord(2, QStringLiteral("A"))});
        w->cmdHalb->click();
        QCOMPARE(enabledAnswers(*w), QStringLiteral("CD"));

        w->cmdC->click();

        QCOMPARE(w->lblFrage->text(), QStringLiteral("Frage 2"));
        QCOMPARE(enabledAnswers(*w), QStringLiteral("ABCD"));
        QCOMPARE(w->lblStatus->text(), QStringLiteral("nächste Frage"));
        QVERIFY(!w->cmdHalb->isEnabled());
    }

    // --- Phone ------------------------------------------------------------

    void phoneCountsThirtySecondsAndBeepsOnce()
    {
        auto w = startGame({sampleRecord(1), sampleRecord(2)});
        QVERIFY(!w->TimerCountdown->isActive());
        QCOMPARE(w->TimerCountdown->interval(), 1000);

        // Answer the instruction ourselves, so that we see the window's state
        // while it is still open.
        bool seenOpen = false, timerWhileOpen = true, jokerWhileOpen = false;
        QString text, title;
        QStringList buttons;
        QTimer watch;
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || seenOpen)
                return;
            seenOpen = true;
            timerWhileOpen = w->TimerCountdown->isActive();
            jokerWhileOpen = w->cmdHandy->isEnabled();
            text = box->text();
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->button(QMessageBox::Ok)->click();
        });
        watch.start();
        w->cmdHandy->click();
        watch.stop();

        QVERIFY(seenOpen);
        QCOMPARE(text, QStringLiteral("Sobald Sie bereit sind beginnt die Zei, also zücken sie ihr Handy und "
                                      "nicht vergessen fair nach der Zeit aufzulegen."));
        QCOMPARE(title, QStringLiteral("Quiz"));
        QCOMPARE(buttons.size(), 1);
        QVERIFY(!timerWhileOpen); // the time starts only after the box is closed
        QVERIFY(jokerWhileOpen);
        QVERIFY(w->TimerCountdown->isActive());
        QVERIFY(!w->cmdHandy->isEnabled());

        for (int tick = 1; tick <= 29; ++tick) {
            fire(w->TimerCountdown);
            QCOMPARE(w->lblStatus->text(), QStringLiteral("Noch %1 Sekunden").arg(30 - tick));
            QVERIFY(w->TimerCountdown->isActive());
            QCOMPARE(m_beeps, 0);
        }
        fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Zeit abgelaufen!"));
        QCOMPARE(m_beeps, 1);
        QVERIFY(!w->TimerCountdown->isActive());

        // Answering after the time is up is judged as usual.
        w->cmdA->click();
        QCOMPARE(w->lblStatus->text(), QStringLiteral("nächste Frage"));
        QCOMPARE(m_beeps, 1);
    }

    void phoneCountdownStoppedByRightAnswer()
    {
        auto w = startGame({sampleRecord(1, QStringLiteral("B")), sampleRecord(2)});
        usePhone(*w);
        for (int tick = 0; tick < 5; ++tick)
            fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Noch 25 Sekunden"));

        w->cmdB->click();

        QVERIFY(!w->TimerCountdown->isActive());
        QCOMPARE(w->lblStatus->text(), QStringLiteral("nächste Frage"));
        QCOMPARE(m_beeps, 0);
        QVERIFY(!w->cmdHandy->isEnabled()); // used for the rest of the game
    }

    void phoneCountdownRunsOnAfterGameOver()
    {
        auto w = startGame({sampleRecord(1, QStringLiteral("A")), sampleRecord(2)});
        usePhone(*w);
        for (int tick = 0; tick < 3; ++tick)
            fire(w->TimerCountdown);

        {
            // Loss message: no second chance; "Beenden": stay.
            DialogAnswerer answers({QStringLiteral("no"), QStringLiteral("no")});
            w->cmdB->click();
            QCOMPARE(answers.pending(), 0);
        }
        QCOMPARE(enabledAnswers(*w), QString());
        QVERIFY(w->TimerCountdown->isActive());

        // The countdown writes on over the texts of the lost game, to its end.
        const int elapsedBefore = static_cast<int>(w->CountdownElapsed);
        QVERIFY(elapsedBefore >= 3 && elapsedBefore < 29);
        fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Noch %1 Sekunden").arg(30 - elapsedBefore - 1));
        for (int elapsed = elapsedBefore + 1; elapsed < 30; ++elapsed) {
            QCOMPARE(m_beeps, 0);
            fire(w->TimerCountdown);
        }
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Zeit abgelaufen!"));
        QCOMPARE(m_beeps, 1);
        QVERIFY(!w->TimerCountdown->isActive());
    }

    void phoneFullCountAgainAfterNeu()
    {
        auto w = startGame({sampleRecord(1), sampleRecord(2), sampleRecord(3)});
        usePhone(*w);
        for (int tick = 0; tick < 10; ++tick)
            fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Noch 20 Sekunden"));

        w->cmdNeu->click();
        QVERIFY(w->cmdHandy->isEnabled());
        QVERIFY(!w->TimerCountdown->isActive());
        QCOMPARE(m_beeps, 0);

        usePhone(*w);
        fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Noch 29 Sekunden"));
        for (int tick = 2; tick <= 30; ++tick)
            fire(w->TimerCountdown);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Zeit abgelaufen!"));
        QCOMPARE(m_beeps, 1);
        QVERIFY(!w->TimerCountdown->isActive());
    }

    // --- Audience ---------------------------------------------------------

    void audienceShowsPercentagesAtOnceAndGrowsBars()
    {
        auto w = startGame({withShares(1, "A", "35", "40", "15", "10"), sampleRecord(2)});
        QVERIFY(!w->lblPublikumA->isVisibleTo(w.get()));
        QVERIFY(!w->ShpPubA->isVisibleTo(w.get()));

        w->cmdPublikum->click();

        QCOMPARE(w->lblPublikumA->text(), QStringLiteral("A: 35%"));
        QCOMPARE(w->lblPublikumB->text(), QStringLiteral("B: 40%"));
        QCOMPARE(w->lblPublikumC->text(), QStringLiteral("C: 15%"));
        QCOMPARE(w->lblPublikumD->text(), QStringLiteral("D: 10%"));
        for (QWidget* c : std::initializer_list<QWidget*>{w->lblPublikumA, w->lblPublikumB, w->lblPublikumC,
                                                          w->lblPublikumD, w->ShpPubA, w->ShpPubB, w->ShpPubC,
                                                          w->ShpPubD})
            QVERIFY2(c->isVisibleTo(w.get()), qPrintable(c->objectName()));
        QCOMPARE(w->lblStatus->text(), QStringLiteral("das Publikum hat gesprochen"));
        QVERIFY(!w->cmdPublikum->isEnabled());
        for (Shape* bar : {w->ShpPubA, w->ShpPubB, w->ShpPubC, w->ShpPubD})
            checkBar(bar, 0);
        QVERIFY(w->TimerPub->isActive());
        QCOMPARE(w->TimerPub->interval(), 50);

        for (int tick = 1; tick <= 40; ++tick) {
            QVERIFY2(w->TimerPub->isActive(), qPrintable(QStringLiteral("before tick %1").arg(tick)));
            fire(w->TimerPub);
            checkBottoms(*w);
            QCOMPARE(w->ShpPubB->Height(), 15 + 20 * tick);
        }
        QCOMPARE(w->ShpPubA->Height(), 715);
        QCOMPARE(w->ShpPubB->Height(), 815);
        QCOMPARE(w->ShpPubC->Height(), 315);
        QCOMPARE(w->ShpPubD->Height(), 215);
        QVERIFY(!w->TimerPub->isActive());
        // The percentages never counted: the labels read as at the start, and
        // the animation wrote nothing into the status line.
        QCOMPARE(w->lblPublikumB->text(), QStringLiteral("B: 40%"));
        QCOMPARE(w->lblStatus->text(), QStringLiteral("das Publikum hat gesprochen"));
    }

    void audienceTallestBarAndOnePercent()
    {
        auto w = startGame({withShares(1, "A", "99", "1", "0", "0"), sampleRecord(2)});
        w->cmdPublikum->click();

        fire(w->TimerPub);
        checkBar(w->ShpPubB, 1);
        QCOMPARE(w->ShpPubB->Height(), 35);
        QCOMPARE(w->ShpPubB->Top(), 5500);
        checkBar(w->ShpPubC, 0);
        checkBar(w->ShpPubD, 0);
        for (int tick = 2; tick <= 98; ++tick)
            fire(w->TimerPub);
        QVERIFY(w->TimerPub->isActive());
        checkBar(w->ShpPubA, 98);
        checkBar(w->ShpPubB, 1);

        fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        QCOMPARE(w->ShpPubA->Height(), 1995);
        QCOMPARE(w->ShpPubA->Top(), 3540);
        checkBar(w->ShpPubB, 1);
        checkBar(w->ShpPubC, 0);
        checkBar(w->ShpPubD, 0);
        checkBottoms(*w);
    }

    // A screen reader reads each bar's share as its value once the bar has
    // grown: the share as the bar shows it, clamped to 0 to 100.
    void audienceBarValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("value");
        QTest::newRow("40") << QVariant(QStringLiteral("40")) << 40;
        QTest::newRow("0") << QVariant(QStringLiteral("0")) << 0;
        QTest::newRow("no value") << QVariant() << 0;
        QTest::newRow("above 100") << QVariant(QStringLiteral("150")) << 100;
    }

    void audienceBarValues()
    {
        QFETCH(QVariant, stored);
        auto w = startGame({withShares(1, "A", stored, "30", "20", "10"), sampleRecord(2)});
        w->cmdPublikum->click();
        while (w->TimerPub->isActive())
            fire(w->TimerPub);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w->ShpPubA);
        QVERIFY(bar && bar->valueInterface());
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Publikum A"));
        QTEST(bar->valueInterface()->currentValue().toInt(), "value");
        QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 100);
        QCOMPARE(QAccessible::queryAccessibleInterface(w->ShpPubB)->valueInterface()->currentValue().toInt(), 30);
    }

    void audienceRestartsFromBaseline()
    {
        auto w = startGame({withShares(1, "A", "35", "40", "15", "10"), withShares(2, "A", "99", "1", "0", "0"),
                            sampleRecord(3)});
        w->cmdPublikum->click();
        for (int tick = 0; tick < 10; ++tick)
            fire(w->TimerPub);
        checkBar(w->ShpPubA, 10);

        // The same vote called again within the animation starts over and
        // ends at the same heights, not higher.
        w->Publikum();
        for (Shape* bar : {w->ShpPubA, w->ShpPubB, w->ShpPubC, w->ShpPubD})
            checkBar(bar, 0);
        for (int tick = 0; tick < 10; ++tick)
            fire(w->TimerPub);

        // A right answer within the animation: the next question hides the
        // vote, while the animation goes on out of sight.
        w->cmdA->click();
        QCOMPARE(w->lblFrage->text(), QStringLiteral("Frage 2"));
        QVERIFY(!w->lblPublikumA->isVisibleTo(w.get()));
        QVERIFY(!w->ShpPubA->isVisibleTo(w.get()));
        QVERIFY(w->TimerPub->isActive());
        fire(w->TimerPub);

        // The vote on the next question starts all four bars from the baseline
        // and lasts as long as its own largest share.
        w->Publikum();
        QCOMPARE(w->lblPublikumA->text(), QStringLiteral("A: 99%"));
        QCOMPARE(w->lblPublikumD->text(), QStringLiteral("D: 0%"));
        for (Shape* bar : {w->ShpPubA, w->ShpPubB, w->ShpPubC, w->ShpPubD})
            checkBar(bar, 0);
        for (int tick = 1; tick <= 98; ++tick)
            fire(w->TimerPub);
        QVERIFY(w->TimerPub->isActive());
        fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        checkBar(w->ShpPubA, 99);
        checkBar(w->ShpPubB, 1);
        checkBar(w->ShpPubC, 0);
        checkBar(w->ShpPubD, 0);
    }

    void audienceOnceAfterLostGame()
    {
        // Lost without the joker: the vote on the missed question appears and
        // animates; lost after using it: the vote on screen stays as it is.
        auto w = startGame({withShares(1, "A", "35", "40", "15", "10"), withShares(2, "C", "20", "30", "45", "5"),
                            sampleRecord(3)});
        {
            DialogAnswerer answers({QStringLiteral("no"), QStringLiteral("no")});
            w->cmdB->click();
            QCOMPARE(answers.pending(), 0);
        }
        QCOMPARE(w->lblStatus->text(), QStringLiteral("das Publikum hat gesprochen"));
        QCOMPARE(w->lblPublikumB->text(), QStringLiteral("B: 40%"));
        QVERIFY(w->lblPublikumA->isVisibleTo(w.get()));
        QVERIFY(!w->cmdPublikum->isEnabled());
        QVERIFY(w->TimerPub->isActive());
        for (int tick = 0; tick < 40; ++tick)
            fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        checkBar(w->ShpPubB, 40);

        w->cmdNeu->click();
        QCOMPARE(w->lblFrage->text(), QStringLiteral("Frage 2"));
        QVERIFY(w->cmdPublikum->isEnabled());
        QVERIFY(!w->lblPublikumA->isVisibleTo(w.get()));
        w->cmdPublikum->click();
        for (int tick = 0; tick < 45; ++tick)
            fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        {
            DialogAnswerer answers({QStringLiteral("no"), QStringLiteral("no")});
            w->cmdA->click();
            QCOMPARE(answers.pending(), 0);
        }
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Danke, dass Sie bei uns bleiben"));
        QVERIFY(!w->TimerPub->isActive());
        checkBar(w->ShpPubC, 45);
    }

    void audienceSharesOutsideTheDataModel_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("steps");

        QTest::newRow("empty") << QVariant("") << "A: %" << 0;
        QTest::newRow("without value") << QVariant() << "A: %" << 0;
        QTest::newRow("negative") << QVariant("-5") << "A: -5%" << 0;
        QTest::newRow("small negative fraction") << QVariant("-0.4") << "A: -0.4%" << 0;
        QTest::newRow("fractional") << QVariant("2.5") << "A: 2.5%" << 3;
        QTest::newRow("fractional, decimal comma") << QVariant("33,4") << "A: 33,4%" << 33;
        QTest::newRow("hundred") << QVariant("100") << "A: 100%" << 100;
        QTest::newRow("250") << QVariant("250") << "A: 250%" << 100;
        QTest::newRow("text") << QVariant("viel") << "A: viel%" << 0;
        QTest::newRow("not a number") << QVariant("nan") << "A: nan%" << 0;
        QTest::newRow("infinite") << QVariant("inf") << "A: inf%" << 0;
        QTest::newRow("blank in front") << QVariant(" 7") << "A:  7%" << 7;
    }

    void audienceSharesOutsideTheDataModel()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, caption);
        QFETCH(int, steps);

        auto w = startGame({withShares(1, "A", stored, "30", "20", "10"), sampleRecord(2)});
        w->cmdPublikum->click();
        QCOMPARE(w->lblPublikumA->text(), caption);
        QCOMPARE(w->lblPublikumB->text(), QStringLiteral("B: 30%"));

        // The animation comes to rest after as many ticks as the largest count.
        const int expectedTicks = std::max(steps, 30);
        int ticks = 0;
        while (w->TimerPub->isActive() && ticks < 500) {
            fire(w->TimerPub);
            ++ticks;
        }
        QCOMPARE(ticks, expectedTicks);
        checkBar(w->ShpPubA, steps);
        checkBar(w->ShpPubB, 30);
        checkBottoms(*w);
        QCOMPARE(w->lblPublikumA->text(), caption);
    }

    void jokersOnRecordDeletedUnderTheGame()
    {
        // The editor (another connection) deletes the question on screen: the
        // jokers read a record without values and the game goes on.
        auto w = startGame({sampleRecord(1, QStringLiteral("B")), sampleRecord(2)});
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(m_dir->questionFile().toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = QStringLiteral("DELETE FROM \"%1\" WHERE Nummer = '1'").arg(store::kTable).toUtf8();
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);

        w->cmdHalb->click();
        QCOMPARE(enabledAnswers(*w), QString());
        QCOMPARE(w->lblStatus->text(), QStringLiteral("50:50 - zwei falsche Antworten verschwinden"));

        w->cmdPublikum->click();
        QCOMPARE(w->lblPublikumA->text(), QStringLiteral("A: %"));
        QCOMPARE(w->lblPublikumD->text(), QStringLiteral("D: %"));
        fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        checkBar(w->ShpPubA, 0);
    }

    void audienceAllZeroStopsOnFirstTick()
    {
        auto w = startGame({withShares(1, "A", "0", "0", "0", "0"), sampleRecord(2)});
        w->cmdPublikum->click();
        QVERIFY(w->TimerPub->isActive());
        fire(w->TimerPub);
        QVERIFY(!w->TimerPub->isActive());
        for (Shape* bar : {w->ShpPubA, w->ShpPubB, w->ShpPubC, w->ShpPubD})
            checkBar(bar, 0);
    }
};

QTEST_MAIN(TestLifelines)
#include "tst_lifelines.moc"
