// quizdb's command line: which command with which files, its help and version,
// and what goes to standard output, what to standard error.
#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace quizdb {

// The command line: args without the program name. Normal output goes to
// `out`, messages to `err`. Returns the exit status: 0 done, 1 check found
// faulty records, 2 refused or failed (nothing changed).
int run(const QStringList& args, QIODevice& out, QIODevice& err);

// The German usage text of --help.
QString usage();

} // namespace quizdb
