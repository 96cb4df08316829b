// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QApplication that routes every exception escaping an event handler to the one
// handler for uncaught failures instead of letting it tear through Qt.
#pragma once

#include <QApplication>
#include <QTranslator>

// Also speaks German: German locale and Qt's own German texts (Ja, Nein,
// Abbrechen), and the quiz's icon on every window and dialog.
class QuizApplication : public QApplication {
public:
    QuizApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The game's program name, version and application id, by which the
    // window is matched to its menu entry. Needs no application object yet.
    static void describeProgram();
    // German locale and Qt's own German texts for `app`, through `translator`:
    // also the command line's help before any window can be opened.
    static void speakGerman(QCoreApplication& app, QTranslator& translator);
    // `base` with dialog buttons that carry words only, as the game's dialogs
    // always looked. Takes `base` over.
    static QStyle* withPlainDialogButtons(QStyle* base);

private:
    QTranslator m_qtGerman;
};
