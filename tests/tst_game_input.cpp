// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// No key press costs a game, and a blind player hears the money: where the
// focus goes after a joker, the second press of a double press and a held
// key, the step, the secured amount and the end of a game as a screen reader
// is told them, and the focus frame at every scale of the stage.
#include "game/frmQuiz.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <memory>

using testsupport::DialogAnswerer;

namespace {

int doubleClickInterval() { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); }

} // namespace

class TestGameInput : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<testsupport::ProgramFolder> m_dir;
    std::unique_ptr<frmQuiz> m_w;

    // The game on `records`, shown and active, so that keys and focus act as
    // for a player; or not shown, so that nothing else takes its activation.
    bool startGame(const QList<testsupport::Record>& records, bool shown = true)
    {
        m_dir = std::make_unique<testsupport::ProgramFolder>(records);
        m_w = std::make_unique<frmQuiz>();
        DialogAnswerer answer({QStringLiteral("input:Anna")});
        m_w->Form_Load();
        if (!shown)
            return true;
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        return QTest::qWaitForWindowActive(m_w.get());
    }

    QPushButton* rightAnswer() const
    {
        // The sample questions' right letters go round A, B, C, D.
        const int n = m_w->lblFrage->text().mid(6).toInt();
        return std::array<QPushButton*, 4>{m_w->cmdA, m_w->cmdB, m_w->cmdC, m_w->cmdD}[(n - 1) % 4];
    }

    void climb(int steps)
    {
        for (int i = 0; i < steps; ++i)
            rightAnswer()->click();
    }

