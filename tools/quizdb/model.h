// The question data model: what a record must hold for the game to play it.
// create and import demand it, check reports every breach.
#pragma once

#include "tools/quizdb/csv.h"

#include <QList>
#include <QString>

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

} // namespace quizdb
