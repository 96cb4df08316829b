// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/csvrecords.h"

#include <QBuffer>
#include <array>
#include <string>

namespace testsupport {

QList<CsvRecord> parseCsv(const QByteArray& data, const QString& name)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    quizdb::CsvReader reader(buffer, name);
    QList<CsvRecord> records;
    quizdb::CsvRow row;
    QList<quizdb::CsvFault> faults;
    for (;;) {
        const quizdb::CsvReader::Result result = reader.next(row, faults);
        if (!faults.isEmpty())
            throw quizdb::Error(quizdb::describeFault(name, faults.first()));
        if (result != quizdb::CsvReader::Result::Record)
            return records;
        CsvRecord rec;
        rec.line = row.line;
        rec.values = quizdb::decoded(row.values);
        rec.fieldLines = QList<int>(row.lines.begin(), row.lines.end());
        records.append(rec);
    }
}

QByteArray csvLine(const QList<quizdb::Value>& values)
{
    std::array<QByteArray, store::kFieldCount> bytes;
    quizdb::RawRecord record;
    for (int i = 0; i < store::kFieldCount && i < values.size(); ++i) {
        if (!values[i])
            continue;
        bytes[i] = values[i]->toUtf8();
        record[i] = {bytes[i].constData(), bytes[i].size(), false, 0};
    }
    std::string line;
    quizdb::appendCsvLine(line, record);
    return QByteArray(line.data(), qsizetype(line.size()));
}

} // namespace testsupport
