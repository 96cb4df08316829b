// The quiz: German dialogs, the game window loaded before it is shown, then the
// event loop until the player ends the program.
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
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

void centreOnScreen(QWidget& window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

} // namespace

int main(int argc, char** argv)
{
    if (noScreen()) {
        std::fputs("Kein Bildschirm gefunden: das Quiz braucht eine Desktop-Sitzung; starten Sie es dort, "
                   "oder zum Ausprobieren ohne Bildschirm mit 'xvfb-run ./quiz'.\n",
                   stderr);
        return 1;
    }

    QuizApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png"))); // the dialogs carry it too
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    QTranslator qtGerman;
    if (qtGerman.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtGerman);

    try {
        frmQuiz w;
        w.Form_Load();
        centreOnScreen(w);
        w.show();
        return app.exec();
    } catch (const std::exception& e) {
        platform::reportUncaughtFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        platform::reportUncaughtFailure(QStringLiteral("unbekannter Fehler"));
    }
    return 1;
}
