// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quizdb's four commands on question files: create, import, export, check.
// Each goes through its input once, record by record: memory does not grow
// with the number of questions.
#pragma once

#include "tools/quizdb/csvdialect.h"
#include "tools/quizdb/model.h"
#include "tools/quizdb/progress.h"

#include <QIODevice>
#include <QList>
#include <QString>
#include <functional>

namespace quizdb {

// "-" as a CSV file name: standard input.
inline const QString kStandardInput = QStringLiteral("-");

// How create and import write.
struct WriteOptions {
    Rules rules = Rules::Model; // what every record must keep to be written
    Progress* progress = nullptr;
    // Says what the reader of an Access file noticed and read past.
    std::function<void(const QString& notice)> notice;
    // Separator and character set of the CSV: found in the file, or given.
    CsvDialect dialect = {CsvDialect::Separator::Auto, CsvDialect::Encoding::Auto};
    // Gets how the CSV was read, once its header is read, also when the
    // command fails after that.
    QString* howRead = nullptr;
};

// Makes the question file `file` with the records of `csv` ("-": standard
// input). Refuses when anything is at `file` already. Reads, checks and writes
// in one pass; on any fault or failure no file is left behind. Returns the
// record count.
int createFile(const QString& file, const QString& csv, const WriteOptions& options = {});

// Appends the records of `csv` to the existing question file `file`, in one
// pass and one transaction: all of them, or on any fault or failure none, and
// the file is as it was. Returns the count.
int importFile(const QString& file, const QString& csv, const WriteOptions& options = {});

// Writes the table of `file` as CSV to `out`, in table order.
void exportFile(const QString& file, QIODevice& out, Progress* progress = nullptr);

// A faulty record of a question file.
struct FaultyRecord {
    qint64 position = 0; // 1-based, in table order
    Value nummer;
    QList<Fault> faults;
};

struct CheckResult {
    qint64 records = 0;
    qint64 faulty = 0;
    int findings = 0; // triggers, views, CHECK constraints and computed indexes in the file
    QString format;   // an Access file's format (jet::formatName); empty for a question file
};

// What check reports as it goes.
struct CheckReport {
    // A trigger or a view in the file (never run by the game), or work the
    // table's schema makes SQLite do on every save, in words.
    std::function<void(const QString& finding)> finding;
    std::function<void(const FaultyRecord& record)> faulty;
};

// Names the triggers and views of `file` and what its table's schema computes
// on every save, then reads every record and reports the faulty ones.
CheckResult checkFile(const QString& file, const CheckReport& report, Progress* progress = nullptr);

} // namespace quizdb
