// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Playing whole games on the real game window over a real question file:
// answering by button and by key, the prize ladder, the top prize, the loss
// message with its second chance, game over, the question before the end, and
// the game going on over records that are not what they should be.
#include "game/frmQuiz.h"
#include "platform/Shape.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using testsupport::DialogAnswerer;
using testsupport::ProgramEnded;
using testsupport::Record;

namespace {

const QString kLetters = QStringLiteral("ABCD");

QString expectedLoss(const QString& name, const QString& amount, const QString& letter,
                    const QString& answer)
{
    return QStringLiteral("Sie haben verloren ") + name + QStringLiteral(" und fallen auf ") + amount
        + QStringLiteral(" € zurück. ") + letter + QStringLiteral(" also ") + answer
        + QStringLiteral(" währe richtig gewesen. Wollen Sie eine zweite Chance?");
}

const QString kTopPrize1 = QStringLiteral(
    "Glückwunsch, Sie sind nun reicher als der Mertig erlaubt! Von nun an werden Bettelbriefe an "
    "Anna geschickt, dass die Post reich wird.");
const QString kTopPrize2 = QStringLiteral(
    "Der Programmierer dieses Spiels ist nicht verpflichtet etwas auszuzahlen! Also machen Sie sich "
    "keine Illusionen!");

// Notes, for every message box the moment it opens, its text and what the
// status line says then: the texts that are overwritten before the box closes.
class BoxWatcher : public QObject {
public:
    struct Seen {
        QString text;
        QString status;
        bool answersEnabled;
        bool jokersEnabled;
    };
    explicit BoxWatcher(frmQuiz& w) : m_w(w) { qApp->installEventFilter(this); }
    ~BoxWatcher() override { qApp->removeEventFilter(this); }
    QList<Seen> seen;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(o)) {
                seen.append({box->text(), m_w.lblStatus->text(),
                             m_w.cmdA->isEnabled() || m_w.cmdB->isEnabled() || m_w.cmdC->isEnabled()
                                 || m_w.cmdD->isEnabled(),
                             m_w.cmdHalb->isEnabled() || m_w.cmdHandy->isEnabled()
                                 || m_w.cmdPublikum->isEnabled()});
            }
        }
        return false;
    }

private:
    frmQuiz& m_w;
};

} // namespace

class TestGamePlay : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<testsupport::ProgramFolder> m_dir;
    std::unique_ptr<frmQuiz> m_w;
    QList<Record> m_records;

    QString filePath() const { return m_dir->questionFile(); }

    // A question file of `count` records, the right letter going round A, B,
    // C, D; the game window loaded on it with the player's name `name`.
    void startGame(int count = 25, const QString& name = QStringLiteral("Anna"))
    {
        startGameWith(testsupport::sampleRecords(count, testsupport::RightLetters::RoundRobin), name);
    }

    void startGameWith(const QList<Record>& records, const QString& name = QStringLiteral("Anna"))
    {
        m_records = records;
        m_dir = std::make_unique<testsupport::ProgramFolder>(records);
        m_w = std::make_unique<frmQuiz>();
        DialogAnswerer answer({QStringLiteral("input:") + name});
        m_w->Form_Load();
        QCOMPARE(answer.pending(), 0);
        QCOMPARE(m_w->txtName->text(), name);
    }

    // The number of the question on screen, read from its text "Frage <n>".
    int shownNumber() const
    {
        const QString text = m_w->lblFrage->text();
        return text.startsWith(QLatin1String("Frage ")) ? text.mid(6).toInt() : -1;
    }

    QString rightLetter() const
    {
        const int n = shownNumber();
        return n >= 1 ? m_records.at(n - 1).value(QStringLiteral("Richtig")).toString() : QString();
    }

    QPushButton* button(const QString& letter) const
    {
        const std::array<QPushButton*, 4> b{m_w->cmdA, m_w->cmdB, m_w->cmdC, m_w->cmdD};
        return b[kLetters.indexOf(letter)];
    }

    QString wrongLetter() const
    {
        return kLetters.mid((kLetters.indexOf(rightLetter()) + 1) % 4, 1);
    }

    // A key typed while the game window itself has the keyboard focus.
    void typeKey(QChar c)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(m_w.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(m_w.get(), &release);
    }

    void answerRight(bool byKey)
    {
        const QString letter = rightLetter();
        QVERIFY(!letter.isEmpty());
        // By key through the window, the right letter in lower and in upper case by turns.
        if (byKey)
            typeKey(m_w->Level % 2 ? letter.at(0) : letter.toLower().at(0));
        else
            button(letter)->click();
    }

    QList<bool> litMarkers() const
    {
        QList<bool> lit;
        for (int level = 1; level <= 15; ++level)
            lit << !m_w->marker(level)->isHidden();
        return lit;
    }

    static QList<bool> litUpTo(int level)
    {
        QList<bool> lit;
        for (int l = 1; l <= 15; ++l)
            lit << (l <= level);
        return lit;
    }

    bool answersEnabled() const
    {
        return m_w->cmdA->isEnabled() && m_w->cmdB->isEnabled() && m_w->cmdC->isEnabled()
            && m_w->cmdD->isEnabled();
    }
    bool answersDisabled() const
    {
        return !m_w->cmdA->isEnabled() && !m_w->cmdB->isEnabled() && !m_w->cmdC->isEnabled()
            && !m_w->cmdD->isEnabled();
    }
    bool jokersEnabled() const
    {
        return m_w->cmdHalb->isEnabled() && m_w->cmdHandy->isEnabled() && m_w->cmdPublikum->isEnabled();
    }
    bool jokersDisabled() const
    {
        return !m_w->cmdHalb->isEnabled() && !m_w->cmdHandy->isEnabled() && !m_w->cmdPublikum->isEnabled();
    }

    // Plays `count` right answers by button; the top prize's questions are
    // answered "Neue Runde?" No, "Beenden" No, so the game goes on beyond it.
    void climb(int count)
    {
        for (int i = 0; i < count; ++i) {
            const bool top = m_w->Level == 14;
            DialogAnswerer answer(top ? QStringList{"ok", "ok", "no", "no"} : QStringList{});
            answerRight(false);
            QCOMPARE(answer.pending(), 0);
        }
    }

