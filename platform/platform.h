// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The small layer between the program and the toolkit: dialogs, beep, clock,
// German number and date patterns, the program directory, ending the program,
// twips, and the seams that tests use to stand in for the outside world.
#pragma once

#include <QDateTime>
#include <QFont>
#include <QRect>
#include <QString>
#include <functional>

class QIcon;
class QWidget;

namespace platform {

// --- Seams. The program only ever calls the getters; tests call the setters.
QString programDirectory();
void setProgramDirectory(const QString& dir);          // empty: back to the executable's dir

[[noreturn]] void endProgram();                        // ends with exit status 0
[[noreturn]] void endProgram(int exitStatus);          // a failure ends with a non-zero status
void setEndProgramHandler(std::function<void()> handler); // a test's handler throws

void beep();
void setBeepHandler(std::function<void()> handler);

QDateTime now();
void setClock(std::function<QDateTime()> clock);        // empty: back to the real clock

// The file `name` in the program directory, joined with the platform's separator.
QString programFile(const QString& name);

// --- Dialogs. Real, modal QMessageBox / QInputDialog run with exec(); no icon.
// For the platform's double-click interval after one comes up, no press
// answers it (the second press of a double press would answer it unseen),
// and a held key never does.
inline const QString kAppTitle = QStringLiteral("Quiz");

// A message box with OK alone. An empty title shows the application title "Quiz".
void msgBox(const QString& text, const QString& title = QString());
// A message box with Ja and Nein; true for Ja. Ja is the default button. It is
// answered with its buttons only: Escape and closing the window do nothing.
bool askYesNo(const QString& text, const QString& title = QString());
// The name prompt: returns the text entered, or the empty text when cancelled.
QString inputBox(const QString& prompt, const QString& title, const QString& defaultText);

// --- Fonts. The faces the layout names, and the installed faces of the same
// kind that stand in for each where it is missing (a Debian system usually has
// none of them). Both windows call this before they set their fonts; calling
// it again changes nothing.
void useFontSubstitutes();
// The face to ask for: `face` where it is installed, else the first installed
// face that stands in for it.
QString installedFace(const QString& face);

// Places a top-level window in the middle of the screen.
void centreOnScreen(QWidget& window);

// --- German patterns.
QString formatDate(const QDateTime& t);     // "DD.MM.YYYY"   24.03.2003
QString formatTime(const QDateTime& t);     // "HH:MM:SS"     21:05:09
QString formatSecured(qint64 euros);        // "#,###,##0.-"  1000 -> 1.000,-
QString formatGrouped(qint64 euros);        // "##,##0"       32000 -> 32.000
QString formatWhole(double value);          // "#0"           29

// --- Twips: 15 to a pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) { return twips / kTwipsPerPixel; }
// A rectangle in twips as pixels at `factor` times the window's size.
QRect twipsRect(int left, int top, int width, int height, qreal factor = 1);

// --- Scale: a window built in twips, laid out again at `factor` times its
// size (the game's stage in full screen, the editor over it). Every control
// inside `window` gets its place, size, font and frame line at `factor` times
// what it was built with (remembered on the first call, so factor 1 gives the
// window back exactly); controls directly in the window also move by
// `origin`. A window built with a fixed size keeps it, scaled, unless it is
// full screen.
void scaleControls(QWidget& window, qreal factor, QPoint origin = QPoint());
QFont scaledFont(const QFont& font, qreal factor);
// The text size of message boxes and the name prompt: 1, or in full screen
// the stage's factor (at most 2). scaleDialogText applies it to a dialog.
void setDialogScale(qreal factor);
qreal dialogScale();
void scaleDialogText(QWidget& dialog);

// The game's icon in every size of the desktop's icon theme.
QIcon programIcon();

// Writes one line to standard error, prefixed with the program's name, for a
// player who started the game from a terminal and for bug reports.
void reportToTerminal(const QString& line);

// --- The one handler for failures nobody caught: a message box naming the
// failure, then the end. Installed by main(); also used by QuizApplication.
void reportUncaughtFailure(const QString& what);

} // namespace platform
