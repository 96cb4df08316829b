// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quizdb/fromaccess.h"

#include "access/accessfile.h"
#include "tools/quizdb/accessrecords.h"
#include "tools/quizdb/newfile.h"
#include "tools/quizdb/recordwriter.h"

#include <QFileInfo>

namespace quizdb {

int questionFileFromAccess(const QString& accessFile, const QString& target)
{
    if (!isAccessSource(accessFile))
        throw Error(QStringLiteral("%1 ist keine Access-Datei.").arg(quoted(accessFile)));
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; die Kopie der Access-Datei %2 wird nur neu angelegt.")
                        .arg(quoted(target), quoted(accessFile)));
    NewFile made(target);
    int written = 0;
    {
        sqlite::File db(made.path(), sqlite::File::Threads::One, target);
        sqlite::Transaction transaction(db);
        db.execute(store::createTableSql());
        Inserter inserter(db);
        forEachAccessRecord(
            accessFile,
            [&](qint64, RawRecord& record) {
                inserter.insert(record);
                ++written;
            },
            {});
        if (written == 0)
            throw Error(QStringLiteral("Die Tabelle %1 der Access-Datei %2 enthält keine Frage.")
                            .arg(quoted(store::kTable), quoted(accessFile)));
        transaction.commit();
    }
    made.place();
    return written;
}

} // namespace quizdb
