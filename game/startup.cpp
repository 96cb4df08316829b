// Start-up of the game window, putting the current question on the screen, and
// the clock in the status bar.
#include "game/frmQuiz.h"

#include "platform/Shape.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

namespace quizstartup {
// Where a missing question file can be fetched from; named in the first
// message of the failed start-up. Change it here when the site moves.
extern const char kDownloadAddress[] = "https://www.example.org/plomberg-quiz";
} // namespace quizstartup

namespace {

const QString kFatalTitle = QStringLiteral("das Plomberg-Quiz");

// The question file cannot be used: say where it belongs and where to get it,
// then end the program before the window is ever shown.
[[noreturn]] void failStartup()
{
    platform::msgBox(QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ")
                         + platform::questionFile(store::kFileName)
                         + QStringLiteral(" vorhanden ist. Die Datenbank kann unter ")
                         + QString::fromUtf8(quizstartup::kDownloadAddress) + QStringLiteral(" geladen werden."),
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
        QuizDatabase = store::DBEngine::instance().OpenDatabase(platform::questionFile(store::kFileName));
        QuizRecords = QuizDatabase->OpenRecordset(store::kTable, store::dbOpenDynaset);

        // The first question must be there and have a text; an empty table or
        // a question without any value cannot start a game.
        if (QuizRecords->IsEOF())
            QuizRecords->MoveFirst();
        if (QuizRecords->IsEOF())
            throw store::Error("Die Fragentabelle enthält keine Fragen.");
        if (QuizRecords->Fields(store::field::Frage).isNull())
            throw store::Error("Die erste Frage hat keinen Text.");

        PufferInForm();
        lblStatus->setText(QStringLiteral("Wilkommen zum Plomberg-Quiz"));

        if (txtName->text() == QStringLiteral("Ihr Name Bitte"))
            txtName->setText(platform::inputBox(QStringLiteral("Bitte geben Sie ihren Namen an..."),
                                                QStringLiteral("Wie heissen Sie denn?"),
                                                QStringLiteral("Horst Mertig")));
    } catch (const store::Error&) {
        failStartup();
    } catch (const std::exception&) {
        failStartup();
    }
}

void frmQuiz::PufferInForm()
{
    // The only place where the questions wrap around to the first one.
    if (QuizRecords->IsEOF())
        QuizRecords->MoveFirst();

    lblFrage->setText(store::fieldText(*QuizRecords, store::field::Frage));
    cmdA->setText(QStringLiteral("A:   ") + asCaption(store::fieldText(*QuizRecords, store::field::AntwortA)));
    cmdB->setText(QStringLiteral("B:   ") + asCaption(store::fieldText(*QuizRecords, store::field::AntwortB)));
    cmdC->setText(QStringLiteral("C:   ") + asCaption(store::fieldText(*QuizRecords, store::field::AntwortC)));
    cmdD->setText(QStringLiteral("D:   ") + asCaption(store::fieldText(*QuizRecords, store::field::AntwortD)));

    // Clear what the jokers left of the previous question.
    for (QLabel* l : {lblPublikumA, lblPublikumB, lblPublikumC, lblPublikumD})
        l->setVisible(false);
    TimerCountdown->stop();
    for (Shape* s : {ShpPubA, ShpPubB, ShpPubC, ShpPubD})
        s->setVisible(false);
}

void frmQuiz::Timer1000_Timer()
{
    // One reading of the clock per tick. The date follows whenever it differs
    // from the one shown, so a tick that skips midnight still brings it up to date.
    const QDateTime now = platform::now();
    lblTime->setText(platform::formatTime(now));
    const QString today = platform::formatDate(now);
    if (lblDate->text() != today)
        lblDate->setText(today);
}
