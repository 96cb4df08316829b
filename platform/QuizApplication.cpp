#include "platform/QuizApplication.h"

#include "platform/platform.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <exception>

QuizApplication::QuizApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    if (m_qtGerman.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtGerman);
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
