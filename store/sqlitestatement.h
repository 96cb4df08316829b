// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Statements that check every binding and reset themselves, and a
// transaction that rolls back unless committed.
#pragma once

#include "store/sqlitefile.h"

#include <QByteArrayView>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3_stmt;

namespace store::sqlite {

// A compiled statement, finalized with its owner; reused through Statement.
class Prepared {
public:
    // Whether the statement is compiled for one use or kept for many.
    enum class Use { Once, Kept };

    Prepared() = default;
    // Compiles `sql` for `file`; throws the read error of the file.
    Prepared(File& file, const QString& sql, Use use = Use::Kept);
    explicit operator bool() const { return m_st != nullptr; }
    void reset() { m_st.reset(); }

private:
    friend class Statement;
    struct Finalize {
        void operator()(sqlite3_stmt* st) const noexcept;
    };
    const File* m_file = nullptr;
    std::unique_ptr<sqlite3_stmt, Finalize> m_st;
};

// One run of a prepared statement: binds its parameters, steps through its
// rows and reads their columns. Leaving scope resets it and clears its
// bindings, so it holds no lock afterwards. Every failure throws Error: of
// reading the file for a statement that only reads, of writing it otherwise.
class Statement {
public:
    enum class Type { Null, Integer, Real, Text, Blob };

    // A run of a statement its owner keeps.
    explicit Statement(Prepared& prepared);
    // A statement compiled for this run only.
    Statement(File& file, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1.
    Statement& bind(int index, qint64 value);
    // A text, or NULL for no value; the empty text stays the empty text.
    Statement& bind(int index, const std::optional<QString>& text);
    // UTF-8 bytes as text, or NULL for no value, bound where they are: they
    // must stay unchanged until the next step.
    Statement& bindInPlace(int index, std::optional<QByteArrayView> text);

    // Steps to the next row: true on a row, false at the end.
    bool step();
    // Runs a statement that hands out no rows to its end.
    void run();

    // Columns count from 0, and are read on the row step() stood on.
    Type type(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // A column as text (SQLite's conversion of a number), decoded from UTF-8.
    QString text(int column) const;
    // The bytes of a text or blob column; no value (NULL) reads as nullopt.
    // They last until the next step.
    // Throws std::bad_alloc when SQLite finds no memory to convert a number.
    std::optional<QByteArrayView> bytes(int column) const;

private:
    [[noreturn]] void fail(int code) const;
    void check(int code) const;

    Prepared m_own; // the statement compiled for this run only
    Prepared& m_prepared;
    bool m_boundText = false; // a text is bound, to be let go of when the run ends
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless commit()
// succeeded, so any failure in between leaves the file as it was. Failures to
// begin or commit throw the write error.
class Transaction {
public:
    explicit Transaction(File& file);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    File& m_file;
    bool m_committed = false;
};

// A name in SQL text, in double quotes, an inner double quote doubled.
QString identifier(const QString& name);
// The names, each as identifier(), separated by commas.
QString identifierList(const QStringList& names);

} // namespace store::sqlite
