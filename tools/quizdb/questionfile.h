// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An existing question file as quizdb's commands meet it: opened only when it
// is a regular file that holds the question table, its rollback journal played
// back or named, its SQLite failures in quizdb's words, and its records read
// once in table order.
#pragma once

#include "store/filekind.h"
#include "store/questiontable.h"
#include "store/sqlite.h"
#include "tools/quizdb/messages.h"
#include "tools/quizdb/values.h"

#include <QString>

namespace quizdb {

namespace sqlite = store::sqlite;

// Running out of memory has one message of its own (see run()), whatever ran
// out: throws std::bad_alloc for such an error, else returns.
void failOnNoMemory(const sqlite::Error& e);

// The rollback journal SQLite keeps beside a question file (beside the file a
// symbolic link leads to, as SQLite resolves it).
QString journalOf(const QString& file);

// Plays back a journal left by a failed write, as opening the file next time
// would; true when the file is as it was before.
bool restore(const QString& file);

// The sentence that says a file's old state still waits in its journal.
QString pendingRestore(const QString& file);

// A failure of reading the question file `file`, in quizdb's words where they
// say more.
Error readError(const QString& file, const sqlite::Error& e);

// Runs `work`, which reads the question file `file`, with its SQLite failures
// in quizdb's words.
template <typename Work>
auto reading(const QString& file, Work&& work)
{
    try {
        return work();
    } catch (const sqlite::Error& e) {
        throw readError(file, e);
    }
}

using store::irregularKind;

// Opens an existing question file and checks that it holds the question
// table; `key` gets the name of its row key. Only a regular file is opened:
// reading a pipe or a device would wait for ever or never end. Every file is
// opened for writing where that is allowed, also only to read it, so that
// SQLite can roll back a save that was interrupted. With `write`, a file that
// can only be read is refused.
sqlite::File openQuestionFile(const QString& file, bool write, QString& key);

// What SQLite's check of the file's structure (its trees and its list of
// free pages) finds, each finding as a German sentence that names the file
// and quotes SQLite's own words; empty for a sound file.
QStringList structureFindings(sqlite::File& db, const QString& file);

// What to do with a file whose structure is damaged.
QString damageRemedy(const QString& file);

// The failure of a table that leads back to a record already read after
// `position` records.
Error loopingTable(const QString& file, qint64 position);

// Calls `each` with the position and the raw values of every record of the
// table, in table order. Returns the number of records. The keys must grow
// from record to record, as every move of the store demands: a damaged table
// that leads back to records already read is refused, not read without end.
template <typename Each>
qint64 forEachRecord(sqlite::File& db, const QString& file, const QString& key, Each each)
{
    return reading(file, [&] {
        sqlite::Statement st(db, QStringLiteral("SELECT %1,%3 FROM %2 ORDER BY %3")
                                     .arg(sqlite::identifierList(store::fieldNames()), sqlite::identifier(store::kTable), key));
        qint64 position = 0;
        qint64 lastKey = 0;
        RawRecord record;
        while (st.step()) {
            const qint64 rowKey = st.integer(store::kFieldCount);
            if (position > 0 && rowKey <= lastKey)
                throw loopingTable(file, position);
            lastKey = rowKey;
            ++position;
            for (int i = 0; i < store::kFieldCount; ++i) {
                // The column's bytes where SQLite holds them (a number as its text).
                const std::optional<QByteArrayView> bytes = st.bytes(i);
                RawValue& v = record[i];
                v.null = !bytes;
                v.data = bytes ? bytes->data() : nullptr;
                v.size = bytes ? bytes->size() : 0;
            }
            each(position, record);
        }
        return position;
    });
}

} // namespace quizdb
