// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// export: the question table as CSV, in table order, handed on in pieces;
// from a question file or from an Access file.
#include "tools/quizdb/commands.h"

#include "tools/quizdb/accessrecords.h"
#include "tools/quizdb/call.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/csvoutput.h"
#include "tools/quizdb/questionfile.h"

#include <cerrno>
#include <string>

namespace quizdb {

namespace {

// Output is handed on in pieces of about this size.
constexpr size_t kOutputChunk = 256 * 1024;

void put(QIODevice& out, const char* data, qint64 size)
{
    errno = 0;
    if (out.write(data, size) != size)
        throw writeFailure(out, errno);
}

} // namespace

void exportFile(const QString& file, QIODevice& out, Progress* progress)
{
    std::string buffer;
    buffer.reserve(kOutputChunk + 64 * 1024);
    const QByteArray header = csvHeader();
    buffer.append(header.constData(), size_t(header.size()));
    if (progress)
        progress->start(Progress::Work::Exporting);
    const auto each = [&](qint64 position, RawRecord& record) {
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (record[i].null)
                continue;
            const Utf8Scan utf8 = scanUtf8(record[i].data, record[i].size);
            if (!utf8.valid || utf8.nul)
                throw Error(QStringLiteral("Satz %1, Feld %2 der Fragendatei %3 ist kein gültiger UTF-8-Text; die "
                                           "Datei lässt sich so nicht als CSV ausgeben.")
                                .arg(QString::number(position), quoted(store::fieldNames().at(i)), quoted(file)));
        }
        appendCsvLine(buffer, record);
        if (buffer.size() >= kOutputChunk) {
            put(out, buffer.data(), qint64(buffer.size()));
            buffer.clear();
        }
        if (progress)
            progress->update(position);
    };
    if (isAccessSource(file)) {
        forEachAccessRecord(file, each, {});
    } else {
        QString key;
        sqlite::File db = openQuestionFile(file, false, key);
        forEachRecord(db, file, key, each);
    }
    put(out, buffer.data(), qint64(buffer.size()));
}

int runExport(const Call& call)
{
    if (call.output.isEmpty() || call.output == kStandardInput) {
        // CSV on the screen leaves no room for a progress line.
        exportFile(call.files[0], call.out, call.outIsTerminal ? nullptr : &call.progress);
        return 0;
    }
    CsvOutput target(call.output, call.files[0]);
    target.run([&](QIODevice& device) { exportFile(call.files[0], device, &call.progress); });
    return 0;
}

} // namespace quizdb
