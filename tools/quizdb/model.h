// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question data model: what a record must hold for the game to play it.
// create and import demand it, check reports every breach.
#pragma once

#include "tools/quizdb/values.h"

#include <QList>
#include <QString>

namespace quizdb {

// One way a record breaks the question data model.
struct Fault {
    QString field; // the field at fault (the first of several, e.g. PublikumA for the sum)
    QString text;  // German, says what is wrong and what is allowed
};

// Which rules a record must keep.
enum class Rules {
    Model,       // the whole data model: what the game can play
    LengthsOnly, // only the field lengths the editor keeps (create/import --ohne-pruefung)
};

// Everything wrong with one record (thirteen values in store::fieldNames() order):
// Richtig and Fraglich not one of the letters A-D or equal, audience shares not
// whole numbers 0-99 or not adding up to 100, texts over their limits, no question.
// Lengths are counted in characters, as the editor cuts them.
QList<Fault> modelFaults(const QList<Value>& values);

// The faults of `values` under `rules`.
QList<Fault> faults(const QList<Value>& values, Rules rules);

// A quick look at the raw values that answers true only when faults() would
// find nothing; false means "look closer" (most records that pass it are never
// decoded). It needs the characters counted (RawValue::codePoints) of the
// fields in kCountedFields, or under Rules::LengthsOnly of all fields; under
// Rules::Model it passes the others only when they are plain ASCII letters or
// digits, so they need no look at their encoding beforehand.
bool surelyInOrder(const RawRecord& record, Rules rules);

// The fields whose length in characters the data model limits (the texts:
// Nummer, Frage, the four answers, JokerTV), in table order.
extern const std::array<int, 7> kCountedFields;

} // namespace quizdb
