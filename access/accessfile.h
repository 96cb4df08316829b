// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Question tables in Microsoft Access files (Jet 3, Jet 4, ACE), read but
// never written. The reading runs in a program of its own, the Access reader
// (access/reader/), under a time and a memory limit, because libmdb can loop
// without end on a damaged file; this side starts it, reads what it sends and
// words every refusal. Nothing here writes anything.
#pragma once

#include "store/store.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <functional>
#include <span>

namespace jet {

// True when the file at `path` begins as an Access database does (whatever
// its name); false for anything else, or when it cannot be read.
bool isAccessFile(const QString& path);

// "Access 97 (Jet 3)", "Access 2000 bis 2003 (Jet 4)", "Access 2007 oder neuer
// (ACE)"; empty when `path` is no Access file.
QString formatName(const QString& path);

// One value as the reader sent it: UTF-8 bytes that stay valid until the
// next record, or no value.
struct Value {
    const char* data = nullptr;
    qsizetype size = 0;
    bool null = true;

    QByteArrayView bytes() const { return {data, size}; }
};
// A record's values in store::fieldNames() order.
using Record = std::array<Value, store::kFieldCount>;

// What the reader may use at most.
struct Limits {
    std::chrono::milliseconds time{0}; // 0: by the file's size (see limitsFor)
    qint64 addressSpace = 0;            // bytes; 0: the default
};

struct ReadResult {
    qint64 records = 0;
    QStringList warnings; // what the reader or libmdb noticed and read past
};

// A field to read: by its name, as text, or also as a number's decimal text.
struct Field {
    QString name;
    bool numberAllowed = false;
};

// Reads the table `table` of the Access file `path` in table order and calls
// `each` with the values of `fields` (in that order) of every record.
ReadResult readTable(const QString& path, const QString& table, const QList<Field>& fields,
                     const std::function<void(std::span<const Value>)>& each, const Limits& limits = {});

// Reads the question table of the Access file `path` in table order and
// calls `each` with every record. Throws store::Error naming the cause when
// the reader refuses, fails, runs out of time or memory, or reads fewer
// records than the table counts; whatever `each` throws ends the reading
// (the reader is stopped) and comes through unchanged.
ReadResult readQuestionTable(const QString& path, const std::function<void(const Record&)>& each,
                             const Limits& limits = {});

// The reader program: beside the running program (the build folder), else
// in the installed program's library folder. Tests name it themselves.
QString readerProgram();
void setReaderProgram(const QString& path);

} // namespace jet
