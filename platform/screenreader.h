// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What both windows tell a screen reader beyond their controls: changes that
// happen without the focus moving are spoken, and the toolkit's own faults in
// what it tells a screen reader are corrected once for the whole program.
#pragma once

#include <QObject>
#include <QString>
#include <array>

class QLabel;
class QWidget;

namespace platform {

// Once per program, before the first window is built: a line edit is read
// whole and never freezes the program, and a changed name reaches the screen
// reader with the new name. Also makes every label named "lblStatus" the
// window's status bar.
void useScreenReaderFixes();

// Speaks a change the player cannot hear otherwise: a new question, a new
// status line, a joker's result. A screen reader hears it as a notification
// of the window's status line (Orca speaks a notification when it is shown,
// and, as part of a status bar, without naming its role).
//
// What is said in one turn of the event loop goes out as one announcement:
// the player's standing (step, amount, the end of a game), the status, the
// content, a result; a newer text of a part replaces the older one, and a
// part that repeats an earlier one is said once. While a message box or another window has the
// player's attention, the announcement waits until the window is active
// again, so that what the screen reader says on the window's return does not
// cut it off.
class Announcer : public QObject {
    Q_OBJECT
public:
    enum Part { Standing, Status, Content, Result, kParts };

    // The notification is a hidden child of `statusLine`.
    explicit Announcer(QLabel* statusLine);

    void say(Part part, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void announceNow();

    QWidget* m_node = nullptr;
    std::array<QString, kParts> m_pending;
    bool m_scheduled = false;
};

} // namespace platform
