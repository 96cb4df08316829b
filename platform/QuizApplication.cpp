// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QuizApplication.h"

#include "platform/platform.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <exception>

QuizApplication::QuizApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    describeProgram();
    setWindowIcon(platform::programIcon());
    speakGerman(*this, m_qtGerman);
}

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
