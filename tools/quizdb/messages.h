// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How quizdb speaks: its failures are store errors (the store's SQLite layer
// words the file's failures for both), and names and values in its messages
// stand in German quotation marks.
#pragma once

#include "store/store.h"

#include <QString>

namespace quizdb {

// Every failure of the tool. The message is German and says what to fix:
// which file, which line, which field.
using Error = store::Error;

// A name in a message, in German quotation marks: „name“.
QString quoted(const QString& text);

// A value as a message shows it: quoted, long texts shortened, line breaks visible.
QString shown(const QString& value);

// A count with its noun in the right number: "1 Frage", "2 Fragen", "0 Fragen".
QString counted(qint64 count, const QString& one, const QString& many);

} // namespace quizdb
