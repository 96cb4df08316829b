// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How quizdb speaks: its failures are store errors (the store's SQLite layer
// words the file's failures for both), and names and values in its messages
// stand in German quotation marks.
#pragma once

#include "store/store.h"

#include <QIODevice>
#include <QString>

namespace quizdb {

// Every failure of the tool. The message is German and says what to fix:
// which file, which line, which field.
using Error = store::Error;

// The name the tool goes by in its help and messages: the name it was started
// under (an installed tool is plomberg-quizdb), set once by run().
QString programName();
void setProgramName(const QString& name);

// A name in a message, in German quotation marks: „name“.
QString quoted(const QString& text);

// A value as a message shows it: quoted, long texts shortened, line breaks visible.
QString shown(const QString& value);

// Why a write failed, from its errno, in words a user can act on (lower case,
// no full stop).
QString writeProblem(int error);

// Why a file could not be opened, from its errno, in the same manner.
QString openProblem(int error);

// The failure of writing to `out` (standard output, or the file named by its
// object name, else by its file name), with its errno (0: unknown, then the
// device's own words).
Error writeFailure(const QIODevice& out, int error);

// A count with its noun in the right number: "1 Frage", "2 Fragen", "0 Fragen".
QString counted(qint64 count, const QString& one, const QString& many);

} // namespace quizdb
