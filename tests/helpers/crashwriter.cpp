// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A separate process that works on a question file the way the editor does, for
// the tests that kill it or need a second program holding the file.
//
//   crashwriter save <file> <first number> <seed>
//       Makes save after save through the store until it is killed: a change of
//       all thirteen fields of a record (Edit, Collect, Update) or a new record
//       at the end (MoveLast, AddNew, Collect, Update). Every value of save
//       number n is "<field> n", so a record shows whether it holds one whole
//       save. After each save has returned it writes "done <n> <position>"
//       (position 0-based in table order) and flushes.
//   crashwriter lock <file>
//       Opens the file with SQLite, takes the exclusive write lock, writes
//       "locked", and holds the lock until its standard input closes.
#include "store/store.h"

#include <QRandomGenerator>
#include <QString>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

int usage()
{
    std::fputs("Aufruf: crashwriter save <Datei> <erste Nummer> <Startwert>\n"
               "        crashwriter lock <Datei>\n",
               stderr);
    return 2;
}

void collectSave(store::Recordset& rs, qint64 number)
{
    for (const QString& field : store::fieldNames())
        rs.Collect(field, QStringLiteral("%1 %2").arg(field).arg(number));
    rs.Update();
}

int save(const QString& path, qint64 number, quint32 seed)
{
    QRandomGenerator random(seed);
    auto db = store::DBEngine::instance().OpenDatabase(path);
    auto rs = db->OpenRecordset(store::kTable);

    // The records there are now; positions never change, as nothing is deleted.
    qint64 count = 0;
    if (!rs->IsEOF()) {
        rs->MoveFirst();
        while (!rs->IsEOF()) {
            ++count;
            rs->MoveNext();
        }
    }

    for (int saves = 0; saves < 100000; ++saves, ++number) {
        qint64 position = count;
        if (count == 0 || random.bounded(3) == 0) {
            if (count > 0)
                rs->MoveLast();
            rs->AddNew();
            collectSave(*rs, number);
            rs->MoveLast();
            ++count;
        } else {
            // Walk to the record from the nearer end, as the editor's buttons do.
            position = random.bounded(count);
            if (position < count / 2) {
                rs->MoveFirst();
                for (qint64 i = 0; i < position; ++i)
                    rs->MoveNext();
            } else {
                rs->MoveLast();
                for (qint64 i = count - 1; i > position; --i)
                    rs->MovePrevious();
            }
            rs->Edit();
            collectSave(*rs, number);
        }
        std::printf("done %lld %lld\n", static_cast<long long>(number), static_cast<long long>(position));
        std::fflush(stdout);
    }
    return 0;
}

int lock(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "Sperren fehlgeschlagen: %s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    std::puts("locked");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    try {
        if (mode == QLatin1String("save") && argc == 5)
            return save(path, std::atoll(argv[3]), quint32(std::strtoul(argv[4], nullptr, 10)));
        if (mode == QLatin1String("lock") && argc == 3)
            return lock(path);
    } catch (const store::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
    return usage();
}
