// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The inside of a record set, shared by its two halves: recordset.cpp (opening,
// moves, field reads) and recordedit.cpp (edits, adds and deletes). Private to
// the store.
#pragma once

#include "store/connection.h"

#include <array>
#include <limits>

namespace store {

inline Error unknownField(const QString& name)
{
    return Error(QStringLiteral("Das Feld „%1“ gibt es in der Tabelle „%2“ nicht.").arg(name, kTable));
}

// A column of a row as the store hands it out: a number as a number, a text
// exactly as stored, no value as the null QVariant. A text that is not valid
// UTF-8 is decoded with U+FFFD, or with `raw` kept as its bytes (RawText).
inline QVariant columnValue(sqlite3_stmt* st, int column, bool raw = false)
{
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
        const int bytes = sqlite3_column_bytes(st, column);
        if (raw && !QByteArrayView(text, bytes).isValidUtf8())
            return QVariant::fromValue(RawText{QByteArray(text, bytes)});
        return bytes > 0 ? QVariant(textFromUtf8(QByteArrayView(text, bytes))) : QVariant(QString(QLatin1String("")));
    }
    case SQLITE_BLOB: {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(st, column));
        return QVariant(QByteArray(blob ? blob : "", sqlite3_column_bytes(st, column)));
    }
    default:
        return QVariant();
    }
}

// Binds a value the way the store writes it: no value as NULL, everything
// else as text (the empty text stays the empty text, never NULL). Returns the
// result code: a value larger than the connection takes is refused here.
inline int bindValue(sqlite3_stmt* st, int index, const QVariant& v)
{
    const bool noValue = v.typeId() != QMetaType::QString && (!v.isValid() || v.isNull());
    return sqlite::bindText(st, index, noValue ? std::nullopt : std::optional<QString>(v.toString()));
}

inline constexpr sqlite3_int64 kLowestKey = std::numeric_limits<sqlite3_int64>::min();
inline constexpr sqlite3_int64 kHighestKey = std::numeric_limits<sqlite3_int64>::max();

struct Recordset::Impl {
    std::shared_ptr<Connection> conn;
    bool closed = false;
    // Where the cursor stands. `bof` and `eof` are both true on an empty set;
    // `key` is the row key of the current record or of the deleted one's hole.
    bool bof = false;
    bool eof = false;
    bool hole = false;
    sqlite3_int64 key = 0;
    // The key of the record last added or changed through this record set.
    std::optional<sqlite3_int64> lastModified;

    // The pending change and the fields collected for it so far.
    int editMode = dbEditNone;
    unsigned collectedMask = 0;
    std::array<QVariant, kFieldCount> collected;

    // Two seeks serve every move and every field read: `forward` finds the
    // first record at or after a key and brings its fields along, `backward`
    // the last record at or before a key.
    sqlite::Statement forward;
    sqlite::Statement backward;
    sqlite::Statement remove;

    Connection& connection() const
    {
        if (closed)
            throw Error(QStringLiteral("Die Datensatzgruppe der Tabelle „%1“ ist bereits geschlossen.").arg(kTable));
        conn->handle(); // throws when the database was closed
        return *conn;
    }

    // A statement of the record set, prepared on first use: %1 in the pattern
    // is the table, %2 the row key.
    sqlite3_stmt* statement(sqlite::Statement& slot, const char* sqlPattern)
    {
        if (!slot) {
            Connection& c = connection();
            slot = c.prepare(QString::fromLatin1(sqlPattern).arg(sqlite::identifier(kTable), c.rowKey()));
        }
        return slot.get();
    }
    sqlite3_stmt* forwardStatement()
    {
        if (!forward)
            forward = connection().forwardStatement();
        return forward.get();
    }

    // A read that failed from key `from` on. SQLite refuses a value larger than
    // the connection takes without saying whose it is, so each field of the
    // record is read by itself to name it.
    Error readFailure(int rc, sqlite3_int64 from) const
    {
        if ((rc & 0xff) != SQLITE_TOOBIG)
            return conn->readError(rc);
        for (const QString& f : fieldNames()) {
            sqlite::Statement probe;
            if (sqlite::prepare(conn->handle(),
                                QStringLiteral("SELECT %1 FROM %2 WHERE %3>=?1 ORDER BY %3 LIMIT 1")
                                    .arg(sqlite::identifier(f), sqlite::identifier(kTable), conn->rowKey()),
                                probe)
                != SQLITE_OK)
                break;
            sqlite3_bind_int64(probe.get(), 1, from);
            if ((sqlite3_step(probe.get()) & 0xff) == SQLITE_TOOBIG)
                return Error(QStringLiteral("Das Feld „%1“ eines Datensatzes der Fragendatei „%2“ ist größer als %3 "
                                            "und kann nicht gelesen werden.")
                                 .arg(f, conn->displayPath(), sqlite::maxValueText()));
        }
        return conn->readError(rc);
    }

