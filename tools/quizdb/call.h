// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One call of a command from the command line: its files and options, where
// its output goes, and the way every command speaks there.
#pragma once

#include "tools/quizdb/csvdialect.h"
#include "tools/quizdb/model.h"
#include "tools/quizdb/progress.h"

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>

namespace quizdb {

struct Call {
    QStringList files;
    Rules rules = Rules::Model;
    CsvDialect dialect; // create, import: how the CSV is written
    QString output; // export -o; empty: standard output
    QIODevice& out;
    QIODevice& err;
    bool outIsTerminal;
    Progress& progress;
    bool& changed; // the question file is changed: no failure after this may say "nothing changed"
    QString& howRead; // create, import: how the CSV was read, said on standard error
};

// Writes `text` as UTF-8.
void say(QIODevice& device, const QString& text);

// Writes `bytes` and hands them on to the system; false (errno set) when
// either fails.
bool written(QIODevice& device, const QByteArray& bytes);

// Says how create or import read its CSV, once, on standard error.
void sayHowRead(const Call& call);

// Says what create or import changed. From here on the file is changed,
// whatever fails: a report that cannot be written is said on standard error,
// and the exit status stays 0, for the work is done (a script that took a
// failure for "nothing changed" would import everything twice).
int reportChange(const Call& call, const QString& done);

// What the reader of an Access file noticed, said on standard error as a
// "Hinweis".
std::function<void(const QString&)> noticeTo(const Call& call);

// The commands as the command line runs them; each returns its exit status.
int runCreate(const Call& call);
int runImport(const Call& call);
int runExport(const Call& call);
int runCheck(const Call& call);
int runTemplate(const Call& call);

// The CSV that vorlage writes.
QByteArray questionTemplate();

} // namespace quizdb
