// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing question records as CSV: comma, CRLF, UTF-8, quotes only where needed.
#include "tools/quizdb/csv.h"

namespace quizdb {

namespace {

// A field needs quotes when it holds a comma, a quote or a line break, or is
// the empty text (which without quotes would read as no value).
void appendField(std::string& out, const char* data, qsizetype size, bool null)
{
    if (null)
        return;
    if (size == 0) {
        out += "\"\"";
        return;
    }
    bool special = false;
    for (qsizetype i = 0; i < size && !special; ++i) {
        const char c = data[i];
        special = c == ',' || c == '"' || c == '\r' || c == '\n';
    }
    if (!special) {
        out.append(data, size_t(size));
        return;
    }
    out += '"';
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == '"')
            out += '"';
        out += data[i];
    }
    out += '"';
}

} // namespace

void appendCsvLine(std::string& out, const RawRecord& values)
{
    for (int i = 0; i < store::kFieldCount; ++i) {
        if (i)
            out += ',';
        appendField(out, values[i].data, values[i].size, values[i].null);
    }
    out += "\r\n";
}

QByteArray csvHeader()
{
    // The field names are plain ASCII letters: nothing to quote.
    return store::fieldNames().join(QLatin1Char(',')).toUtf8() + "\r\n";
}

} // namespace quizdb
