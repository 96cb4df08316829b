// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the game window and putting the current question on the screen.
#include "game/frmQuiz.h"

#include "game/accesscopy.h"
#include "game/accessibility.h"

#include "platform/Shape.h"
#include "platform/platform.h"
#include "platform/questionfile.h"
#include "store/chars.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

namespace {

const QString kFatalTitle = QStringLiteral("das Plomberg-Quiz");

// The question file cannot be used: say where it belongs and where to get it,
// then end the program before the window is ever shown. The two messages are
// always the same; the precise reason goes to standard error.
[[noreturn]] void failStartup(const QString& questionFile, const QString& reason)
{
    platform::reportToTerminal(reason);
    platform::msgBox(QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ") + questionFile
                         + QStringLiteral(" vorhanden ist. Die Datenbank kann unter ")
                         + platform::questionSource(questionFile, store::kFileName) + QStringLiteral(" geladen werden."),
                     kFatalTitle);
    platform::msgBox(QStringLiteral("Das Quiz wird wegen eines Fehlers beendet."), kFatalTitle);
    platform::endProgram(1); // a failed start is no success for whoever started the game
}

// A button caption shows "&" as an access-key mark; an answer's own "&" must
// stay a plain character.
QString asCaption(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption;
}

} // namespace

void frmQuiz::Form_Load()
{
    lblDate->setText(platform::formatDate(platform::now()));

    try {
        // An Access file is played from a copy of its questions, read now.
        if (AccessCopy::needed(m_questionFile)) {
            m_accessCopy = std::make_unique<AccessCopy>(m_questionFile);
            QuizDatabase = store::DBEngine::instance().OpenReadOnly(m_accessCopy->path(), m_questionFile);
        } else {
            QuizDatabase = store::DBEngine::instance().OpenDatabase(m_questionFile);
        }
        QuizRecords = QuizDatabase->OpenRecordset(store::kTable, store::dbOpenDynaset);

        // The first question must be there and have a text; an empty table or
        // a question without any value cannot start a game.
        if (QuizRecords->IsEOF())
            QuizRecords->MoveFirst();
        if (QuizRecords->IsEOF())
            throw store::Error(QStringLiteral("Die Fragendatei „%1“ enthält keine Fragen.")
                                   .arg(m_questionFile));
        if (QuizRecords->Fields(store::field::Frage).isNull())
            throw store::Error(QStringLiteral("Die erste Frage der Fragendatei „%1“ hat keinen Text.")
                                   .arg(m_questionFile));

        PufferInForm();
        showStatus(QStringLiteral("Wilkommen zum Plomberg-Quiz"));

        if (txtName->text() == QStringLiteral("Ihr Name Bitte"))
            txtName->setText(platform::inputBox(QStringLiteral("Bitte geben Sie ihren Namen an..."),
                                                QStringLiteral("Wie heissen Sie denn?"),
                                                QStringLiteral("Horst Mertig")));
    } catch (const std::exception& e) { // a store::Error as much as anything else
        failStartup(m_questionFile, QString::fromUtf8(e.what()));
    }
}

void frmQuiz::PufferInForm()
{
    // The only place where the questions wrap around to the first one.
    if (QuizRecords->IsEOF())
        QuizRecords->MoveFirst();

    const auto shown = [this](const QString& field) { return onScreen(store::fieldText(*QuizRecords, field)); };
    lblFrage->setText(shown(store::field::Frage));
    cmdA->setText(QStringLiteral("A:   ") + asCaption(shown(store::field::AntwortA)));
    cmdB->setText(QStringLiteral("B:   ") + asCaption(shown(store::field::AntwortB)));
    cmdC->setText(QStringLiteral("C:   ") + asCaption(shown(store::field::AntwortC)));
    cmdD->setText(QStringLiteral("D:   ") + asCaption(shown(store::field::AntwortD)));

    // Clear what the jokers left of the previous question.
    for (QLabel* l : {lblPublikumA, lblPublikumB, lblPublikumC, lblPublikumD})
        l->setVisible(false);
    TimerCountdown->stop();
    for (Shape* s : {ShpPubA, ShpPubB, ShpPubC, ShpPubD})
        s->setVisible(false);
    m_access->announceQuestion();
}

QString frmQuiz::onScreen(const QString& text)
{
    // Laying out a text takes time and memory in proportion to its length:
    // ten thousand characters still show at once, a million take seconds.
    const QStringView shown = store::leftChars(text, kShownChars);
    if (shown.size() == text.size())
        return text;
    return shown + QChar(0x2026);
}
