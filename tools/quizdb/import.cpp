// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// import: the records of a CSV or of an Access file's question table appended
// to an existing question file in one transaction, all of them or none.
#include "tools/quizdb/commands.h"

#include "tools/quizdb/accessrecords.h"
#include "tools/quizdb/call.h"
#include "tools/quizdb/recordwriter.h"

#include <optional>

namespace quizdb {

int importFile(const QString& file, const QString& csv, const WriteOptions& options)
{
    // The CSV's header is read before the question file is opened; an Access
    // file is recognised by its first bytes.
    const bool access = isAccessSource(csv);
    std::optional<CsvSource> source;
    if (!access)
        source.emplace(csv, options);
    QString key;
    sqlite::File db = openQuestionFile(file, true, key);
    try {
        sqlite::Transaction transaction(db);
        // A save into a damaged file can destroy more of it.
        if (const QStringList damage = structureFindings(db, file); !damage.isEmpty())
            throw Error(damage.join(QLatin1Char('\n')) + QStringLiteral("\nIn eine beschädigte Fragendatei schreibt %1 "
                                                                       "nichts; nichts wurde geschrieben. ")
                                                                 .arg(programName()) +
                        damageRemedy(file));
        const int written = access ? writeAccessRecords(db, csv, options) : source->writeInto(db);
        transaction.commit();
        return written;
    } catch (const Error& e) {
        // A failed write (a full disk) can leave SQLite unable to roll back
        // in this connection: the old state then waits in the journal.
        db.close();
        if (!restore(file))
            throw Error(e.message() + QLatin1Char(' ') + pendingRestore(file));
        throw;
    }
}

int runImport(const Call& call)
{
    const int n = importFile(call.files[0], call.files[1], {call.rules, &call.progress, noticeTo(call), call.dialect, &call.howRead});
    return reportChange(call, QStringLiteral("%1 an %2 angehängt.")
                                  .arg(counted(n, QStringLiteral("Frage"), QStringLiteral("Fragen")), quoted(call.files[0])));
}

} // namespace quizdb
