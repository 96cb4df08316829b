// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Access reader as a child process: started with an environment that
// leaves out what changes libmdb's reading, under an address-space and a CPU
// limit, with its standard output and standard error read by the caller
// until a deadline, after which it is killed. A reader that is still running
// when this object goes (its caller failed) is killed, too.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <sys/types.h>

namespace jet {

class ReaderProcess {
public:
    // Throws store::Error when the program cannot be started.
    ReaderProcess(const QString& program, const QStringList& arguments, std::chrono::milliseconds time,
                  qint64 addressSpace);
    ~ReaderProcess();
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;

    // Appends what the reader wrote to its standard output since the last
    // call, waiting for it; false when the reader has closed it (it ended),
    // or when the deadline passed and the reader was killed.
    bool read(QByteArray& into);

    struct Ending {
        bool timedOut = false; // killed at the deadline
        int exitCode = -1;     // when it exited
        int signal = 0;        // when a signal ended it
    };
    // Waits for the reader to end (killing it at the deadline).
    Ending finish();

    // The start of what it wrote to its standard error (libmdb's warnings).
    const QByteArray& errors() const { return m_errors; }
    // True when it wrote more than errors() holds.
    bool errorsCut() const { return m_errorsCut; }

private:
    void readErrors();
    void kill();

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_timedOut = false;
    QByteArray m_errors;
    bool m_errorsCut = false;
};

} // namespace jet
