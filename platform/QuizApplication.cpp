// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QuizApplication.h"

#include "platform/platform.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// While the toolkit starts, a fatal message means that no display plugin
// could be started (a Wayland session without the Wayland plugin or without
// a compositor, an X11 one without a server): Qt would abort with an English
// text and a core dump. The player gets a German line naming the plugins
// tried and what they need, and a plain exit status 1.
void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (g_qtHandler)
            g_qtHandler(type, context, message);
        else
            std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        return;
    }
    const QString tried = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? QStringLiteral("Standard")
                                                                          : qEnvironmentVariable("QT_QPA_PLATFORM");
    platform::reportToTerminal(
        QStringLiteral("Das Quiz kann sich auf keinem Bildschirm zeigen: keine Qt-Plattform ließ sich starten "
                       "(QT_QPA_PLATFORM: %1). In einer Wayland-Sitzung braucht es das Paket qt6-wayland und "
                       "einen laufenden Compositor, unter X11 einen X-Server in DISPLAY.")
            .arg(tried));
    std::fflush(stderr);
    std::_Exit(1);
}

// Qt's generic style on an X11 desktop puts stock icons on OK and
// Abbrechen; reading those pictures was a fifth of the game's start-up there.
class PlainDialogButtons : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

int& startGuarded(int& argc)
{
    g_qtHandler = qInstallMessageHandler(whileStarting);
    return argc;
}

} // namespace

QuizApplication::QuizApplication(int& argc, char** argv) : QApplication(startGuarded(argc), argv)
{
    qInstallMessageHandler(g_qtHandler);
    setStyle(withPlainDialogButtons(style()));
    describeProgram();
    setWindowIcon(platform::programIcon());
    speakGerman(*this, m_qtGerman);
}

QStyle* QuizApplication::withPlainDialogButtons(QStyle* base) { return new PlainDialogButtons(base); }

void QuizApplication::describeProgram()
{
    setApplicationName(QStringLiteral(QUIZ_PROGRAM));
    setApplicationVersion(QStringLiteral(QUIZ_VERSION));
    setDesktopFileName(QStringLiteral(QUIZ_APP_ID));
}

void QuizApplication::speakGerman(QCoreApplication& app, QTranslator& translator)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    if (translator.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

bool QuizApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        platform::reportUncaughtFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        platform::reportUncaughtFailure(QStringLiteral("unbekannter Fehler"));
    }
    return false;
}
