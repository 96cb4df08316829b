// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The failures of SQLite as the program reports them: one error type with
// SQLite's result code, and its German words, which come from one function.
#pragma once

#include "store/store.h"

#include <QString>

namespace store::sqlite {

// The largest value, in bytes, a connection reads or writes. SQLite refuses a
// larger one before it is ever held in memory.
inline constexpr int kMaxValueBytes = 1 << 20;
// kMaxValueBytes as messages name it.
QString maxValueText();

// The path as messages show it: in the platform's own spelling.
QString shownPath(const QString& path);

// A failure of SQLite, worded for the user, with SQLite's result code for the
// caller that has better words for one cause.
class Error : public store::Error {
public:
    Error(const QString& message, int code, QString sqliteText = {})
        : store::Error(message), m_code(code), m_sqliteText(std::move(sqliteText))
    {
    }
    int code() const { return m_code; } // SQLite's extended result code
    // SQLite's own words for the failure (English), for what describe() has no words for.
    const QString& sqliteText() const { return m_sqliteText; }

    bool isLock() const;     // another program holds the file
    bool isTooBig() const;   // a value or record larger than kMaxValueBytes
    bool isFull() const;     // the disk, or the table's row keys
    bool isDamaged() const;  // no database, or a damaged one
    bool isReadOnly() const;
    bool isCantOpen() const; // the file, or its journal, cannot be opened
    bool isPlain() const;    // SQLite's general error: bad SQL, a missing name
    bool isNoMemory() const;

private:
    int m_code;
    QString m_sqliteText;
};

// What result code `code` means, in words a user can act on (lower case, no
// full stop); `sqliteText` is SQLite's own text for it, used where no wording
// of ours fits. Every message of this layer words its cause here.
QString describe(int code, const QString& sqliteText);

// The failures of reading and of writing the question file at `path`.
Error readError(const QString& path, int code, const QString& sqliteText = {});
Error writeError(const QString& path, int code, const QString& sqliteText = {});
Error readOnlyError(const QString& path);
// The read error of a damaged file.
Error damagedError(const QString& path);

// The journal beside `path` (its "-journal" or "-wal") that is a symbolic
// link, or the empty text. SQLite would write through such a link, or refuses it.
QString linkedJournal(const QString& path);
} // namespace store::sqlite
