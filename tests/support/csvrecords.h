// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A whole CSV text read into records and records written back as CSV lines,
// through quizdb's reader and writer: what the quizdb tests and the CSV fuzz
// target compare.
#pragma once

#include "tools/quizdb/csv.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace testsupport {

// One question record read from a CSV file.
struct CsvRecord {
    int line = 0;               // line of the file on which the record starts (header = 1)
    QList<quizdb::Value> values; // thirteen values, in store::fieldNames() order
    QList<int> fieldLines;      // line on which each of those values starts
};

// Parses a whole CSV text. `name` is the file name used in messages. Throws
// quizdb::Error naming the line (and the field, where there is one) of the
// first fault of structure: header (unknown, missing or doubled column),
// quoting, field count, invalid UTF-8, a NUL character. The values are not
// checked against the question data model here.
QList<CsvRecord> parseCsv(const QByteArray& data, const QString& name);

// One record (thirteen values in table order) as a CRLF-terminated CSV line.
QByteArray csvLine(const QList<quizdb::Value>& values);

} // namespace testsupport
