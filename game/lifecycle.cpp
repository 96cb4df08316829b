// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The life of a game: the prize ladder, a new game, and the question before
// the program ends.
#include "game/frmQuiz.h"

#include "game/accessibility.h"
#include "game/inputguard.h"

#include "platform/platform.h"
#include "platform/Shape.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The ladder step of a level 1..15: its marker lights up; the safety steps
// secure an amount; the fifteenth is the top prize.
void frmQuiz::Leiterstufe(int level)
{
    if (level < 1 || level > 15)
        return;
    marker(level)->setVisible(true); // markers of lower levels stay lit
    m_access->announceStep(level, false);

    // The secured amounts are set by value; they do not follow the row captions.
    qint32 secured = 0;
    switch (level) {
    case 5: secured = 1000; break;
    case 10: secured = 32000; break;
    case 15: secured = 1000000; break;
    default: return;
    }
    SecuredAmount = secured;
    lblSicher->setText(QStringLiteral("Sicher: ") + platform::formatSecured(SecuredAmount)
                       + QStringLiteral(" €"));
    m_access->announceStep(level, true);

    if (level != 15)
        return;

    // The top prize. Richtig writes "nächste Frage" and enables the answer
    // buttons after this, whatever the player chooses here.
    platform::msgBox(QStringLiteral("Glückwunsch, Sie sind nun reicher als der Mertig erlaubt! "
                                    "Von nun an werden Bettelbriefe an ")
                     + txtName->text() + QStringLiteral(" geschickt, dass die Post reich wird."));
    platform::msgBox(QStringLiteral("Der Programmierer dieses Spiels ist nicht verpflichtet etwas "
                                    "auszuzahlen! Also machen Sie sich keine Illusionen!"));
    showStatus(QStringLiteral("Kontostand ihres Kartells: 1.000.000,- €"));
    if (platform::askYesNo(QStringLiteral("Neue Runde?")))
        Neu();
    else
        Ende();
}

// A new game on the next question: level 0, nothing secured, all jokers back.
void frmQuiz::Neu()
{
    cmdPublikum->setEnabled(true);
    cmdHalb->setEnabled(true);
    cmdHandy->setEnabled(true);
    QuizRecords->MoveNext();
    PufferInForm(); // wraps to the first question past the last one
    Level = 0;
    SecuredAmount = 0;
    CountdownElapsed = 0;
    lblSicher->setText(QStringLiteral("Sicher: 0 €"));
    showStatus(QStringLiteral("Neues Spiel, neue Mafia-Moneten..."));
    for (int level = 1; level <= 15; ++level)
        marker(level)->setVisible(false);
    cmdA->setEnabled(true);
    cmdB->setEnabled(true);
    cmdC->setEnabled(true);
    cmdD->setEnabled(true);
    TimerCountdown->stop();
    // The audience animation is left alone: PufferInForm has hidden its bars.
    m_input->newGameBegan();
}

// Asks whether to end the program. Yes closes the question file and ends at
// once; No leaves a word of thanks in the status line and the caller goes on.
void frmQuiz::Ende()
{
    if (platform::askYesNo(QStringLiteral("Beenden"))) {
        if (QuizRecords)
            QuizRecords->Close();
        if (QuizDatabase)
            QuizDatabase->Close();
        platform::endProgram();
    }
    showStatus(QStringLiteral("Danke, dass Sie bei uns bleiben"));
}

void frmQuiz::cmdNeu_Click() { Neu(); }

void frmQuiz::cmdEnd_Click() { Ende(); }
