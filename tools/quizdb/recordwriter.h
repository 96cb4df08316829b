// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one pass of create and import: records checked and appended to the
// question table inside the caller's transaction, until the first faulty one.
#pragma once

#include "tools/quizdb/commands.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/csvinput.h"
#include "tools/quizdb/questionfile.h"

namespace quizdb {

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

// The CSV that create or import writes from: opened and its header read
// when it is made, before any question file is touched. When it goes, however
// the command ends, it tells options.howRead how it was read.
class CsvSource {
public:
    CsvSource(const QString& path, const WriteOptions& options);
    ~CsvSource();
    CsvSource(const CsvSource&) = delete;
    CsvSource& operator=(const CsvSource&) = delete;

    // Reads the records and writes those that keep `options.rules`, inside
    // the caller's transaction, until the first faulty one; reads on to list
    // further faults (the first 30 in words, the rest counted), then throws
    // them all. Returns the count written. Records that are in order go from
    // the reader's buffer to SQLite as bytes, never decoded.
    int writeInto(sqlite::File& db);
    // The input as the subject of a sentence.
    const QString& subject() const { return m_input.subject(); }

private:
    CsvInput m_input;
    CsvReader m_reader;
    const WriteOptions& m_options;
};

} // namespace quizdb
