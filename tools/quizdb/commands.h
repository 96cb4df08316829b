// quizdb's four commands on question files: create, import, export, check.
#pragma once

#include "tools/quizdb/model.h"

#include <QIODevice>
#include <QList>
#include <QString>

namespace quizdb {

// A faulty record of a question file.
struct FaultyRecord {
    int position = 0; // 1-based, in table order
    Value nummer;
    QList<Fault> faults;
};

struct CheckResult {
    int records = 0;
    QList<FaultyRecord> faulty;
};

// Makes the question file `file` with the records of `csv`. Refuses when
// anything is at `file` already. The CSV is read and checked whole before the
// file is made; on any failure no file is left behind. Returns the record count.
int createFile(const QString& file, const QString& csv);

// Appends the records of `csv` to the existing question file `file`, all in one
// transaction, after reading and checking the whole CSV. Returns the count.
int importFile(const QString& file, const QString& csv);

// Writes the table of `file` as CSV to `out`, in table order.
void exportFile(const QString& file, QIODevice& out);

// Reads every record of `file` and lists the faulty ones.
CheckResult checkFile(const QString& file);

} // namespace quizdb
