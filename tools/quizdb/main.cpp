// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb: makes, extends, prints and checks question files. See quizdb --help.
#include "tools/quizdb/quizdb.h"

#include <QFile>
#include <QStringList>
#include <cstdio>
#include <new>
#include <unistd.h>

int main(int argc, char** argv)
{
    try {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        QFile out;
        QFile err;
        if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 2;
        const int status = quizdb::run(args, out, err, {isatty(STDOUT_FILENO) == 1, isatty(STDERR_FILENO) == 1});
        if (!out.flush()) {
            err.write("Die Ausgabe lässt sich nicht schreiben.\n");
            return 2;
        }
        return status;
    } catch (const std::bad_alloc&) {
        // Out of memory before or after a command (a command reports it itself).
        std::fputs(quizdb::kNoMemory, stderr);
        return 2;
    }
}