    // One seek from key `k`. Returns true and the key when a record was found.
    bool seek(sqlite3_stmt* st, sqlite3_int64 k, sqlite3_int64* found)
    {
        sqlite3_bind_int64(st, 1, k);
        bool hit = false;
        const int rc = sqlite::stepOnce(st, [&](sqlite3_stmt* row) {
            *found = sqlite3_column_int64(row, 0);
            hit = true;
        });
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw readFailure(rc, k);
        return hit;
    }
    // The two seeks must land on the side of `k` they search: a damaged file
    // can answer with a key behind it, and a cursor that does not move would
    // walk forever.
    bool seekFrom(sqlite3_int64 k, sqlite3_int64* found)
    {
        const bool hit = seek(forwardStatement(), k, found);
        if (hit && *found < k)
            throw conn->readError(SQLITE_CORRUPT);
        return hit;
    }
    bool seekUpTo(sqlite3_int64 k, sqlite3_int64* found)
    {
        const bool hit = seek(statement(backward, "SELECT %2 FROM %1 WHERE %2<=?1 ORDER BY %2 DESC LIMIT 1"), k, found);
        if (hit && *found > k)
            throw conn->readError(SQLITE_CORRUPT);
        return hit;
    }

    // The thirteen values of the record with key `k`; false when there is none.
    bool readValues(sqlite3_int64 k, RecordValues& values)
    {
        sqlite3_stmt* st = forwardStatement();
        sqlite3_bind_int64(st, 1, k);
        bool hit = false;
        const int rc = sqlite::stepOnce(st, [&](sqlite3_stmt* row) {
            if (sqlite3_column_int64(row, 0) != k)
                return;
            hit = true;
            for (int i = 0; i < kFieldCount; ++i)
                values[i] = columnValue(row, i + 1, true);
        });
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw readFailure(rc, k);
        return hit;
    }
    bool seekFirst(sqlite3_int64* found) { return seekFrom(kLowestKey, found); }
    bool seekLast(sqlite3_int64* found) { return seekUpTo(kHighestKey, found); }
    bool seekAfter(sqlite3_int64 k, sqlite3_int64* found) { return k < kHighestKey && seekFrom(k + 1, found); }
    bool seekBefore(sqlite3_int64 k, sqlite3_int64* found) { return k > kLowestKey && seekUpTo(k - 1, found); }

    void standOn(sqlite3_int64 k)
    {
        bof = eof = hole = false;
        key = k;
    }

    void cancelPending()
    {
        editMode = dbEditNone;
        collectedMask = 0;
        for (QVariant& v : collected)
            v = QVariant();
    }

    void requireCurrent() const
    {
        if (bof || eof)
            throw Error(QStringLiteral("Kein aktueller Datensatz: der Datensatzzeiger steht vor dem ersten oder "
                                       "hinter dem letzten Datensatz."));
        if (hole)
            throw Error(QStringLiteral("Kein aktueller Datensatz: der Datensatz wurde gelöscht."));
    }

    static Error emptyTable()
    {
        return Error(QStringLiteral("Die Tabelle „%1“ enthält keine Datensätze.").arg(kTable));
    }

    // Binds the value of field `i` for a write; throws when it is refused.
    static void bind(Connection& c, sqlite3_stmt* st, int index, int i, const QVariant& value)
    {
        const int rc = bindValue(st, index, value);
        if ((rc & 0xff) == SQLITE_TOOBIG)
            throw Error(QStringLiteral("Der Wert für das Feld „%1“ ist größer als %2; es wurde nichts gespeichert.")
                            .arg(fieldNames().at(i), sqlite::maxValueText()));
        if (rc != SQLITE_OK)
            throw c.writeError(rc);
    }

    // Runs a write statement whose parameters are bound; throws the write error.
    static void write(Connection& c, sqlite3_stmt* st) { requireDone(c, st, sqlite::stepOnce(st)); }
    // Throws the write error of a write statement's result `rc`.
    static void requireDone(Connection& c, sqlite3_stmt* st, int rc)
    {
        // Every value given was bound within the limit: what grows too large
        // is the whole record, with fields the file fills itself.
        if ((rc & 0xff) == SQLITE_TOOBIG)
            throw Error(QStringLiteral("Der Datensatz wäre mit allen seinen Feldern, auch denen, die die Fragendatei "
                                       "„%1“ selbst füllt, größer als %2; es wurde nichts gespeichert.")
                            .arg(c.displayPath(), sqlite::maxValueText()));
        if (rc != SQLITE_DONE)
            throw c.writeError(rc == SQLITE_ROW ? sqlite3_errcode(sqlite3_db_handle(st)) : rc);
    }

    RecordValues update(const RecordValues* expected);
    void erase(const RecordValues* expected);
};

} // namespace store
