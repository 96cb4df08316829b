// QApplication that routes every exception escaping an event handler to the one
// handler for uncaught failures instead of letting it tear through Qt.
#pragma once

#include <QApplication>

class QuizApplication : public QApplication {
public:
    QuizApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
