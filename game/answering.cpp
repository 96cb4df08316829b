// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Answering a question: the four answer buttons, the letter keys, and what a
// right or a wrong answer does to the game.
#include "game/frmQuiz.h"

#include "game/accessibility.h"

#include "platform/platform.h"
#include "platform/Shape.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace {

// The right answer's letter. A field without a value (or a record that another
// connection deleted under our cursor) reads as the empty text, so it equals
// no letter.
QString rightLetter(const store::Recordset& records)
{
    return store::fieldText(records, store::field::Richtig);
}

} // namespace

// --- Judging by button: the button's letter against the field Richtig.

void frmQuiz::cmdA_Click() { judgeAnswer(QStringLiteral("A")); }

void frmQuiz::cmdB_Click() { judgeAnswer(QStringLiteral("B")); }

void frmQuiz::cmdC_Click() { judgeAnswer(QStringLiteral("C")); }

void frmQuiz::cmdD_Click() { judgeAnswer(QStringLiteral("D")); }

void frmQuiz::judgeAnswer(const QString& letter)
{
    if (rightLetter(*QuizRecords) == letter)
        Richtig();
    else
        Falsch();
}

// --- Judging by key. The right letter counts in either case; a wrong letter
// only in lower case (a to d); every other key does nothing. The answer
// buttons are not looked at: a letter is judged even when its button is
// disabled.
void frmQuiz::Form_KeyPress(int keyAscii)
{
    const QString typed = QString(QChar(static_cast<char16_t>(keyAscii & 0xFFFF))).toUpper();
    if (rightLetter(*QuizRecords) == typed) {
        Richtig();
        return;
    }
    switch (keyAscii) {
    case 97:  // a
    case 98:  // b
    case 99:  // c
    case 100: // d
        Falsch();
        break;
    default:
        break;
    }
}

// --- A right answer: one step up, the next question, the ladder step.
void frmQuiz::Richtig()
{
    // Level is a 16-bit counter; far beyond the ladder it stays at its top
    // instead of turning negative.
    if (Level < std::numeric_limits<qint16>::max())
        ++Level;
    QuizRecords->MoveNext();
    PufferInForm();
    if (Level >= 1 && Level <= 15)
        Leiterstufe(Level);
    // Also undoes what the fifty-fifty joker disabled; the joker buttons stay
    // as they are until the next new game.
    cmdA->setEnabled(true);
    cmdB->setEnabled(true);
    cmdC->setEnabled(true);
    cmdD->setEnabled(true);
    showStatus(QStringLiteral("nächste Frage"));
}

// --- A wrong answer: the loss message with the offer of a second chance.
void frmQuiz::Falsch()
{
    QString rightText;
    const QString letter = rightLetter(*QuizRecords);
    if (letter == QLatin1String("A"))
        rightText = store::fieldText(*QuizRecords, store::field::AntwortA);
    else if (letter == QLatin1String("B"))
        rightText = store::fieldText(*QuizRecords, store::field::AntwortB);
    else if (letter == QLatin1String("C"))
        rightText = store::fieldText(*QuizRecords, store::field::AntwortC);
    else if (letter == QLatin1String("D"))
        rightText = store::fieldText(*QuizRecords, store::field::AntwortD);

    const QString name = txtName->text();
    const QString amount = platform::formatGrouped(SecuredAmount);
    const QString letterAgain = rightLetter(*QuizRecords);

    const QString message = QStringLiteral("Sie haben verloren ") + name
        + QStringLiteral(" und fallen auf ") + amount
        + QStringLiteral(" € zurück. ") + onScreen(letterAgain)
        + QStringLiteral(" also ") + onScreen(rightText)
        + QStringLiteral(" währe richtig gewesen. Wollen Sie eine zweite Chance?");

    if (platform::askYesNo(message)) {
        Neu(); // the second chance is a whole new game on the next question
        return;
    }

    // Game over: the amount and the lit markers stay on the window.
    showStatus(QStringLiteral("Game Over"));
    m_access->announceStanding(lblStatus->text()); // heard after what follows, too
    Level = 0;
    cmdA->setEnabled(false);
    cmdB->setEnabled(false);
    cmdC->setEnabled(false);
    cmdD->setEnabled(false);
    cmdHalb->setEnabled(false);
    cmdHandy->setEnabled(false);
    cmdPublikum->setEnabled(false);
    Ende();
    // The audience's vote on the lost question, unless the player already
    // asked the audience on it. The label's own visibility flag is what
    // counts, whether or not the window itself is on screen.
    if (lblPublikumA->isHidden())
        Publikum();
}
