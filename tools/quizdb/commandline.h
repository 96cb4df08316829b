// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb's command line: which command with which files, its help and version,
// and what goes to standard output, what to standard error.
#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace quizdb {

// Which of the two outputs are terminals.
struct Terminals {
    bool out = false;
    bool err = false;
};

// The command line: args without the program name. Normal output goes to
// `out`, messages to `err`; when `err` is a terminal, long commands also show
// their progress there (export only when its CSV does not go to that screen
// too). Returns the exit status: 0 done, 1 check found something, 2 refused
// or failed (nothing changed). Once create or import has changed the file,
// the status is 0 whatever fails after; standard error says what did.
int run(const QStringList& args, QIODevice& out, QIODevice& err, Terminals terminals = {});

// The message when memory runs out, whatever ran out of it (exit status 2),
// and when it runs out only after the question file is written (status 0).
extern const char kNoMemory[];
extern const char kNoMemoryAfterChange[];

// The German usage text of --help, under programName().
QString usage();

} // namespace quizdb
