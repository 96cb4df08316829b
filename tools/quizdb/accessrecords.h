// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question table of an Access file as quizdb's commands meet it: read
// through the Access reader (access/accessfile.h) in table order, checked as
// a CSV's records are, and appended inside the caller's transaction.
#pragma once

#include "tools/quizdb/commands.h"
#include "tools/quizdb/questionfile.h"

#include <functional>

namespace quizdb {

// True when create, import and check are to read `source` as an Access file
// (by its first bytes, whatever its name).
bool isAccessSource(const QString& source);

// Calls `each` with the position (1-based) and the values of every record of
// the Access file's question table, their characters counted. Throws Error
// naming the cause when the file cannot be read whole. What the reader read
// past goes to `notice`.
qint64 forEachAccessRecord(const QString& file, const std::function<void(qint64, RawRecord&)>& each,
                           const std::function<void(const QString&)>& notice);

// Writes the records of the Access file `file` that keep `options.rules`,
// inside the caller's transaction, until the first faulty one; reads on to
// list further faults, then throws them all. Returns the count written.
int writeAccessRecords(sqlite::File& db, const QString& file, const WriteOptions& options);

} // namespace quizdb
