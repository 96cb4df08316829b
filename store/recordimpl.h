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
inline QVariant columnValue(const sqlite::Statement& row, int column, bool raw = false)
{
    using Type = sqlite::Statement::Type;
    switch (row.type(column)) {
    case Type::Integer:
        return QVariant(qlonglong(row.integer(column)));
    case Type::Real:
        return QVariant(row.real(column));
    case Type::Text: {
        const QByteArrayView text = *row.bytes(column);
        if (raw && !text.isValidUtf8())
            return QVariant::fromValue(RawText{text.toByteArray()});
        return !text.isEmpty() ? QVariant(textFromUtf8(text)) : QVariant(QString(QLatin1String("")));
    }
    case Type::Blob:
        return QVariant(row.bytes(column)->toByteArray());
    case Type::Null:
        break;
    }
    return QVariant();
}

// Binds a value the way the store writes it: no value as NULL, everything
// else as text (the empty text stays the empty text, never NULL).
inline void bindValue(sqlite::Statement& st, int index, const QVariant& v)
{
    const bool noValue = v.typeId() != QMetaType::QString && (!v.isValid() || v.isNull());
    st.bind(index, noValue ? std::nullopt : std::optional<QString>(v.toString()));
}

inline constexpr qint64 kLowestKey = std::numeric_limits<qint64>::min();
inline constexpr qint64 kHighestKey = std::numeric_limits<qint64>::max();

struct Recordset::Impl {
    std::shared_ptr<Connection> conn;
    bool closed = false;
    // Where the cursor stands. `bof` and `eof` are both true on an empty set;
    // `key` is the row key of the current record or of the deleted one's hole.
    bool bof = false;
    bool eof = false;
    bool hole = false;
    qint64 key = 0;
    // The key of the record last added or changed through this record set.
    std::optional<qint64> lastModified;

    // The pending change and the fields collected for it so far.
    int editMode = dbEditNone;
    unsigned collectedMask = 0;
    std::array<QVariant, kFieldCount> collected;

    // Each move is one seek for a key alone, each field read one look-up of
    // that field by key, and Values() one look-up of the whole record: every
    // statement reads no more than it hands out, is prepared on first use and
    // kept.
    sqlite::Prepared first;                          // the lowest key
    sqlite::Prepared last;                           // the highest key
    sqlite::Prepared from;                           // the lowest key at or after ?1
    sqlite::Prepared upTo;                           // the highest key at or before ?1
    std::array<sqlite::Prepared, kFieldCount> field; // field i of the record with key ?1
    sqlite::Prepared whole;                          // the thirteen fields of the record with key ?1
    sqlite::Prepared remove;

    Connection& connection() const
    {
        if (closed)
            throw Error(QStringLiteral("Die Datensatzgruppe der Tabelle „%1“ ist bereits geschlossen.").arg(kTable));
        conn->file(); // throws when the database was closed
        return *conn;
    }

    // A statement of the record set, prepared on first use: %1 in the pattern
    // is the table, %2 the row key, %3 field `column` (kAllFields: every field).
    static constexpr int kNoField = -1;
    static constexpr int kAllFields = kFieldCount;
    sqlite::Prepared& statement(sqlite::Prepared& slot, const char* sqlPattern, int column = kNoField)
    {
        if (!slot) {
            Connection& c = connection();
            QString sql = QString::fromLatin1(sqlPattern).arg(sqlite::identifier(kTable), c.rowKey());
            if (column != kNoField)
                sql = sql.arg(column == kAllFields ? sqlite::identifierList(fieldNames())
                                                   : sqlite::identifier(fieldNames().at(column)));
            slot = c.prepare(sql);
        }
        return slot;
    }

    // Field i of the record with key `k`; no value when there is no such record.
    QVariant readField(int i, qint64 k)
    {
        try {
            sqlite::Statement st(statement(field[i], "SELECT %3 FROM %1 WHERE %2=?1", i));
            st.bind(1, k);
            return st.step() ? columnValue(st, 0) : QVariant();
        } catch (const sqlite::Error& e) {
            if (!e.isTooBig())
                throw;
            throw Error(QStringLiteral("Das Feld „%1“ eines Datensatzes der Fragendatei „%2“ ist größer als %3 und "
                                       "kann nicht gelesen werden.")
                            .arg(fieldNames().at(i), conn->displayPath(), sqlite::maxValueText()));
        }
    }