private Q_SLOTS:
    void initTestCase() { testsupport::catchEndProgram(); }

    void cleanup()
    {
        m_w.reset();
        m_dir.reset();
    }

    // --- The whole ladder.

    void wholeGame_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("newRound");
        QTest::newRow("buttons, new round") << false << true;
        QTest::newRow("buttons, stay beyond the ladder") << false << false;
        QTest::newRow("keys, new round") << true << true;
        QTest::newRow("keys, stay beyond the ladder") << true << false;
    }

    void wholeGame()
    {
        QFETCH(bool, byKey);
        QFETCH(bool, newRound);
        startGame();
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 0,- €"));
        QCOMPARE(litMarkers(), litUpTo(0));

        for (int level = 1; level <= 14; ++level) {
            const int before = shownNumber();
            if (level == 3)
                m_w->cmdHalb->click(); // a used joker stays used; the buttons come back
            answerRight(byKey);
            QCOMPARE(shownNumber(), before + 1);
            QCOMPARE(litMarkers(), litUpTo(level));
            QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
            QVERIFY(answersEnabled());
            QCOMPARE(m_w->cmdHalb->isEnabled(), level < 3);
            const QString sicher = level < 5    ? QStringLiteral("Sicher: 0,- €")
                                   : level < 10 ? QStringLiteral("Sicher: 1.000,- €")
                                                : QStringLiteral("Sicher: 32.000,- €");
            QCOMPARE(m_w->lblSicher->text(), sicher);
        }

        // The fifteenth: the top prize over the next question.
        BoxWatcher watch(*m_w);
        DialogAnswerer answer(newRound ? QStringList{"ok", "ok", "yes"} : QStringList{"ok", "ok", "no", "no"});
        answerRight(byKey);
        QCOMPARE(answer.pending(), 0);
        QCOMPARE(answer.seen().size(), newRound ? 3 : 4);
        QCOMPARE(answer.seen().at(0).text, kTopPrize1);
        QCOMPARE(answer.seen().at(0).title, QStringLiteral("Quiz"));
        QCOMPARE(answer.seen().at(0).buttons, QStringList{"OK"});
        QCOMPARE(answer.seen().at(1).text, kTopPrize2);
        QCOMPARE(answer.seen().at(2).text, QStringLiteral("Neue Runde?"));
        QCOMPARE(answer.seen().at(2).title, QStringLiteral("Quiz"));
        QCOMPARE(watch.seen.at(0).text, kTopPrize1);
        QCOMPARE(watch.seen.at(0).status, QStringLiteral("nächste Frage")); // still the last answer's
        QCOMPARE(watch.seen.at(2).status, QStringLiteral("Kontostand ihres Kartells: 1.000.000,- €"));
        QCOMPARE(shownNumber(), newRound ? 17 : 16);
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
        QVERIFY(answersEnabled());
        if (newRound) {
            QCOMPARE(litMarkers(), litUpTo(0));
            QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 0 €"));
            QVERIFY(jokersEnabled());
            QCOMPARE(m_w->Level, qint16(0));
        } else {
            QCOMPARE(answer.seen().at(3).text, QStringLiteral("Beenden"));
            QCOMPARE(watch.seen.at(3).status, QStringLiteral("Kontostand ihres Kartells: 1.000.000,- €"));
            QCOMPARE(litMarkers(), litUpTo(15));
            QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 1.000.000,- €"));
            QVERIFY(!m_w->cmdHalb->isEnabled());
            // Beyond the ladder: no more steps, no more messages.
            DialogAnswerer none({});
            answerRight(byKey);
            QCOMPARE(none.seen().size(), 0);
            QCOMPARE(m_w->Level, qint16(16));
            QCOMPARE(litMarkers(), litUpTo(15));
            QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 1.000.000,- €"));
            QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
        }
    }

    void topPrizeThenEnd()
    {
        startGame();
        climb(14);
        DialogAnswerer answer({"ok", "ok", "no", "yes"});
        bool ended = false;
        try {
            m_w->Form_KeyPress(rightLetter().at(0).unicode());
        } catch (const ProgramEnded&) {
            ended = true;
        }
        QVERIFY(ended);
        QCOMPARE(answer.seen().size(), 4);
        QCOMPARE(answer.seen().at(3).text, QStringLiteral("Beenden"));
    }

    // --- The loss message before and after each safety step.

    void lossMessage_data()
    {
        QTest::addColumn<int>("rights");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("amount");
        QTest::newRow("first question") << 0 << "Anna" << "0";
        QTest::newRow("before the first safety step") << 4 << "Anna" << "0";
        QTest::newRow("at the first safety step") << 5 << "Anna" << "1.000";
        QTest::newRow("before the second") << 9 << "Anna" << "1.000";
        QTest::newRow("at the second") << 10 << "Anna" << "32.000";
        QTest::newRow("before the top prize") << 14 << "Anna" << "32.000";
        QTest::newRow("beyond the ladder") << 16 << "Anna" << "1.000.000";
        QTest::newRow("empty name") << 2 << "" << "0";
        QTest::newRow("name with blanks and umlauts") << 5 << " Jürgen Groß " << "1.000";
    }

    void lossMessage()
    {
        QFETCH(int, rights);
        QFETCH(QString, name);
        QFETCH(QString, amount);
        startGame(25, name);
        climb(rights);
        const int n = shownNumber();
        QCOMPARE(n, rights + 1);
        const QString letter = rightLetter();

        DialogAnswerer answer({"yes"});
        button(wrongLetter())->click();
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).text,
                 expectedLoss(name, amount, letter, QStringLiteral("Antwort %1%2").arg(letter).arg(n)));
        QCOMPARE(answer.seen().at(0).title, QStringLiteral("Quiz"));
        QCOMPARE(answer.seen().at(0).buttons.size(), 2);
    }

    void lossMessageExample()
    {
        // The right answer's text as stored, whatever it is.
        Record rec = testsupport::sampleRecord(1, QStringLiteral("B"));
        rec[QStringLiteral("AntwortB")] = QStringLiteral("Paris");
        startGameWith({rec, testsupport::sampleRecord(2, QStringLiteral("A"))});
        m_w->SecuredAmount = 1000;
        DialogAnswerer answer({"yes"});
        m_w->cmdD->click();
        QCOMPARE(answer.seen().at(0).text,
                 QStringLiteral("Sie haben verloren Anna und fallen auf 1.000 € zurück. B also Paris währe "
                                "richtig gewesen. Wollen Sie eine zweite Chance?"));
    }

    // --- Second chance and game over.

    void secondChanceYes()
    {
        startGame();
        climb(6);
        m_w->cmdHalb->click();
        m_w->cmdPublikum->click();
        QCOMPARE(shownNumber(), 7);
        DialogAnswerer answer({"yes"});
        // After fifty-fifty the key of a greyed-out wrong letter still counts.
        const QString greyed = kLetters.mid((kLetters.indexOf(rightLetter()) + 2) % 4, 1);
        QVERIFY(!button(greyed)->isEnabled());
        m_w->Form_KeyPress(greyed.toLower().at(0).unicode());
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(shownNumber(), 8); // the lost question is not asked again
        QCOMPARE(m_w->Level, qint16(0));
        QCOMPARE(m_w->SecuredAmount, 0);
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 0 €"));
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
        QCOMPARE(litMarkers(), litUpTo(0));
        QVERIFY(answersEnabled());
        QVERIFY(jokersEnabled());
        QVERIFY(m_w->lblPublikumA->isHidden());

        // The new game counts from nothing.
        climb(1);
        QCOMPARE(litMarkers(), litUpTo(1));
        DialogAnswerer again({"no", "no"});
        button(wrongLetter())->click();
        QCOMPARE(again.seen().at(0).text.contains(QStringLiteral(" und fallen auf 0 € zurück. ")), true);
    }

    void gameOver()
    {
        startGame();
        climb(6);
        QCOMPARE(shownNumber(), 7);
        BoxWatcher watch(*m_w);
        DialogAnswerer answer({"no", "no"});
        button(wrongLetter())->click();
        QCOMPARE(answer.pending(), 0);
        QCOMPARE(answer.seen().at(1).text, QStringLiteral("Beenden"));
        // When "Beenden" is asked the game is already over.
        QCOMPARE(watch.seen.at(1).status, QStringLiteral("Game Over"));
        QVERIFY(!watch.seen.at(1).answersEnabled);
        QVERIFY(!watch.seen.at(1).jokersEnabled);

        QCOMPARE(shownNumber(), 7); // the lost question stays
        QVERIFY(answersDisabled());
        QVERIFY(jokersDisabled());
        QCOMPARE(m_w->Level, qint16(0));
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 1.000,- €"));
        QCOMPARE(litMarkers(), litUpTo(6));
        // The audience's vote on the lost question, animated.
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("das Publikum hat gesprochen"));
        QVERIFY(!m_w->lblPublikumA->isHidden());
        QCOMPARE(m_w->lblPublikumA->text(), QStringLiteral("A: 40%"));
        QCOMPARE(m_w->lblPublikumD->text(), QStringLiteral("D: 10%"));
        QVERIFY(m_w->TimerPub->isActive());
        QCOMPARE(m_w->ShpPubA->Height(), 15);

        // The buttons lead on: a new game.
        m_w->cmdNeu->click();
        QCOMPARE(shownNumber(), 8);
        QVERIFY(answersEnabled());
        QVERIFY(jokersEnabled());
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 0 €"));
    }

    void gameOverKeepsAudienceAlreadyShown()
    {
        startGame();
        climb(2);
        m_w->cmdPublikum->click();
        for (int i = 0; i < 40; ++i)
            QMetaObject::invokeMethod(m_w->TimerPub, "timeout");
        QVERIFY(!m_w->TimerPub->isActive());
        QCOMPARE(m_w->ShpPubA->Height(), 815);

        DialogAnswerer answer({"no", "no"});
        button(wrongLetter())->click();
        QCOMPARE(answer.pending(), 0);
        // The vote on screen stays as it was, not animated a second time.
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Danke, dass Sie bei uns bleiben"));
        QVERIFY(!m_w->TimerPub->isActive());
        QCOMPARE(m_w->ShpPubA->Height(), 815);
        QVERIFY(!m_w->lblPublikumA->isHidden());
        QVERIFY(answersDisabled());
    }

    void gameOverThenEnd()
    {
        startGame();
        climb(3);
        DialogAnswerer answer({"no", "yes"});
        bool ended = false;
        try {
            m_w->Form_KeyPress(wrongLetter().toLower().at(0).unicode());
        } catch (const ProgramEnded&) {
            ended = true;
        }
        QVERIFY(ended);
        QCOMPARE(answer.seen().size(), 2);
        QCOMPARE(answer.seen().at(1).text, QStringLiteral("Beenden"));
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Game Over"));
        // The file is closed and left as it was.
        QCOMPARE(testsupport::readQuestionFile(filePath()), m_records);
    }

    void keyAfterGameOver()
    {
        startGame();
        climb(5);
        {
            DialogAnswerer answer({"no", "no"});
            button(wrongLetter())->click();
            QCOMPARE(answer.pending(), 0);
        }
        QVERIFY(answersDisabled());
        QCOMPARE(shownNumber(), 6);

        // The right letter still counts, with its button disabled.
        m_w->Form_KeyPress(rightLetter().toLower().at(0).unicode());
        QCOMPARE(shownNumber(), 7);
        QCOMPARE(m_w->Level, qint16(1));
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
        QVERIFY(answersEnabled());
        QVERIFY(jokersDisabled());
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 1.000,- €"));
        QVERIFY(m_w->lblPublikumA->isHidden());

        // Lost again: the amount secured in the earlier game is what the
        // message names.
        {
            DialogAnswerer answer({"no", "no"});
            m_w->Form_KeyPress(wrongLetter().toLower().at(0).unicode());
            QCOMPARE(answer.pending(), 0);
            QVERIFY(answer.seen().at(0).text.contains(QStringLiteral(" und fallen auf 1.000 € zurück. ")));
        }
        // A wrong letter after game over: the loss message once more.
        {
            DialogAnswerer answer({"yes"});
            m_w->Form_KeyPress(wrongLetter().toLower().at(0).unicode());
            QCOMPARE(answer.seen().size(), 1);
            QVERIFY(answer.seen().at(0).text.startsWith(QStringLiteral("Sie haben verloren Anna")));
            QVERIFY(answersEnabled());
            QVERIFY(jokersEnabled());
        }
    }

    // --- The key rules, on a table of one record whose right answer is C.

    void keyRules_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("judged"); // "right", "wrong" or "nothing"
        QTest::newRow("c") << int('c') << "right";
        QTest::newRow("C") << int('C') << "right";
        QTest::newRow("a") << int('a') << "wrong";
        QTest::newRow("b") << int('b') << "wrong";
        QTest::newRow("d") << int('d') << "wrong";
        QTest::newRow("A") << int('A') << "nothing";
        QTest::newRow("B") << int('B') << "nothing";
        QTest::newRow("D") << int('D') << "nothing";
        QTest::newRow("e") << int('e') << "nothing";
        QTest::newRow("E") << int('E') << "nothing";
        QTest::newRow("3") << int('3') << "nothing";
        QTest::newRow("blank") << int(' ') << "nothing";
        QTest::newRow("return") << 13 << "nothing";
        QTest::newRow("a umlaut") << 0xE4 << "nothing";
        QTest::newRow("zero") << 0 << "nothing";
    }

    void keyRules()
    {
        QFETCH(int, key);
        QFETCH(QString, judged);
        startGameWith({testsupport::sampleRecord(1, QStringLiteral("C"))});
        const QString status = m_w->lblStatus->text();
        DialogAnswerer answer({"yes"});
        m_w->Form_KeyPress(key);
        if (judged == QLatin1String("right")) {
            QCOMPARE(answer.seen().size(), 0);
            QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
            QCOMPARE(litMarkers(), litUpTo(1));
            QCOMPARE(shownNumber(), 1); // one record: the next question is the same
        } else if (judged == QLatin1String("wrong")) {
            QCOMPARE(answer.seen().size(), 1);
            QCOMPARE(answer.seen().at(0).text, expectedLoss("Anna", "0", "C", "Antwort C1"));
            QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
        } else {
            QCOMPARE(answer.seen().size(), 0);
            QCOMPARE(m_w->lblStatus->text(), status);
            QCOMPARE(litMarkers(), litUpTo(0));
        }
    }

    void keyReachesGameOnlyWithWindowFocus()
    {
        startGameWith({testsupport::sampleRecord(1, QStringLiteral("C")),
                       testsupport::sampleRecord(2, QStringLiteral("A"))});
        // A key that goes to the window itself is judged.
        typeKey(QLatin1Char('c'));
        QCOMPARE(shownNumber(), 2);
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
        // Typed while an answer button has the focus, the key belongs to the
        // button and judges nothing.
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        m_w->cmdB->setFocus();
        if (QApplication::focusWidget() != m_w->cmdB)
            QSKIP("this platform gives no keyboard focus to a window");
        QTest::keyClick(m_w->cmdB, 'a');
        QTest::keyClick(m_w->cmdB, 'b');
        QCOMPARE(shownNumber(), 2);
        QCOMPARE(m_w->Level, qint16(1));
        // Typed into the name box it is part of the name, nothing else.
        m_w->txtName->setText(QString());
        QTest::keyClicks(m_w->txtName, QStringLiteral("ab"));
        QCOMPARE(m_w->txtName->text(), QStringLiteral("ab"));
        QCOMPARE(shownNumber(), 2);
        QCOMPARE(m_w->Level, qint16(1));
    }

    // --- Buttons of the game.

    void beendenButton_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Ja") << true;
        QTest::newRow("Nein") << false;
    }

    void beendenButton()
    {
        QFETCH(bool, yes);
        startGame();
        climb(3);
        m_w->cmdHalb->click();
        const QString question = m_w->lblFrage->text();
        const bool aEnabled = m_w->cmdA->isEnabled();
        DialogAnswerer answer({yes ? "yes" : "no"});
        bool ended = false;
        try {
            m_w->cmdEnd_Click();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        QCOMPARE(ended, yes);
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).text, QStringLiteral("Beenden"));
        QCOMPARE(answer.seen().at(0).title, QStringLiteral("Quiz"));
        if (!yes) {
            // Only the status line changes.
            QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Danke, dass Sie bei uns bleiben"));
            QCOMPARE(m_w->lblFrage->text(), question);
            QCOMPARE(m_w->cmdA->isEnabled(), aEnabled);
            QVERIFY(!m_w->cmdHalb->isEnabled());
            QCOMPARE(litMarkers(), litUpTo(3));
            QCOMPARE(m_w->Level, qint16(3));
        }
    }

    // A question is answered with Ja or Nein only: Escape and closing the box
    // leave it open, and the answer given after them still counts.
    void questionsAnsweredOnlyByTheirButtons_data()
    {
        QTest::addColumn<bool>("loss");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QStringList>("resisted");
        QTest::addColumn<QString>("status");
        const QStringList both{"escape", "close"};
        QTest::newRow("loss message, Ja") << true << "escape,close,yes" << both << "Neues Spiel, neue Mafia-Moneten...";
        QTest::newRow("Beenden, Nein") << false << "escape,close,no" << both << "Danke, dass Sie bei uns bleiben";
        QTest::newRow("Beenden, key N") << false << "escape,key:n" << QStringList{"escape"}
                                        << "Danke, dass Sie bei uns bleiben";
    }

    void questionsAnsweredOnlyByTheirButtons()
    {
        QFETCH(bool, loss);
        QFETCH(QString, actions);
        startGame();
        climb(2);
        // Should the box give way, "Beenden" would follow: answered, so that
        // the test ends either way.
        DialogAnswerer answer({actions, "no"});
        if (loss)
            button(wrongLetter())->click();
        else
            m_w->cmdEnd->click();
        QCOMPARE(answer.seen().size(), 1);
        const testsupport::SeenDialog& box = answer.seen().at(0);
        QVERIFY(!box.closeBox);
        QTEST(box.resisted, "resisted");
        QCOMPARE(box.buttons, (QStringList{"&Ja", "&Nein"}));
        QTEST(m_w->lblStatus->text(), "status");
        if (loss)
            QCOMPARE(m_w->Level, qint16(0)); // the second chance: a new game
    }

    // What a screen reader reads of the stage after five right answers and the
    // fifty-fifty joker: the ladder by step, amount and whether it is reached,
    // the secured amount, the used joker, and the last status line.
    void screenReaderReadsTheStage_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("what");
        QTest::addColumn<QString>("text");
        const int name = QAccessible::Name, description = QAccessible::Description;
        QTest::newRow("name box") << "txtName" << name << "Kandidatenname";
        QTest::newRow("answer") << "cmdA" << name << "A:   Antwort A6";
        QTest::newRow("step 1") << "S1" << name << "Stufe 1: 50 €, erreicht";
        QTest::newRow("step 5 reached") << "S5" << name << "Stufe 5: 500 €, erreicht";
        QTest::newRow("step 6 not reached") << "S6" << name << "Stufe 6: 1.000 €, nicht erreicht";
        QTest::newRow("step 15") << "S15" << name << "Stufe 15: 1.000.000 €, nicht erreicht";
        QTest::newRow("clock") << "lblTime" << name << "Uhrzeit 00:00:00";
        QTest::newRow("secured amount") << "lblSicher" << name << "Gesicherter Betrag: 1.000 €";
        QTest::newRow("status line") << "lblStatus" << name << "50:50 - zwei falsche Antworten verschwinden";
        QTest::newRow("used joker") << "cmdHalb" << name << "Zwei weg";
        QTest::newRow("used joker says so") << "cmdHalb" << description << "benutzt";
        QTest::newRow("joker still there") << "cmdHandy" << description << "";
    }

    void screenReaderReadsTheStage()
    {
        QFETCH(QString, control);
        QFETCH(int, what);
        startGame();
        climb(5);
        m_w->cmdHalb->click();
        auto* widget = m_w->findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(read);
        QTEST(read->text(QAccessible::Text(what)), "text");
        if (control.startsWith(QLatin1Char('S'))) {
            QVERIFY(!read->state().invisible); // an unlit step is read as well
            QVERIFY(read->rect().contains(m_w->ladderNumber(5)->mapToGlobal(m_w->ladderNumber(5)->rect().center()))
                    == (control == QLatin1String("S5"))); // as its whole row
        }
    }

    // What a screen reader is told of a change without a move of the focus:
    // one announcement, status line first, once the window is active again.
    // It is read from the status line's notification, which is shown anew
    // (ObjectShow) for every announcement.
    void changesAreAnnounced_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("said");
        const QString second = "Frage 2 A: Antwort A2. B: Antwort B2. C: Antwort C2. D: Antwort D2.";
        QTest::newRow("after the name prompt")
            << "" << "Wilkommen zum Plomberg-Quiz. Frage 1 A: Antwort A1. B: Antwort B1. C: Antwort C1. D: Antwort D1.";
        QTest::newRow("right answer") << "A" << "Stufe 1: 50 €. nächste Frage. " + second;
        QTest::newRow("second chance") << "B" << "Neues Spiel, neue Mafia-Moneten... " + second;
        QTest::newRow("fifty-fifty") << "halb"
                                     << "50:50 - zwei falsche Antworten verschwinden. Es bleiben A: Antwort A1 und B: Antwort B1.";
        QTest::newRow("audience") << "publikum" << "das Publikum hat gesprochen. A: 40%, B: 30%, C: 20%, D: 10%.";
        QTest::newRow("phone, 29 only shown") << "handy:1" << "Noch 30 Sekunden.";
        QTest::newRow("phone at 20") << "handy:10" << "Noch 20 Sekunden.";
        QTest::newRow("phone at 5") << "handy:28" << "Noch 5 Sekunden.";
        QTest::newRow("time is up") << "handy:30" << "Zeit abgelaufen!";
    }

    void changesAreAnnounced()
    {
        QFETCH(QString, action);
        startGame();
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(m_w->lblStatus);
        QCOMPARE(status->role(), QAccessible::StatusBar);
        QAccessibleInterface* notification = status->child(0);
        QVERIFY(notification && notification->role() == QAccessible::Notification);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(notification->text(QAccessible::Name), QString()); // not while the prompt is open
        {
            QEvent back(QEvent::WindowActivate);
            QApplication::sendEvent(m_w.get(), &back);
        }
        QCoreApplication::sendPostedEvents();
        DialogAnswerer answer({action == QLatin1String("B") ? "yes" : "ok"});
        if (action.size() == 1)
            button(action)->click();
        else if (action == QLatin1String("halb"))
            m_w->cmdHalb->click();
        else if (action == QLatin1String("publikum"))
            m_w->cmdPublikum->click();
        else if (action.startsWith(QLatin1String("handy:"))) {
            m_w->cmdHandy->click();
            QCoreApplication::sendPostedEvents();
            for (int tick = action.mid(6).toInt(); tick > 0; --tick) {
                QMetaObject::invokeMethod(m_w->TimerCountdown, "timeout");
                QCoreApplication::sendPostedEvents();
            }
        }
        QCoreApplication::sendPostedEvents();
        QTEST(notification->text(QAccessible::Name), "said");
    }

    // The focus of a greyed joker goes back to where it came from, that of a
    // greyed answer to the question, where one more Space answers nothing; it
    // never starts a new game or goes into the name box. A lost game leaves
    // it on "Neu", and the new game gives it back to the answers.
    void focusStaysOnTheAnswers_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QString>("focusAfter");
        QTest::newRow("phone") << "cmdHandy" << "cmdHandy" << "cmdA";
        QTest::newRow("audience") << "cmdPublikum" << "cmdPublikum" << "cmdA";
        QTest::newRow("fifty-fifty") << "cmdHalb" << "cmdHalb" << "lblFrage";
        QTest::newRow("answer greyed by fifty-fifty") << "cmdA" << "cmdHalb" << "lblFrage";
        QTest::newRow("lost game") << "cmdA" << "cmdA" << "cmdNeu";
    }

    void focusStaysOnTheAnswers()
    {
        QFETCH(QString, focused);
        QFETCH(QString, pressed);
        startGame();
        climb(1); // question 2: B is right, C the doubtful one
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        m_w->findChild<QWidget*>(focused)->setFocus();
        if (m_w->focusWidget() != m_w->findChild<QWidget*>(focused))
            QSKIP("this platform gives no keyboard focus to a window");
        {
            DialogAnswerer answer({"ok", "no", "no"}); // the phone's box; no second chance, no end
            m_w->findChild<QPushButton*>(pressed)->click();
        }
        QTEST(m_w->focusWidget()->objectName(), "focusAfter");
        if (m_w->focusWidget() == m_w->cmdNeu) {
            m_w->cmdNeu->click();
            QCOMPARE(m_w->focusWidget(), m_w->cmdA);
        }
    }

    // A quick double-click on an answer is one answer: its second press is
    // no answer to the next question, which the player has not seen. A click
    // after the double-click interval counts as usual.
    void doubleClickAnswersOnce_data()
    {
        QTest::addColumn<int>("gap"); // ms from the first release to the second press
        QTest::addColumn<int>("level");
        QTest::newRow("double-click") << 120 << 1;
        QTest::newRow("second click later") << QApplication::doubleClickInterval() << 2;
    }

    void doubleClickAnswersOnce()
    {
        QFETCH(int, gap);
        startGameWith({testsupport::sampleRecord(1, "A"), testsupport::sampleRecord(2, "A"),
                       testsupport::sampleRecord(3, "A")});
        const auto mouse = [this](QEvent::Type type, ulong time) {
            const QPointF at(5, 5);
            QMouseEvent event(type, at, m_w->cmdA->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            event.setTimestamp(time);
            QApplication::sendEvent(m_w->cmdA, &event);
        };
        mouse(QEvent::MouseButtonPress, 1000);
        mouse(QEvent::MouseButtonRelease, 1080);
        mouse(QEvent::MouseButtonPress, 1080 + gap);
        if (gap < QApplication::doubleClickInterval())
            mouse(QEvent::MouseButtonDblClick, 1080 + gap);
        mouse(QEvent::MouseButtonRelease, 1160 + gap);
        QTEST(int(m_w->Level), "level");
    }

    void newGameButtonMidGame()
    {
        startGame();
        climb(5);
        m_w->cmdHalb->click();
        {
            DialogAnswerer answer({"ok"});
            m_w->cmdHandy->click();
        }
        QMetaObject::invokeMethod(m_w->TimerCountdown, "timeout");
        QVERIFY(m_w->TimerCountdown->isActive());
        QCOMPARE(shownNumber(), 6);

        m_w->cmdNeu->click();
        QCOMPARE(shownNumber(), 7); // the current question is skipped
        QCOMPARE(litMarkers(), litUpTo(0));
        QCOMPARE(m_w->lblSicher->text(), QStringLiteral("Sicher: 0 €"));
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
        QVERIFY(answersEnabled());
        QVERIFY(jokersEnabled());
        QVERIFY(!m_w->TimerCountdown->isActive());
        // The phone countdown starts from a full count again.
        {
            DialogAnswerer answer({"ok"});
            m_w->cmdHandy->click();
        }
        QMetaObject::invokeMethod(m_w->TimerCountdown, "timeout");
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Noch 29 Sekunden"));
    }

    void newGameWrapsAround()
    {
        startGame(3);
        climb(2);
        QCOMPARE(shownNumber(), 3);
        m_w->cmdNeu->click();
        QCOMPARE(shownNumber(), 1);
    }

    void closingTheWindowAsksNothing()
    {
        startGame();
        DialogAnswerer answer({"yes"});
        QVERIFY(m_w->close());
        QCOMPARE(answer.seen().size(), 0);
    }

    // --- Counters and records that are not what they should be.

    void levelStopsAtItsTop()
    {
        startGame();
        m_w->Level = 32766;
        climb(1);
        QCOMPARE(m_w->Level, qint16(32767));
        climb(1);
        QCOMPARE(m_w->Level, qint16(32767));
        QCOMPARE(litMarkers(), litUpTo(0)); // far beyond the ladder: no step
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("nächste Frage"));
    }

    void rightAnswerWithoutValue()
    {
        Record rec = testsupport::sampleRecord(1, QStringLiteral("D"));
        rec[QStringLiteral("AntwortD")] = QVariant(); // no value at all
        startGameWith({rec, testsupport::sampleRecord(2)});
        DialogAnswerer answer({"yes"});
        m_w->cmdA->click();
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).text, expectedLoss("Anna", "0", "D", QString()));
        QCOMPARE(shownNumber(), 2);
    }

    void rightLetterNotALetter_data()
    {
        QTest::addColumn<QVariant>("richtig");
        QTest::newRow("no value") << QVariant();
        QTest::newRow("empty") << QVariant(QString());
        QTest::newRow("lower case") << QVariant(QStringLiteral("b"));
        QTest::newRow("E") << QVariant(QStringLiteral("E"));
    }

    void rightLetterNotALetter()
    {
        QFETCH(QVariant, richtig);
        Record rec = testsupport::sampleRecord(1, QStringLiteral("B"));
        rec[QStringLiteral("Richtig")] = richtig;
        startGameWith({rec, testsupport::sampleRecord(2)});
        const QString letter = richtig.isNull() ? QString() : richtig.toString();
        for (QPushButton* b : {m_w->cmdA, m_w->cmdB, m_w->cmdC, m_w->cmdD}) {
            DialogAnswerer answer({"no", "no"});
            b->setEnabled(true);
            b->click();
            QCOMPARE(answer.seen().size(), 2);
            QCOMPARE(answer.seen().at(0).text, expectedLoss("Anna", "0", letter, QString()));
            QCOMPARE(shownNumber(), 1);
        }
    }

    void recordDeletedUnderTheGame()
    {
        startGame(4);
        climb(1);
        QCOMPARE(shownNumber(), 2);
        // The editor, with its own connection, deletes the record on screen.
        {
            auto db = store::DBEngine::instance().OpenDatabase(filePath());
            auto rs = db->OpenRecordset(store::kTable);
            rs->MoveNext();
            QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 2"));
            rs->Delete();
            rs->Close();
            db->Close();
        }
        // The game goes on: the vanished question counts as having no right letter.
        DialogAnswerer answer({"yes"});
        m_w->cmdB->click();
        QCOMPARE(answer.seen().size(), 1);
        QCOMPARE(answer.seen().at(0).text, expectedLoss("Anna", "0", QString(), QString()));
        QCOMPARE(shownNumber(), 3);
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
        climb(2);
        QCOMPARE(shownNumber(), 1); // past the last record, round to the first
        QCOMPARE(litMarkers(), litUpTo(2));
    }
};

QTEST_MAIN(TestGamePlay)
#include "tst_game_play.moc"
