// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where export -o writes. A regular file (or a name where nothing is yet)
// comes into place whole or not at all; a named pipe or a character device (a
// terminal, /dev/null) is written to as a stream, and is never replaced;
// anything else is refused. Every refusal and failure says why in German.
#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

namespace quizdb {

class CsvOutput {
public:
    // `path`: the name after -o; `questionFile`: the file exported, which is
    // never the target.
    CsvOutput(const QString& path, const QString& questionFile);

    // Runs `write` on the opened target and brings the result into place.
    // Throws Error when the target cannot be opened or not all of the output
    // reached it (for a stream: saying that part of it may have).
    void run(const std::function<void(QIODevice& device)>& write);

private:
    void runStream(const std::function<void(QIODevice& device)>& write);
    void runFile(const std::function<void(QIODevice& device)>& write);

    QString m_path;
    QString m_target; // m_path with its symbolic links resolved
    bool m_stream = false;
};

} // namespace quizdb
