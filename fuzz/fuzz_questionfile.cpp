// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: arbitrary bytes as the question file. The bytes are written
// to a file, opened through the store, and every record is read field by field
// walking forward to the end and back to the start; then a change, an added
// record and a delete are tried. Every failure must be a store::Error; nothing
// may crash, hang or leak.
#include "store/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdlib>

namespace {

// Far more records than a few kilobytes of input can hold; only a loop that never
// ends would get there.
constexpr int kMaxSteps = 100000;

QString scratchFile()
{
    const QString dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                             : QDir::tempPath();
    return QStringLiteral("%1/fuzz_questionfile-%2.mdb").arg(dir).arg(QCoreApplication::applicationPid());
}

void removeScratch(const QString& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

QList<QVariant> readRecord(const store::Recordset& rs)
{
    QList<QVariant> values;
    for (const QString& field : store::fieldNames())
        values << rs.Fields(field);
    return values;
}

void walk(store::Recordset& rs)
{
    int steps = 0;
    while (!rs.IsEOF()) {
        readRecord(rs);
        rs.MoveNext();
        if (++steps > kMaxSteps)
            std::abort();
    }
    while (!rs.IsBOF()) {
        rs.MovePrevious();
        if (!rs.IsBOF())
            readRecord(rs);
        if (++steps > 2 * kMaxSteps)
            std::abort();
    }
}

template <typename Work>
void attempt(Work&& work)
{
    try {
        work();
    } catch (const store::Error& e) {
        if (*e.what() == '\0')
            std::abort(); // every failure says what failed
    }
}

} // namespace


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = scratchFile();
    removeScratch(path);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    attempt([&] {
        auto db = store::DBEngine::instance().OpenDatabase(path);
        auto rs = db->OpenRecordset(store::kTable);
        attempt([&] { walk(*rs); });
        // Saving into whatever the file holds: the record read back, a new one, a delete.
        attempt([&] {
            rs->MoveFirst();
            const QList<QVariant> values = readRecord(*rs);
            rs->Edit();
            for (int i = 0; i < store::fieldNames().size(); ++i)
                rs->Collect(store::fieldNames().at(i), values.at(i));
            rs->Update();
        });
        attempt([&] {
            rs->AddNew();
            for (const QString& field : store::fieldNames())
                rs->Collect(field, field);
            rs->Update();
            rs->MoveLast();
            readRecord(*rs);
        });
        attempt([&] {
            rs->MoveFirst();
            rs->Delete();
            rs->MoveNext();
        });
        attempt([&] { walk(*rs); });
        rs->Close();
        db->Close();
    });
    removeScratch(path);
    return 0;
}
