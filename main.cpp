// The quiz: German dialogs, the game window loaded before it is shown, then the
// event loop until the player ends the program.
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"

#include <cstdio>
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

} // namespace

int main(int argc, char** argv)
{
    if (noScreen()) {
        std::fputs("Kein Bildschirm gefunden: das Quiz braucht eine Desktop-Sitzung; starten Sie es dort, "
                   "oder zum Ausprobieren ohne Bildschirm mit 'xvfb-run ./quiz'.\n",
                   stderr);
        return 1;
    }

    QuizApplication app(argc, argv); // German dialogs, the quiz's icon

    try {
        frmQuiz w;
        w.Form_Load();
        platform::centreOnScreen(w);
        w.show();
        return app.exec();
    } catch (const std::exception& e) {
        platform::reportUncaughtFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        platform::reportUncaughtFailure(QStringLiteral("unbekannter Fehler"));
    }
    return 1;
}
