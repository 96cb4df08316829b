#include "platform/QuizApplication.h"

#include "platform/platform.h"

#include <exception>

QuizApplication::QuizApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
