// Question records as CSV (RFC 4180, UTF-8): reading a whole file into records
// and writing records back. The header names the thirteen fields in any order.
//
// A field's value is either text or "no value" (NULL in the question file):
//   an empty field without quotes      -> no value
//   an empty field in quotes ("")      -> the empty text
// so a file written by exportCsv reads back to exactly the same values.
#pragma once

#include "tools/quizdb/messages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace quizdb {

// A field value: text, or std::nullopt for no value.
using Value = std::optional<QString>;

// One question record read from a CSV file.
struct CsvRecord {
    int line = 0;          // line of the file on which the record starts (header = 1)
    QList<Value> values;   // thirteen values, in store::fieldNames() order
    QList<int> fieldLines; // line on which each of those values starts
};

// Largest CSV file read at all: far more than any question set, small enough
// that an absurd input is refused before it is held in memory.
constexpr qint64 kMaxCsvBytes = 64 * 1024 * 1024;

// Parses a whole CSV text. `name` is the file name used in messages. Throws
// Error naming the line (and the field, where there is one) of the first fault
// of structure: header (unknown, missing or doubled column), quoting, field
// count, invalid UTF-8, a NUL character. The values are not checked against the
// question data model here.
QList<CsvRecord> parseCsv(const QByteArray& data, const QString& name);

// Reads and parses the file `path`; Error when it is missing, unreadable, a
// directory or larger than kMaxCsvBytes.
QList<CsvRecord> readCsvFile(const QString& path);

// The header line, CRLF-terminated: the thirteen field names in table order.
QByteArray csvHeader();
// One record (thirteen values in table order) as a CRLF-terminated CSV line.
QByteArray csvLine(const QList<Value>& values);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(const QByteArray& bytes);

} // namespace quizdb
