// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the tests: question files in a temporary directory, written
// with the plain SQLite API, and answering the real modal dialogs.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>

class QTimer;
class QWidget;

namespace testsupport {

// One record: field name -> value. A missing field is stored as NULL; an
// invalid QVariant too.
using Record = QMap<QString, QVariant>;

// A well-formed record: question "Frage <n>", answers "Antwort <X><n>", right
// answer `richtig`, Fraglich the next letter, audience 40/30/20/10, Nummer n.
Record sampleRecord(int n, const QString& richtig = QStringLiteral("A"));

// How the right answers of sampleRecords run: all A, or going round A, B, C, D.
enum class RightLetters { AllA, RoundRobin };
// sampleRecord(1) to sampleRecord(count), in order.
QList<Record> sampleRecords(int count, RightLetters letters = RightLetters::AllA);

// Creates `path` with the question table and the records, in order.
void writeQuestionFile(const QString& path, const QList<Record>& records);

// Reads every record of the file in table order (by the row key, even where
// a column is named rowid) through a separate SQLite connection: what is
// really on disk (a BLOB as QByteArray, text that is not UTF-8 as store::RawText).
QList<Record> readQuestionFile(const QString& path);

// A folder of the test's own that the game takes for its program folder
// (platform::setProgramDirectory) while it lives, holding the question file
// with `records`; the game's own folder again once it is gone (unless a
// newer one has taken its place).
class ProgramFolder : public QTemporaryDir {
public:
    explicit ProgramFolder(const QList<Record>& records);
    ~ProgramFolder();
    QString questionFile() const;
};

// The raw bytes of one field of the first record, straight from the file.
QByteArray storedBytes(const QString& path, const char* field);

// The message of the store::Error that `f` throws; empty when it throws none.
QString errorOf(const std::function<void()>& f);

// What a test saw of a modal dialog it answered.
struct SeenDialog {
    QString title;
    QString text;     // message box text, or the input dialog's label
    QString input;    // the input dialog's default text
    QStringList buttons;
    bool closeBox = true;  // its title bar offers a close box
    QStringList resisted;  // the tries ("escape", "close") that left it open
};

// Answers the next modal dialogs as they open, one action each, in order. An
// action is "ok", "yes", "no", "cancel", "input:<text>" (type text, then OK) or,
// for a message box, "key:<text>" (typed into it, for its access keys),
// optionally after tries to get rid of the dialog otherwise: "escape,close,yes"
// presses Escape, then asks the window to close, then answers Yes if it is
// still open. Each dialog seen is appended to `seen`. Call before the code
// that opens them.
class DialogAnswerer {
public:
    explicit DialogAnswerer(QStringList actions);
    ~DialogAnswerer();
    const QList<SeenDialog>& seen() const { return m_seen; }
    int pending() const { return m_actions.size(); }

private:
    void poll();
    QStringList m_actions;
    QList<SeenDialog> m_seen;
    class QTimer* m_timer;
};

// Thrown by the end-program handler that tests install.
struct ProgramEnded {};
// Makes platform::endProgram throw ProgramEnded for the rest of the test program.
void catchEndProgram();

// Pixels of `control` that turn from light to dark or back when it takes the
// focus from `other`: a closed frame round it has at least as many as its
// outline (2 x (width + height)).
int focusFramePixels(QWidget* control, QWidget* other);

} // namespace testsupport
