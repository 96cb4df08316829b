// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quizdb/accessrecords.h"

#include "access/accessfile.h"
#include "tools/quizdb/recordwriter.h"

#include <QFileInfo>

namespace quizdb {

namespace {

constexpr int kMaxListedAccessFaults = 30;

QString describeRecord(qint64 position, const RawValue& nummer)
{
    if (nummer.null)
        return QStringLiteral("Satz %1 (ohne Nummer)").arg(position);
    return QStringLiteral("Satz %1 (Nummer %2)").arg(QString::number(position), shown(QString::fromUtf8(nummer.bytes())));
}

} // namespace

bool isAccessSource(const QString& source)
{
    return source != kStandardInput && jet::isAccessFile(source);
}

qint64 forEachAccessRecord(const QString& file, const std::function<void(qint64, RawRecord&)>& each,
                           const std::function<void(const QString&)>& notice)
{
    RawRecord record;
    qint64 position = 0;
    const jet::ReadResult result = jet::readQuestionTable(file, [&](const jet::Record& values) {
        for (int i = 0; i < store::kFieldCount; ++i) {
            const jet::Value& v = values[std::size_t(i)];
            RawValue& raw = record[std::size_t(i)];
            raw.data = v.data;
            raw.size = v.size;
            raw.null = v.null;
            raw.codePoints = v.null ? 0 : scanUtf8(v.data, v.size).codePoints;
        }
        each(++position, record);
    });
    if (notice)
        for (const QString& warning : result.warnings)
            notice(QStringLiteral("%1: %2").arg(quoted(file), warning));
    return position;
}

int writeAccessRecords(sqlite::File& db, const QString& file, const WriteOptions& options)
{
    Inserter inserter(db);
    QStringList listed;
    qint64 faultCount = 0;
    int written = 0;
    bool inserting = false;
    if (options.howRead)
        *options.howRead = QStringLiteral("%1 gelesen als Access-Datei im Format %2.")
                               .arg(QFileInfo(file).fileName(), jet::formatName(file));
    if (options.progress)
        options.progress->start(Progress::Work::Reading);
    try {
        forEachAccessRecord(
            file,
            [&](qint64 position, RawRecord& record) {
                QList<Fault> faults;
                for (int i = 0; i < store::kFieldCount; ++i)
                    if (!record[std::size_t(i)].null && scanUtf8(record[std::size_t(i)].data, record[std::size_t(i)].size).nul)
                        faults.append({store::fieldNames().at(i), QStringLiteral("enthält ein Nullzeichen.")});
                if (faults.isEmpty() && !surelyInOrder(record, options.rules))
                    faults = quizdb::faults(decoded(record), options.rules);
                for (const Fault& f : faults) {
                    if (listed.size() < kMaxListedAccessFaults)
                        listed << QStringLiteral("  %1, Feld %2: %3")
                                      .arg(describeRecord(position, record[0]), quoted(f.field), f.text);
                    ++faultCount;
                }
                if (faults.isEmpty() && faultCount == 0) {
                    inserting = true;
                    inserter.insert(record);
                    inserting = false;
                    ++written;
                }
                if (options.progress)
                    options.progress->update(position);
            },
            options.notice);
    } catch (const Error& e) {
        if (inserting)
            throw;
        // After the sentence that names the cause, before what libmdb said.
        QString message = e.message();
        const qsizetype end = message.indexOf(QLatin1Char('\n'));
        message.insert(end < 0 ? message.size() : end, QStringLiteral(" Nichts wurde geschrieben."));
        throw Error(message);
    }
    if (faultCount > 0) {
        QString message = QStringLiteral("Die Access-Datei %1 enthält %2; nichts wurde geschrieben:\n")
                              .arg(quoted(file), counted(faultCount, QStringLiteral("Fehler"), QStringLiteral("Fehler"))) +
                          listed.join(QLatin1Char('\n'));
        const qint64 more = faultCount - listed.size();
        if (more == 1)
            message += QStringLiteral("\n  … und 1 weiterer Fehler.");
        else if (more > 1)
            message += QStringLiteral("\n  … und %1 weitere Fehler.").arg(more);
        throw Error(message);
    }
    return written;
}

} // namespace quizdb
