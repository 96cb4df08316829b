// The question-file tool: makes question files from CSV, appends CSV records to
// them, writes them out as CSV and lists the records that the game cannot play.
#pragma once

#include "tools/quizdb/csv.h"

#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

namespace quizdb {

// One way a record breaks the question data model.
struct Fault {
    QString field; // the field at fault (the first of several, e.g. PublikumA for the sum)
    QString text;  // German, says what is wrong and what is allowed
};

// Everything wrong with one record (thirteen values in store::fieldNames() order):
// Richtig and Fraglich not one of the letters A-D or equal, audience shares not
// whole numbers 0-99 or not adding up to 100, texts over their limits, no question.
QList<Fault> modelFaults(const QList<Value>& values);

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

// The command line: args without the program name. Normal output goes to
// `out`, messages to `err`. Returns the exit status: 0 done, 1 check found
// faulty records, 2 refused or failed (nothing changed).
int run(const QStringList& args, QIODevice& out, QIODevice& err);

// The German usage text of --help.
QString usage();

} // namespace quizdb
