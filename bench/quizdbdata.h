// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The questions bench_quizdb measures with, their CSV file, and the floors:
// the same inserts and the same check done with the SQLite C API in process.
#pragma once

#include "store/store.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace benchquizdb {

[[noreturn]] inline void die(const std::string& what)
{
    std::fprintf(stderr, "bench_quizdb: %s\n", what.c_str());
    std::exit(1);
}

inline void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        die(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

// ---- the questions -------------------------------------------------------------

// All values of all records in one block: value v of record r is
// text.substr(start[r*13+v], length[...]); a length of -1 is no value.
struct Questions {
    std::string text;
    std::vector<std::uint32_t> start;
    std::vector<std::int32_t> length;
    size_t count = 0;
};

inline const char* kCities[] = {"Köln", "München", "Düsseldorf", "Lübeck", "Görlitz", "Würzburg", "Saarbrücken", "Bremen"};

// Playable records of about the size of a real question set (55 MB for
// 350,000): umlauts, now and then a comma or quotes (so quoted fields), a
// JokerTV with no value, the empty text or a hint.
inline Questions makeQuestions(size_t count)
{
    Questions q;
    q.count = count;
    q.text.reserve(count * 150);
    q.start.reserve(count * 13);
    q.length.reserve(count * 13);
    char buf[256];
    auto add = [&](const char* value, int length) {
        q.start.push_back(std::uint32_t(q.text.size()));
        q.length.push_back(length);
        if (length > 0)
            q.text.append(value, size_t(length));
    };
    auto addText = [&](const char* value) { add(value, int(std::strlen(value))); };
    static const char* letters[] = {"A", "B", "C", "D"};
    static const char* shares[][4] = {{"55", "20", "15", "10"}, {"12", "64", "9", "15"}, {"30", "25", "40", "5"},
                                      {"8", "17", "22", "53"}};
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, "%zu", i % 99 + 1);
        addText(buf);
        if (i % 7 == 0)
            std::snprintf(buf, sizeof buf, "Wer sagte „Hallo, Welt“ zuerst, und in welcher Stadt war das? (Nr. %zu)", i);
        else if (i % 11 == 0)
            std::snprintf(buf, sizeof buf, "Was heißt \"Grüß Gott\" auf Plattdeutsch, wenn man in %s ist (%zu)?",
                          kCities[i % 8], i);
        else
            std::snprintf(buf, sizeof buf, "Welche Stadt liegt näher an %s als an %s? Frage Nummer %zu",
                          kCities[i % 8], kCities[(i + 3) % 8], i);
        addText(buf);
        for (int a = 0; a < 4; ++a) {
            std::snprintf(buf, sizeof buf, "%s %zu", kCities[(i + size_t(a)) % 8], i % 1000);
            addText(buf);
        }
        const size_t right = i % 4;
        addText(letters[right]);
        addText(letters[(right + 1) % 4]);
        for (int s = 0; s < 4; ++s)
            addText(shares[right][s]);
        if (i % 3 == 0)
            add(nullptr, -1);
        else if (i % 3 == 1)
            add("", 0);
        else
            addText("Tipp: Landkarte");
    }
    return q;
}

inline void writeCsv(const Questions& q, const QString& path)
{
    std::string out = "Nummer,Frage,AntwortA,AntwortB,AntwortC,AntwortD,Richtig,Fraglich,PublikumA,PublikumB,"
                      "PublikumC,PublikumD,JokerTV\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        die("cannot write the CSV");
    for (size_t r = 0; r < q.count; ++r) {
        for (int v = 0; v < 13; ++v) {
            if (v)
                out += ',';
            const int len = q.length[r * 13 + size_t(v)];
            if (len < 0)
                continue;
            const char* s = q.text.data() + q.start[r * 13 + size_t(v)];
            const std::string value(s, size_t(len));
            if (len == 0 || value.find_first_of(",\"\r\n") != std::string::npos) {
                out += '"';
                for (char c : value)
                    out += c == '"' ? std::string("\"\"") : std::string(1, c);
                out += '"';
            } else {
                out += value;
            }
        }
        out += "\r\n";
        if (out.size() > (1 << 20)) {
            f.write(out.data(), qint64(out.size()));
            out.clear();
        }
    }
    f.write(out.data(), qint64(out.size()));
}

// ---- the floors: the C API in this process --------------------------------------

inline const char* kInsert = "INSERT INTO \"Zada-VI-VOZ\" (\"Nummer\",\"Frage\",\"AntwortA\",\"AntwortB\",\"AntwortC\","
                      "\"AntwortD\",\"Richtig\",\"Fraglich\",\"PublikumA\",\"PublikumB\",\"PublikumC\",\"PublikumD\","
                      "\"JokerTV\") VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)";
inline const char* kSelect = "SELECT \"Nummer\",\"Frage\",\"AntwortA\",\"AntwortB\",\"AntwortC\",\"AntwortD\",\"Richtig\","
                      "\"Fraglich\",\"PublikumA\",\"PublikumB\",\"PublikumC\",\"PublikumD\",\"JokerTV\" "
                      "FROM \"Zada-VI-VOZ\" ORDER BY rowid";

inline void floorInsert(const Questions& q, const QString& path, bool createTable)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          db, "open");
    check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db, "begin");
    if (createTable)
        check(sqlite3_exec(db, store::createTableSql().toUtf8().constData(), nullptr, nullptr, nullptr), db, "table");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, kInsert, -1, &st, nullptr), db, "prepare");
    for (size_t r = 0; r < q.count; ++r) {
        for (int v = 0; v < 13; ++v) {
            const int len = q.length[r * 13 + size_t(v)];
            if (len < 0)
                sqlite3_bind_null(st, v + 1);
            else
                sqlite3_bind_text(st, v + 1, q.text.data() + q.start[r * 13 + size_t(v)], len, SQLITE_STATIC);
        }
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

volatile size_t g_sink = 0;

// What check does with the C API: SQLite's check of the file's structure
// (PRAGMA quick_check: every tree and the list of free pages), then a scan
// reading all 13 fields, on one connection.
inline void floorCheck(const QString& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr), db, "prepare");
    check(sqlite3_step(st), db, "quick_check");
    if (std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") != 0)
        die("quick_check: the file is damaged");
    sqlite3_finalize(st);
    check(sqlite3_prepare_v2(db, kSelect, -1, &st, nullptr), db, "prepare");
    size_t bytes = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        for (int i = 0; i < 13; ++i)
            if (sqlite3_column_text(st, i))
                bytes += size_t(sqlite3_column_bytes(st, i));
    check(rc, db, "scan");
    g_sink = g_sink + bytes;
    sqlite3_finalize(st);
    sqlite3_close(db);
}

} // namespace benchquizdb
