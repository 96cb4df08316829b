// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A new file that comes into place only when it is whole: it is written under
// a name of its own in the target's folder and renamed to the target at the
// end, never over a file that is there by then. Until then the signals that
// end the tool (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT) remove it before the tool
// ends; only SIGKILL can leave it behind, under a name that says what it is.
#pragma once

#include <QString>

namespace quizdb {

class NewFile {
public:
    // Makes the unfinished file beside `target`; throws Error when it cannot.
    explicit NewFile(const QString& target);
    // Removes the unfinished file (and its journal) unless it was placed.
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // The unfinished file, to be written.
    const QString& path() const { return m_path; }

    // Renames the written file to the target; throws Error when the target
    // is there by now or the rename fails. The unfinished file is then gone.
    void place();

private:
    void forget();

    QString m_target;
    QString m_path;
    bool m_placed = false;
};

} // namespace quizdb
