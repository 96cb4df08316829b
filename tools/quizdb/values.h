// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Field values as quizdb handles them: as text (QString) where a message needs
// them, and as the raw UTF-8 bytes of a CSV line or a stored record on the way
// through, so that a record that is in order is never decoded at all.
#pragma once

#include "store/store.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace quizdb {

// A field value: text, or std::nullopt for no value.
using Value = std::optional<QString>;

// A field value as bytes that someone else holds (a CSV reader's buffer, an
// SQLite row) and that stay valid until that holder moves on.
struct RawValue {
    const char* data = nullptr;
    qsizetype size = 0;
    bool null = true;        // no value (NULL), as opposed to the empty text
    qsizetype codePoints = 0; // characters, counted as the editor counts them

    QByteArrayView bytes() const { return {data, size}; }
};

// The thirteen values of one record, in store::fieldNames() order.
using RawRecord = std::array<RawValue, store::kFieldCount>;

// What a pass over UTF-8 bytes found.
struct Utf8Scan {
    bool valid = true;        // well-formed: no overlong forms, no surrogates, nothing above U+10FFFF
    bool nul = false;         // holds a NUL character
    qsizetype codePoints = 0; // characters as store::charCount counts them (meaningful when valid)
};
Utf8Scan scanUtf8(const char* data, qsizetype size);

// The values as text, for messages and for the data-model check.
QList<Value> decoded(const RawRecord& record);

} // namespace quizdb
