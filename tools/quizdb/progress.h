// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How far a long command has come, as one line on a terminal: shown once the
// command has run for about a second, renewed a few times a second, and
// cleared at the end. Without a terminal it shows nothing at all.
#pragma once

#include <QElapsedTimer>
#include <QIODevice>
#include <QString>

namespace quizdb {

class Progress {
public:
    // `terminal`: where the line goes; nullptr shows nothing.
    explicit Progress(QIODevice* terminal = nullptr);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // What is counted: records of a CSV file read so far (with the share of
    // its `totalBytes`, when known; -1 when not), or of a question file.
    enum class Work { Reading, Exporting, Checking };
    void start(Work work, qint64 totalBytes = -1);

    // Called for every record; cheap when nothing is to be shown.
    void update(qint64 records, qint64 bytes = -1)
    {
        if (m_terminal && (records & 0x3ff) == 0)
            show(records, bytes);
    }

    // Takes the line away again (also done on destruction).
    void clear();

private:
    void show(qint64 records, qint64 bytes);

    QIODevice* m_terminal;
    Work m_work = Work::Reading;
    qint64 m_total = -1;
    QElapsedTimer m_clock;
    qint64 m_nextShow = 0; // milliseconds since start
    bool m_shown = false;
};

} // namespace quizdb
