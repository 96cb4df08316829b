// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The judgement of a question file's table, shared by the store and quizdb, so
// that both refuse the same files with the same words.
#pragma once

#include "store/sqlite.h"

namespace store {

// Refuses a file whose question table cannot be addressed safely: no such
// table (a view of that name included), a field missing or computed instead
// of stored, no row key of its own (WITHOUT ROWID), or one that columns hide.
// Returns the name that reaches the row key. Reading the schema runs nothing
// and writes nothing. Throws Error in the store's words.
QString checkedRowKey(sqlite::File& file);

// Throws why the schema of `file` could not be read, from the failure of
// reading it: in the store's words for a file that is no database or a table
// that does not parse, else the failure itself.
[[noreturn]] void throwSchemaError(const sqlite::File& file, const sqlite::Error& failure);

// A file of 0 bytes: SQLite would take it for a new, empty database.
Error emptyFileError(const QString& path);

// A new record of the question table can get no key: the highest one is
// taken (see sqlite::keysUsedUp).
Error noKeyLeft(const QString& path);

} // namespace store
