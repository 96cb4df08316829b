// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// create: a new question file from a CSV or the question table of an Access
// file, made under a name of its own and put in place only when it is whole.
#include "tools/quizdb/commands.h"

#include "tools/quizdb/accessrecords.h"
#include "tools/quizdb/call.h"
#include "tools/quizdb/newfile.h"
#include "tools/quizdb/recordwriter.h"

#include <QFileInfo>
#include <optional>

namespace quizdb {

int createFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; %2 create legt nur neue Fragendateien an und überschreibt "
                                   "nichts. Zum Anhängen an eine vorhandene Fragendatei: %2 import.")
                        .arg(quoted(file), programName()));
    // An Access file is recognised by its first bytes, whatever its name.
    const bool access = isAccessSource(csv);
    std::optional<CsvSource> source;
    if (!access)
        source.emplace(csv, options);

    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen: das Verzeichnis %2 gibt es nicht.")
                        .arg(quoted(file), quoted(folder.filePath())));
    // The file is written under a name of its own and comes into place only
    // when it is whole, and only where no file has appeared in the meantime.
    NewFile made(file);
    int written = 0;
    {
        sqlite::File db(made.path(), sqlite::File::Threads::One, file);
        sqlite::Transaction transaction(db);
        db.execute(store::createTableSql());
        written = access ? writeAccessRecords(db, csv, options) : source->writeInto(db);
        if (access && written == 0)
            throw Error(QStringLiteral("Die Tabelle %1 der Access-Datei %2 enthält keine Frage; eine Fragendatei ohne "
                                       "Fragen kann das Spiel nicht spielen. Nichts wurde geschrieben.")
                            .arg(quoted(store::kTable), quoted(csv)));
        if (!access && written == 0)
            throw Error(QStringLiteral("%1 enthält keine Frage, nur die Kopfzeile; eine Fragendatei ohne Fragen kann "
                                       "das Spiel nicht spielen. Nichts wurde geschrieben.")
                            .arg(source->subject()));
        transaction.commit();
    }
    made.place();
    return written;
}

int runCreate(const Call& call)
{
    const int n = createFile(call.files[0], call.files[1], {call.rules, &call.progress, noticeTo(call), call.dialect, &call.howRead});
    return reportChange(call, QStringLiteral("Fragendatei %1 mit %2 angelegt.")
                                  .arg(quoted(call.files[0]), counted(n, QStringLiteral("Frage"), QStringLiteral("Fragen"))));
}

} // namespace quizdb
