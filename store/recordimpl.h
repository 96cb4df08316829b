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

    // Two seeks serve every move and every field read: `forward` finds the
    // first record at or after a key and brings its fields along, `backward`
    // the last record at or before a key.
    sqlite::Prepared forward;
    sqlite::Prepared backward;
    sqlite::Prepared remove;

    Connection& connection() const
    {
        if (closed)
            throw Error(QStringLiteral("Die Datensatzgruppe der Tabelle „%1“ ist bereits geschlossen.").arg(kTable));
        conn->file(); // throws when the database was closed
        return *conn;
    }

    // A statement of the record set, prepared on first use: %1 in the pattern
    // is the table, %2 the row key.
    sqlite::Prepared& statement(sqlite::Prepared& slot, const char* sqlPattern)
    {
        if (!slot) {
            Connection& c = connection();
            slot = c.prepare(QString::fromLatin1(sqlPattern).arg(sqlite::identifier(kTable), c.rowKey()));
        }
        return slot;
    }
    sqlite::Prepared& forwardStatement()
    {
        if (!forward)
            forward = connection().forwardStatement();
        return forward;
    }

    // Runs `read` on the forward seek from key `k`. SQLite refuses a value
    // larger than the connection takes without saying whose it is, so then
    // each field of the record is read by itself to name it.
    template <typename Read>
    auto readFrom(qint64 k, Read&& read)
    {
        try {
            sqlite::Statement st(forwardStatement());
            st.bind(1, k);
            return read(st);
        } catch (const sqlite::Error& e) {
            if (e.isTooBig())
                throwTooBigField(k); // when one field is found too big
            throw;
        }
    }
    void throwTooBigField(qint64 from) const
    {
        for (const QString& f : fieldNames()) {
            try {
                sqlite::Statement probe(conn->file(), QStringLiteral("SELECT %1 FROM %2 WHERE %3>=?1 ORDER BY %3 LIMIT 1")
                                                          .arg(sqlite::identifier(f), sqlite::identifier(kTable), conn->rowKey()));
                probe.bind(1, from);
                probe.step();
            } catch (const sqlite::Error& e) {
                if (e.isTooBig())
                    throw Error(QStringLiteral("Das Feld „%1“ eines Datensatzes der Fragendatei „%2“ ist größer als %3 "
                                               "und kann nicht gelesen werden.")
                                    .arg(f, conn->displayPath(), sqlite::maxValueText()));
                return;
            }
        }
    }

    // The two seeks must land on the side of `k` they search: a damaged file
    // can answer with a key behind it, and a cursor that does not move would
    // walk forever. Each returns true and the key when a record was found.
    bool seekFrom(qint64 k, qint64* found)
    {
        return readFrom(k, [&](sqlite::Statement& st) {
            if (!st.step())
                return false;
            *found = st.integer(0);
            if (*found < k)
                throw conn->damagedError();
            return true;
        });
    }
    bool seekUpTo(qint64 k, qint64* found)
    {
        sqlite::Statement st(statement(backward, "SELECT %2 FROM %1 WHERE %2<=?1 ORDER BY %2 DESC LIMIT 1"));
        st.bind(1, k);
        if (!st.step())
            return false;
        *found = st.integer(0);
        if (*found > k)
            throw conn->damagedError();
        return true;
    }

    // The thirteen values of the record with key `k`; false when there is none.
    bool readValues(qint64 k, RecordValues& values)
    {
        return readFrom(k, [&](sqlite::Statement& st) {
            if (!st.step() || st.integer(0) != k)
                return false;
            for (int i = 0; i < kFieldCount; ++i)
                values[i] = columnValue(st, i + 1, true);
            return true;
        });
    }
    bool seekFirst(qint64* found) { return seekFrom(kLowestKey, found); }
    bool seekLast(qint64* found) { return seekUpTo(kHighestKey, found); }
    bool seekAfter(qint64 k, qint64* found) { return k < kHighestKey && seekFrom(k + 1, found); }
    bool seekBefore(qint64 k, qint64* found) { return k > kLowestKey && seekUpTo(k - 1, found); }

    void standOn(qint64 k)
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