private Q_SLOTS:
    void init() { testsupport::catchEndProgram(); }
    void cleanup() { m_w.reset(); }

    // On question 2 (B right, C the doubtful one, A and D go with Zwei weg).
    void focusAfterAJoker_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("how"); // access key, click, or Tab to the joker and Space
        QTest::addColumn<QString>("joker");
        QTest::addColumn<QString>("focusAfter");
        QTest::addColumn<int>("levelAfterSpace"); // -1: Space not pressed
        QTest::newRow("Zwei weg by access key on the right answer") << "cmdB" << "key" << "cmdHalb" << "cmdB" << 2;
        QTest::newRow("Zwei weg by access key on the doubtful one") << "cmdC" << "key" << "cmdHalb" << "cmdC" << -1;
        QTest::newRow("Zwei weg by access key on a greyed answer") << "cmdA" << "key" << "cmdHalb" << "lblFrage" << 1;
        QTest::newRow("Zwei weg by click on a greyed answer") << "cmdD" << "click" << "cmdHalb" << "lblFrage" << 1;
        QTest::newRow("Zwei weg reached by Tab") << "cmdB" << "tab" << "cmdHalb" << "lblFrage" << 1;
        QTest::newRow("audience by click") << "cmdD" << "click" << "cmdPublikum" << "cmdD" << -1;
        QTest::newRow("audience reached by Tab") << "cmdB" << "tab" << "cmdPublikum" << "lblFrage" << 1;
        QTest::newRow("phone by access key") << "cmdB" << "key" << "cmdHandy" << "cmdB" << 2;
        QTest::newRow("phone from the name box") << "txtName" << "key" << "cmdHandy" << "txtName" << -1;
    }

    void focusAfterAJoker()
    {
        QFETCH(QString, focused);
        QFETCH(QString, how);
        QFETCH(QString, joker);
        QFETCH(int, levelAfterSpace);
        if (!startGame(testsupport::sampleRecords(5, testsupport::RightLetters::RoundRobin)))
            QSKIP("this platform gives no window the focus");
        climb(1);
        auto* from = m_w->findChild<QWidget*>(focused);
        auto* pressed = m_w->findChild<QPushButton*>(joker);
        from->setFocus(Qt::TabFocusReason);
        DialogAnswerer answer({"ok"}); // the phone's instruction
        if (how == QLatin1String("key")) {
            QTest::keyClick(m_w.get(), pressed->text().at(pressed->text().indexOf(QLatin1Char('&')) + 1).toLatin1(),
                            Qt::AltModifier);
        } else if (how == QLatin1String("click")) {
            QTest::mouseClick(pressed, Qt::LeftButton);
        } else {
            pressed->setFocus(Qt::TabFocusReason);
            QTest::keyClick(pressed, Qt::Key_Space);
        }
        QTRY_VERIFY(!pressed->isEnabled());
        QCoreApplication::processEvents();
        QTEST(m_w->focusWidget()->objectName(), "focusAfter");
        if (levelAfterSpace >= 0) {
            QTest::keyClick(m_w->focusWidget(), Qt::Key_Space);
            QCOMPARE(int(m_w->Level), levelAfterSpace);
        }
    }

    // Input events on the first answer ("kp" key press, "kr" key release,
    // "kp*" a repeat of a held key, "mp"/"mr" the mouse) or letters typed to
    // the window ("wp"/"wr", "wp*"), at their times in ms; every question's
    // right answer is A.
    void doublePress_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("level");
        const int late = 1080 + doubleClickInterval();
        QTest::newRow("double Space") << "kp:1000 kr:1080 kp:1200 kr:1280" << 1;
        QTest::newRow("Space again after the interval")
            << QStringLiteral("kp:1000 kr:1080 kp:%1 kr:%2").arg(late).arg(late + 80) << 2;
        QTest::newRow("quick presses go on as one") << "kp:1000 kr:1080 kp:1300 kr:1380 kp:1600 kr:1680" << 1;
        QTest::newRow("click, then Space at once") << "mp:1000 mr:1080 kp:1200 kr:1280" << 1;
        QTest::newRow("Space, then a click at once") << "kp:1000 kr:1080 mp:1200 mr:1280" << 1;
        QTest::newRow("held Space") << "kp:1000 kp*:1500 kp*:1530 kp*:1560 kr:1600" << 1;
        QTest::newRow("held letter") << "wp:1000 wp*:1500 wp*:1530 wp*:1560 wr:1600" << 1;
        QTest::newRow("letter twice") << "wp:1000 wr:1050 wp:1200 wr:1250" << 1;
        QTest::newRow("letter again after the interval")
            << QStringLiteral("wp:1000 wr:1050 wp:%1 wr:%2").arg(late).arg(late + 50) << 2;
        // As keys come that a screen reader has seen first: by their arrival.
        QTest::newRow("presses without a time") << "kp:0 kr:0 kp:0 kr:0" << 1;
        QTest::newRow("a click, then a press without a time") << "mp:1000 mr:1080 kp:0 kr:0" << 1;
    }

    void doublePress()
    {
        QFETCH(QString, events);
        if (!startGame(testsupport::sampleRecords(4, testsupport::RightLetters::AllA)))
            QSKIP("this platform gives no window the focus");
        if (events.startsWith(QLatin1Char('w')))
            m_w->setFocus();
        for (const QString& e : events.split(QLatin1Char(' '))) {
            const QString kind = e.section(QLatin1Char(':'), 0, 0);
            const auto at = e.section(QLatin1Char(':'), 1).toULong();
            const bool repeat = kind.endsWith(QLatin1Char('*'));
            if (kind.startsWith(QLatin1Char('m'))) {
                const bool press = kind == QLatin1String("mp");
                const QPointF inside(5, 5);
                QMouseEvent mouse(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, inside,
                                  m_w->cmdA->mapToGlobal(inside), Qt::LeftButton,
                                  press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
                mouse.setTimestamp(at);
                QApplication::sendEvent(m_w->cmdA, &mouse);
                continue;
            }
            const bool toWindow = kind.startsWith(QLatin1Char('w'));
            QKeyEvent key(kind.at(1) == QLatin1Char('p') ? QEvent::KeyPress : QEvent::KeyRelease,
                          toWindow ? Qt::Key_A : Qt::Key_Space, Qt::NoModifier,
                          toWindow ? QStringLiteral("A") : QStringLiteral(" "), repeat);
            key.setTimestamp(at);
            QApplication::sendEvent(toWindow ? static_cast<QWidget*>(m_w.get()) : m_w->cmdA, &key);
        }
        QTEST(int(m_w->Level), "level");
    }

    // A new game, begun by a press on "Neu" or by the answer to the loss box,
    // takes no answer from the press right after it; a later one counts.
    void newGameTakesNoDoublePress_data()
    {
        QTest::addColumn<QString>("begunBy");
        QTest::newRow("Space on Neu") << "Neu";
        QTest::newRow("Ja to a second chance") << "second chance";
    }

    void newGameTakesNoDoublePress()
    {
        QFETCH(QString, begunBy);
        if (!startGame(testsupport::sampleRecords(4, testsupport::RightLetters::AllA)))
            QSKIP("this platform gives no window the focus");
        if (begunBy == QLatin1String("Neu")) {
            QTest::keyClick(m_w->cmdNeu, Qt::Key_Space);
        } else {
            // Answered by its access key, which waits until the box has been
            // up for a while, as a player reads it.
            DialogAnswerer answer({"key:j"});
            QTest::mouseClick(m_w->cmdB, Qt::LeftButton); // wrong: every right answer is A
            QCOMPARE(answer.pending(), 0);
        }
        QCOMPARE(m_w->lblStatus->text(), "Neues Spiel, neue Mafia-Moneten...");
        QTest::keyClick(m_w->cmdA, Qt::Key_Space);
        QCOMPARE(int(m_w->Level), 0);
        QTest::qWait(doubleClickInterval());
        QTest::keyClick(m_w->cmdA, Qt::Key_Space);
        QCOMPARE(int(m_w->Level), 1);
    }

    // The screen reader hears the money; the eye sees what it always saw.
    void moneyIsSpoken_data()
    {
        QTest::addColumn<int>("rightAnswers");
        QTest::addColumn<QStringList>("dialogs"); // what the game asks after them, then a wrong answer
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("status");
        const auto question = [](int n) {
            return QStringLiteral("Frage %1 A: Antwort A%1. B: Antwort B%1. C: Antwort C%1. D: Antwort D%1.").arg(n);
        };
        QTest::newRow("a step") << 3 << QStringList() << "Stufe 3: 200 €. nächste Frage. " + question(4)
                                << "nächste Frage";
        QTest::newRow("a safety step") << 5 << QStringList()
                                       << "Stufe 5: 500 €. Gesicherter Betrag: 1.000 €. nächste Frage. " + question(6)
                                       << "nächste Frage";
        QTest::newRow("top prize") << 15 << QStringList{"ok", "ok", "no", "no"}
                                   << "Stufe 15: 1.000.000 €. Gesicherter Betrag: 1.000.000 €. nächste Frage. "
                + question(16)
                                   << "nächste Frage";
        QTest::newRow("game over") << 2 << QStringList{"no", "no"}
                                   << "Game Over. das Publikum hat gesprochen. A: 40%, B: 30%, C: 20%, D: 10%."
                                   << "das Publikum hat gesprochen";
    }

    void moneyIsSpoken()
    {
        QFETCH(int, rightAnswers);
        QFETCH(QStringList, dialogs);
        startGame(testsupport::sampleRecords(20, testsupport::RightLetters::RoundRobin), false);
        // What the status line's notification reads, shown anew for each announcement.
        QAccessibleInterface* notification = QAccessible::queryAccessibleInterface(m_w->lblStatus)->child(0);
        QVERIFY(notification && notification->role() == QAccessible::Notification);
        {
            DialogAnswerer answer(dialogs);
            for (int i = 0; i < rightAnswers; ++i) {
                rightAnswer()->click();
                QCoreApplication::processEvents();
            }
            if (rightAnswers < 15 && !dialogs.isEmpty()) {
                (rightAnswer() == m_w->cmdA ? m_w->cmdB : m_w->cmdA)->click();
                QCoreApplication::processEvents();
            }
            QCOMPARE(answer.pending(), 0);
        }
        QTEST(notification->text(QAccessible::Name), "said");
        QTEST(m_w->lblStatus->text(), "status");
    }

    // The focus frame of an answer and of the question grows with the stage:
    // at twice the size, twice as many pixels change when the focus comes.
    void focusFrameGrowsWithTheStage_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<qreal>("factor");
        for (const char* control : {"cmdA", "lblFrage"}) {
            for (qreal factor : {1.0, 2.0, 3.0})
                QTest::addRow("%s at %d %%", control, int(factor * 100)) << QString::fromLatin1(control) << factor;
        }
    }

    void focusFrameGrowsWithTheStage()
    {
        QFETCH(QString, control);
        QFETCH(qreal, factor);
        if (!startGame(testsupport::sampleRecords(4, testsupport::RightLetters::AllA)))
            QSKIP("this platform gives no window the focus");
        m_w->setStageScale(factor);
        auto* c = m_w->findChild<QWidget*>(control);
        const int outline = 2 * (c->width() + c->height());
        const int changed = testsupport::focusFramePixels(c, m_w->cmdEnd);
        // Two pixels wide at 100 %, with room for the corners and the rounding.
        QVERIFY2(changed >= outline * qRound(2 * factor) * 3 / 4 && changed <= outline * qRound(2 * factor),
                 qPrintable(QStringLiteral("%1 of an outline of %2").arg(changed).arg(outline)));
    }
};

QTEST_MAIN(TestGameInput)
#include "tst_game_input.moc"
