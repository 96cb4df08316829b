// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Question records as CSV (RFC 4180, UTF-8): reading a file record by record
// and writing records back. The header names the thirteen fields in any order.
// The reader also takes CSV as spreadsheets save it (csvdialect.h).
//
// A field's value is either text or "no value" (NULL in the question file):
//   an empty field without quotes      -> no value
//   an empty field in quotes ("")      -> the empty text
// so a file written by exportCsv reads back to exactly the same values.
#pragma once

#include "tools/quizdb/csvdialect.h"
#include "tools/quizdb/messages.h"
#include "tools/quizdb/values.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

namespace quizdb {

// What is wrong at one place of a CSV file.
struct CsvFault {
    int line = 0;
    QString field; // the field as messages name it („Frage“, or its number); empty: the whole line
    QString text;
};

// "name, Zeile 5, Feld „Frage“: text".
QString describeFault(const QString& name, const CsvFault& fault);

// One record as it stands in the file, quotes taken off; its values point into
// the reader and stay valid until the next record is read.
struct CsvRow {
    int line = 0;
    RawRecord values;                          // in store::fieldNames() order
    std::array<int, store::kFieldCount> lines; // line on which each value starts
};

// Longest line (a record with all its fields) the reader holds: thousands of
// times the longest record the data model allows, so a line this long can only
// be a damaged file, and reading stops there instead of filling the memory.
constexpr qsizetype kMaxLineBytes = 1024 * 1024;

// Reads a CSV from a device, one record at a time, in memory that does not
// grow with the file.
class CsvReader {
public:
    enum class Result {
        Record,  // a record; when `faults` got entries, it is faulty (fields, encoding)
        End,     // no more records
        Stopped, // the file cannot be read on from here; the last entry of `faults` says why
    };

    // Reads the header. `name` is the file name used in messages; `dialect`
    // says which separator and character set to read, or to find in the file.
    // Throws Error when the header is missing or wrong, or the device cannot
    // be read.
    CsvReader(QIODevice& device, QString name, CsvDialect dialect = {});

    // Reads the next record into `row`; faults of its structure (field count,
    // invalid UTF-8, a NUL character) and a fault that stops reading (quoting, a
    // lone CR, a line too long) are appended to `faults`. The values are not
    // checked against the question data model here. Throws Error when the
    // device fails.
    Result next(CsvRow& row, QList<CsvFault>& faults);

    // Bytes taken from the device so far.
    qint64 bytesRead() const { return m_read; }

    // How the file was read so far, for a message: "Trennzeichen Semikolon
    // (aus der Kopfzeile), Zeichensatz Windows-1252 (erkannt an Zeile 2, …)".
    QString howRead() const;

private:
    enum class Scan { Complete, NeedMore, Fault };
    struct Span {
        qsizetype start = 0;
        qsizetype size = 0;
        bool quoted = false;
        bool doubledQuotes = false;
        int line = 0;
    };

    Scan scanLine();
    Scan needMore(int column, int line, bool quoted);
    Scan fault(int line, int column, const QString& text);
    bool refill();
    QString fieldName(int column) const;
    void skipLine();
    QByteArrayView unquoted(Span& span);
    void findSeparator();
    Error headerError(const CsvFault& fault) const;
    void decideEncoding(const Utf8Scan* scans, int count, int line);
    QString headerColumn(Span& span, const QString& number);
    void convertRow(CsvRow& row, const Utf8Scan* scans, QList<CsvFault>& faults);

    QIODevice& m_device;
    QString m_name;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first byte not yet read as part of a line
    qsizetype m_end = 0;   // end of the bytes in the buffer
    bool m_atEnd = false;  // the device has nothing more
    qint64 m_read = 0;
    int m_line = 1;
    QStringList m_header;
    CsvDialect m_dialect;        // as asked for
    CsvDialect::Separator m_separatorKind = CsvDialect::Separator::Comma;
    char m_separator = ',';
    bool m_bom = false;          // the file began with a byte-order mark
    CsvDialect::Encoding m_encoding = CsvDialect::Encoding::Auto; // Auto: not known yet
    int m_encodingLine = 0;      // the line that decided it
    std::string m_converted;     // the record's values that were converted to UTF-8
    std::vector<int> m_target; // column in the file -> index in table order

    // The line scanned last: its fields (one more than the header allows is
    // kept, to name it), their count, and where the next line begins.
    std::array<Span, store::kFieldCount + 1> m_spans;
    int m_count = 0;
    qsizetype m_lineEnd = 0;
    int m_nextLine = 1;
    int m_pendingColumn = 0; // the field that ran past the buffer
    int m_pendingLine = 1;
    bool m_pendingQuoted = false;
    CsvFault m_fault;
};

// The header line, CRLF-terminated: the thirteen field names in table order.
QByteArray csvHeader();
// Appends one record of raw values (in table order) as a CRLF-terminated CSV line.
void appendCsvLine(std::string& out, const RawRecord& values);

} // namespace quizdb
