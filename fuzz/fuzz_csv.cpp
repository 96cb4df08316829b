// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: arbitrary bytes as a quizdb CSV file. Parsing must end in
// records or a quizdb::Error, never in a crash, a hang or a leak. Whatever it
// accepts must come back unchanged when written out again and read anew, and
// the data-model check must take every record it produced.
#include "support/csvrecords.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/quizdb.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<testsupport::CsvRecord> records;
    try {
        records = testsupport::parseCsv(bytes, QStringLiteral("fuzz.csv"));
    } catch (const quizdb::Error& e) {
        if (e.message().isEmpty())
            std::abort(); // every refusal says why
        return 0;
    }

    QByteArray written = quizdb::csvHeader();
    for (const testsupport::CsvRecord& r : records) {
        if (r.values.size() != 13)
            std::abort();
        quizdb::modelFaults(r.values);
        written += testsupport::csvLine(r.values);
    }
    QList<testsupport::CsvRecord> again;
    try {
        again = testsupport::parseCsv(written, QStringLiteral("again.csv"));
    } catch (const quizdb::Error& e) {
        std::fprintf(stderr, "written CSV refused: %s\n", e.what());
        std::abort();
    }
    if (again.size() != records.size())
        std::abort();
    for (qsizetype i = 0; i < records.size(); ++i)
        if (again.at(i).values != records.at(i).values)
            std::abort();
    return 0;
}
