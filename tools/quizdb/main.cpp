// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb: makes, extends, prints and checks question files. See plomberg-quizdb --help.
#include "tools/quizdb/quizdb.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <new>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A standard stream that was closed is held by /dev/null opened for
    // reading: no file the tool opens can take its place (and get the
    // output), and writing to it fails as writing to a closed one does.
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF && open("/dev/null", O_RDONLY) != fd)
            return 2;
    try {
        // The tool speaks of itself by the name it was started under.
        if (argc > 0)
            quizdb::setProgramName(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        QFile out;
        QFile err;
        if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 2;
        return quizdb::run(args, out, err, {isatty(STDOUT_FILENO) == 1, isatty(STDERR_FILENO) == 1});
    } catch (const std::bad_alloc&) {
        // Out of memory before or after a command (a command reports it itself).
        std::fputs(quizdb::kNoMemory, stderr);
        return 2;
    }
}
