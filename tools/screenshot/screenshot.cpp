// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the game window as the player sees it after start-up, with no display
// needed: the window on the given question file, drawn offscreen, the name
// prompt answered with its default, the clock showing the time. make
// screenshot runs it on the shipped questions.
//   screenshot FRAGENDATEI BILD.png
#include "game/frmQuiz.h"
#include "platform/QuizApplication.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("Aufruf: screenshot FRAGENDATEI BILD.png\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuizApplication app(argc, argv);
    const QString picture = QString::fromLocal8Bit(argv[2]);

    // Nobody is there to answer: the name prompt takes its default, and a
    // message box (a question file that cannot be played) is shown on the
    // terminal and closed, after which the game ends as it would.
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (auto* prompt = qobject_cast<QInputDialog*>(dialog)) {
            prompt->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            std::fprintf(stderr, "%s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    answer.start();

    frmQuiz w(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    w.Form_Load();
    answer.stop();
    w.Timer1000_Timer(); // the time instead of the clock's design text
    if (!w.grab().save(picture)) {
        std::fprintf(stderr, "Das Bild %s konnte nicht geschrieben werden.\n", qPrintable(picture));
        return 1;
    }
    std::printf("%s\n", qPrintable(picture));
    return 0;
}
