// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question file's table as the schema describes it, and its judgement,
// shared by the store and quizdb, so that both refuse the same files with the
// same words.
#pragma once

#include "store/sqlite.h"

namespace store {

// How a table of the main schema is made, read from the schema without
// running anything in the file.
struct TableShape {
    QString kind;          // "table", "view", "virtual" or "shadow"; empty when there is no such name
    bool withoutRowid = false;
    QStringList columns;   // every column by name, in order
    QStringList computed;  // those of them without a stored value of their own (generated, hidden)
    // The name that reaches the row's own key: "rowid", or "_rowid_" or "oid"
    // when a column of that name hides it; empty when columns hide all three.
    QString rowKey;
};
// Reads the shape of `table` (names compared as SQLite does); throws the read error.
TableShape tableShape(sqlite::File& file, const QString& table);

// True when a new record of `table` can get no key: the highest key there is
// is taken, or AUTOINCREMENT has handed it out. SQLite reports that as a full
// database, though the disk may have room.
bool keysUsedUp(sqlite::File& file, const QString& table);

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
// taken (see keysUsedUp).
Error noKeyLeft(const QString& path);

} // namespace store