    // The thirteen values of the record with key `k`; false when there is none.
    // SQLite refuses a value larger than the connection takes without saying
    // whose it is, so then each field is read by itself to name it.
    bool readValues(qint64 k, RecordValues& values)
    {
        try {
            sqlite::Statement st(statement(whole, "SELECT %3 FROM %1 WHERE %2=?1", kAllFields));
            st.bind(1, k);
            if (!st.step())
                return false;
            for (int i = 0; i < kFieldCount; ++i)
                values[i] = columnValue(st, i, true);
            return true;
        } catch (const sqlite::Error& e) {
            if (e.isTooBig()) {
                try {
                    for (int i = 0; i < kFieldCount; ++i)
                        readField(i, k); // throws naming the field that is too big
                } catch (const sqlite::Error&) {
                    // Reading the fields one by one failed otherwise: the first failure tells.
                }
            }
            throw;
        }
    }

    // A seek for one key. The seeks from a key must land on the side of it
    // they search: a damaged file can answer with a key behind it, and a
    // cursor that does not move would walk forever. Each returns true and the
    // key when a record was found.
    bool seek(sqlite::Prepared& slot, const char* sqlPattern, const qint64* k, qint64* found)
    {
        sqlite::Statement st(statement(slot, sqlPattern));
        if (k)
            st.bind(1, *k);
        if (!st.step())
            return false;
        *found = st.integer(0);
        return true;
    }
    bool seekFrom(qint64 k, qint64* found)
    {
        if (!seek(from, "SELECT %2 FROM %1 WHERE %2>=?1 ORDER BY %2 LIMIT 1", &k, found))
            return false;
        if (*found < k)
            throw conn->damagedError();
        return true;
    }
    bool seekUpTo(qint64 k, qint64* found)
    {
        if (!seek(upTo, "SELECT %2 FROM %1 WHERE %2<=?1 ORDER BY %2 DESC LIMIT 1", &k, found))
            return false;
        if (*found > k)
            throw conn->damagedError();
        return true;
    }
    bool seekFirst(qint64* found) { return seek(first, "SELECT %2 FROM %1 ORDER BY %2 LIMIT 1", nullptr, found); }
    bool seekLast(qint64* found) { return seek(last, "SELECT %2 FROM %1 ORDER BY %2 DESC LIMIT 1", nullptr, found); }
    bool seekAfter(qint64 k, qint64* found) { return k < kHighestKey && seekFrom(k + 1, found); }
    bool seekBefore(qint64 k, qint64* found) { return k > kLowestKey && seekUpTo(k - 1, found); }

    void finalize()
    {
        for (sqlite::Prepared* st : {&first, &last, &from, &upTo, &whole, &remove})
            st->reset();
        for (sqlite::Prepared& st : field)
            st.reset();
    }

    void standOn(qint64 k)
    {
        bof = eof = hole = false;
        key = k;
    }

    void cancelPending()
    {
        editMode = dbEditNone;
        // Only the fields collected hold a value.
        for (int i = 0; collectedMask != 0; ++i, collectedMask >>= 1)
            if (collectedMask & 1u)
                collected[i] = QVariant();
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
    static void bind(sqlite::Statement& st, int index, int i, const QVariant& value)
    {
        try {
            bindValue(st, index, value);
        } catch (const sqlite::Error& e) {
            if (!e.isTooBig())
                throw;
            throw Error(QStringLiteral("Der Wert für das Feld „%1“ ist größer als %2; es wurde nichts gespeichert.")
                            .arg(fieldNames().at(i), sqlite::maxValueText()));
        }
    }

    // Runs a write statement whose parameters are bound; throws the write error.
    static void write(const Connection& c, sqlite::Statement& st)
    {
        try {
            st.run();
        } catch (const sqlite::Error& e) {
            // Every value given was bound within the limit: what grows too
            // large is the whole record, with fields the file fills itself.
            if (!e.isTooBig())
                throw;
            throw Error(QStringLiteral("Der Datensatz wäre mit allen seinen Feldern, auch denen, die die Fragendatei "
                                       "„%1“ selbst füllt, größer als %2; es wurde nichts gespeichert.")
                            .arg(c.displayPath(), sqlite::maxValueText()));
        }
    }

    RecordValues update(const RecordValues* expected);
    void erase(const RecordValues* expected);
};

} // namespace store
