// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The quiz: the command line, German dialogs, the game window loaded before it
// is shown, then the event loop until the player ends the program.
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"
#include "platform/questionfile.h"
#include "store/store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QScreen>
#include <QStringList>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// Without a screen the toolkit would abort with a message nobody can act on.
bool noScreen()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
#else
bool noScreen() { return false; }
#endif

// Qt prints help and version to standard output and ends the program with
// status 0. Run at that end: an answer that did not reach its reader ends
// with status 1 instead, and says so.
void failWhenOutputLost()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("Die Ausgabe ließ sich nicht schreiben.\n", stderr);
        std::_Exit(1);
    }
}

// The game's command line: at most one question file, named with --fragendatei
// or plainly. Built once the German texts are loaded, which Qt's own option
// descriptions take at construction.
class CommandLine {
public:
    CommandLine()
    {
        m_parser.setApplicationDescription(
            QStringLiteral("Das Plomberg-Quiz: ein Geld-Quiz mit fünfzehn Fragen je Spiel, drei Jokern\n"
                           "und einem Editor für die Fragen.\n\n"
                           "Ohne PFAD spielt es die Fragendatei %1 neben dem Programm, wenn dort\n"
                           "eine liegt, sonst die eigene des Spielers in ~/.local/share/%2/\n"
                           "(beim ersten Start aus der mitgelieferten Vorgabe kopiert). Der Editor\n"
                           "ändert dieselbe Datei.\n\n"
                           "Eine Access-Datei (Access 97 bis heute) spielt es, wie sie ist: es liest sie\n"
                           "beim Start und ändert sie nie; der Editor zeigt sie schreibgeschützt. Zu einer\n"
                           "Fragendatei dieses Programms, die sich ändern lässt, wird sie mit\n"
                           "  %3 create NEU.mdb ALT.mdb\n\n"
                           "F11 schaltet zwischen Fenster und Vollbild um; Esc verlässt das Vollbild.")
                .arg(store::kFileName, QCoreApplication::applicationName(), QStringLiteral(QUIZDB_PROGRAM)));
        m_parser.addHelpOption();
        m_parser.addVersionOption();
        m_parser.addOption(m_file);
        m_parser.addOption(m_fullScreen);
        m_parser.addPositionalArgument(QStringLiteral("PFAD"), QStringLiteral("Die Fragendatei, wie --fragendatei."),
                                       QStringLiteral("[PFAD]"));
    }

    // Whether the arguments can be answered on the terminal, with no display:
    // a request for help or the version, or, with no display to start the
    // game on, a wrong argument. Qt's own options (-platform, -style) are
    // wrong arguments until QApplication has taken them off the line. A
    // wrong question file is answered there, display or not.
    bool answeredOnTerminal(const QStringList& arguments, bool screenless)
    {
        const bool wellFormed = m_parser.parse(arguments);
        return m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("help-all"))
               || m_parser.isSet(QStringLiteral("version")) || (screenless && !wellFormed)
               || (wellFormed && !fileProblem().isEmpty());
    }

    // Reads the arguments; help, version, a wrong argument and a wrong
    // question file end the program here, with Qt's (German) text or ours.
    // Returns the question file named, if any.
    QString process(const QCoreApplication& app)
    {
        m_parser.process(app);
        if (const QString problem = fileProblem(); !problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(problem));
            std::exit(1);
        }
        return m_parser.isSet(m_file) ? m_parser.value(m_file) : m_parser.positionalArguments().value(0);
    }
    bool fullScreen() const { return m_parser.isSet(m_fullScreen); }

private:
    // What is wrong with the question files named, in German; empty when
    // nothing is. An empty path names no file: it never means "the usual one".
    QString fileProblem() const
    {
        QStringList files = m_parser.positionalArguments();
        if (m_parser.isSet(m_file))
            files += m_parser.values(m_file);
        if (files.size() > 1)
            return QStringLiteral("Bitte höchstens eine Fragendatei angeben.");
        if (files.size() == 1 && files.first().isEmpty())
            return QStringLiteral("Der Pfad der Fragendatei ist leer. Bitte den Pfad einer Fragendatei angeben "
                                  "oder die Angabe weglassen.");
        return QString();
    }

    QCommandLineParser m_parser;
    QCommandLineOption m_file{{QStringLiteral("f"), QStringLiteral("fragendatei")},
                              QStringLiteral("Spielt mit der Fragendatei PFAD."), QStringLiteral("PFAD")};
    QCommandLineOption m_fullScreen{QStringLiteral("vollbild"),
                                    QStringLiteral("Startet im Vollbild: die ganze Bühne so groß, wie der "
                                                   "Bildschirm erlaubt (F11 schaltet um).")};
};

} // namespace

int main(int argc, char** argv)
{
    QuizApplication::describeProgram();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLine().answeredOnTerminal(arguments, noScreen())) {
        QCoreApplication app(argc, argv); // help and version on the terminal, with no display needed
        QTranslator german;
        QuizApplication::speakGerman(app, german);
        std::atexit(failWhenOutputLost);
        CommandLine().process(app); // prints, then ends the program
    }

    if (noScreen()) {
        std::fputs("Kein Bildschirm gefunden: das Quiz braucht eine Desktop-Sitzung; starten Sie es dort.\n", stderr);
        return 1;
    }

    QuizApplication app(argc, argv); // German dialogs, the quiz's icon; takes Qt's own options off the line
    CommandLine commandLine;
    const QString questionFile = platform::resolveQuestionFile(commandLine.process(app), store::kFileName);

    try {
        frmQuiz w(questionFile);
        // In full screen the name prompt at start already reads from the sofa.
        if (commandLine.fullScreen() && app.primaryScreen())
            platform::setDialogScale(frmQuiz::dialogScaleFor(frmQuiz::fullScreenFactor(app.primaryScreen()->size())));
        w.Form_Load();
        platform::centreOnScreen(w);
        if (commandLine.fullScreen())
            w.toggleFullScreen();
        else
            w.show();
        return app.exec();
    } catch (const std::exception& e) {
        platform::reportUncaughtFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        platform::reportUncaughtFailure(QStringLiteral("unbekannter Fehler"));
    }
    return 1;
}
