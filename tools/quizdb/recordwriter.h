// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one pass of create and import: records checked and appended to the
// question table inside the caller's transaction, until the first faulty one.
#pragma once

#include "tools/quizdb/commands.h"
#include "tools/quizdb/csvinput.h"
#include "tools/quizdb/questionfile.h"

namespace quizdb {

class CsvReader;

// Appends records to the question table, one at a time, inside a transaction
// the caller holds; its failures are worded as the store words failures to
// write.
class Inserter {
public:
    explicit Inserter(sqlite::File& db);
    // The values are bound where they are: they only have to last until the
    // row is written.
    void insert(const RawRecord& values);

private:
    template <typename Work>
    void writing(Work&& work);

    sqlite::File& m_db;
    sqlite::Prepared m_insert;
};

// Reads the records of `reader` and writes those that keep `options.rules`,
// inside the caller's transaction, until the first faulty one; reads on to
// list further faults (the first 30 in words, the rest counted), then throws
// them all. Returns the count written. Records that are in order go from the
// reader's buffer to SQLite as bytes, never decoded.
int writeRecords(sqlite::File& db, CsvInput& input, CsvReader& reader, const WriteOptions& options);

// Tells options.howRead how `reader` read its input when it goes out of
// scope, however the command ends.
class HowRead {
public:
    HowRead(const CsvInput& input, const CsvReader& reader, const WriteOptions& options)
        : m_input(input), m_reader(reader), m_target(options.howRead)
    {
    }
    ~HowRead();
    HowRead(const HowRead&) = delete;
    HowRead& operator=(const HowRead&) = delete;

private:
    const CsvInput& m_input;
    const CsvReader& m_reader;
    QString* m_target;
};

} // namespace quizdb
