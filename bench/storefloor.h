// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of bench_store: a question file built with plain SQLite, and the
// moves, reads and writes of the record cursor done with the C API alone.
#pragma once

#include "store/store.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace benchfloor {

inline void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
        std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        std::exit(1);
    }
}

// Builds a question file of `count` records with plain SQLite.
inline void buildFile(const QString& path, int count)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                          nullptr),
          db, "create");
    check(sqlite3_exec(db, store::createTableSql().toUtf8().constData(), nullptr, nullptr, nullptr), db, "table");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO \"Zada-VI-VOZ\" (Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD, "
                             "Richtig, Fraglich, PublikumA, PublikumB, PublikumC, PublikumD, JokerTV) "
                             "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &st, nullptr),
          db, "prepare");
    char buf[160];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(buf, sizeof buf, "%d", i % 100);
        sqlite3_bind_text(st, 1, buf, -1, SQLITE_TRANSIENT);
        std::snprintf(buf, sizeof buf, "Welche Stadt liegt am Ufer des Sees, der in Frage Nummer %d gemeint ist?", i);
        sqlite3_bind_text(st, 2, buf, -1, SQLITE_TRANSIENT);
        for (int a = 0; a < 4; ++a) {
            std::snprintf(buf, sizeof buf, "Antwort %c zu Frage %d", 'A' + a, i);
            sqlite3_bind_text(st, 3 + a, buf, -1, SQLITE_TRANSIENT);
        }
        sqlite3_bind_text(st, 7, "A", 1, SQLITE_STATIC);
        sqlite3_bind_text(st, 8, "C", 1, SQLITE_STATIC);
        sqlite3_bind_text(st, 9, "55", 2, SQLITE_STATIC);
        sqlite3_bind_text(st, 10, "20", 2, SQLITE_STATIC);
        sqlite3_bind_text(st, 11, "15", 2, SQLITE_STATIC);
        sqlite3_bind_text(st, 12, "10", 2, SQLITE_STATIC);
        sqlite3_bind_text(st, 13, "", 0, SQLITE_STATIC);
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The raw side: one connection with the statements prepared once.
struct Raw {
    sqlite3* db = nullptr;
    sqlite3_stmt* first = nullptr;
    sqlite3_stmt* last = nullptr;
    sqlite3_stmt* next = nullptr;
    sqlite3_stmt* field = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* remove = nullptr;
    sqlite3_int64 key = 0;

    explicit Raw(const QString& path)
    {
        check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
        sqlite3_busy_timeout(db, store::kBusyTimeoutMs);
        prepare(&first, "SELECT rowid FROM \"Zada-VI-VOZ\" ORDER BY rowid LIMIT 1");
        prepare(&last, "SELECT rowid FROM \"Zada-VI-VOZ\" ORDER BY rowid DESC LIMIT 1");
        prepare(&next, "SELECT rowid FROM \"Zada-VI-VOZ\" WHERE rowid>?1 ORDER BY rowid LIMIT 1");
        prepare(&field, "SELECT Frage FROM \"Zada-VI-VOZ\" WHERE rowid=?1");
        prepare(&insert, "INSERT INTO \"Zada-VI-VOZ\" (Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD, "
                         "Richtig, Fraglich, PublikumA, PublikumB, PublikumC, PublikumD, JokerTV) "
                         "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prepare(&remove, "DELETE FROM \"Zada-VI-VOZ\" WHERE rowid=?1");
        seek(first);
    }
    ~Raw()
    {
        for (sqlite3_stmt* st : {first, last, next, field, insert, remove})
            sqlite3_finalize(st);
        sqlite3_close(db);
    }
    void prepare(sqlite3_stmt** st, const char* sql) { check(sqlite3_prepare_v2(db, sql, -1, st, nullptr), db, sql); }
    bool seek(sqlite3_stmt* st)
    {
        const int rc = sqlite3_step(st);
        const bool hit = rc == SQLITE_ROW;
        if (hit)
            key = sqlite3_column_int64(st, 0);
        sqlite3_reset(st);
        return hit;
    }
    void moveNext()
    {
        sqlite3_bind_int64(next, 1, key);
        if (!seek(next))
            seek(first); // past the end: start again at the first, as the game does
    }
    size_t readField()
    {
        sqlite3_bind_int64(field, 1, key);
        size_t n = 0;
        if (sqlite3_step(field) == SQLITE_ROW)
            n = size_t(sqlite3_column_bytes(field, 0)) + (sqlite3_column_text(field, 0) ? 1 : 0);
        sqlite3_reset(field);
        return n;
    }
    void write(sqlite3_stmt* st)
    {
        check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db, "begin");
        check(sqlite3_step(st), db, "write");
        sqlite3_reset(st);
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    }
    void addNew()
    {
        static const char* values[13] = {"7",  "Eine neue Frage, angehängt vom Editor?", "Ja", "Nein", "Vielleicht",
                                         "Nie", "A", "B", "40", "30", "20", "10", ""};
        for (int i = 0; i < 13; ++i)
            sqlite3_bind_text(insert, i + 1, values[i], int(std::strlen(values[i])), SQLITE_STATIC);
        write(insert);
    }
    void deleteLast()
    {
        seek(last);
        sqlite3_bind_int64(remove, 1, key);
        write(remove);
    }
};


} // namespace benchfloor
