// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question table: its name, its thirteen fields and their limits, and the
// SQL that creates it.
#include "store/sqlite.h"

#include <QHash>

namespace store {

const QStringList& fieldNames()
{
    static const QStringList names = {
        field::Nummer,    field::Frage,     field::AntwortA,
        field::AntwortB,  field::AntwortC,  field::AntwortD,
        field::Richtig,   field::Fraglich,  field::PublikumA,
        field::PublikumB, field::PublikumC, field::PublikumD,
        field::JokerTV,
    };
    return names;
}

int fieldIndex(const QString& name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        const QStringList& names = fieldNames();
        for (int i = 0; i < names.size(); ++i)
            h.insert(names.at(i), i);
        return h;
    }();
    return index.value(name, -1);
}

int fieldLimit(const QString& field)
{
    static const QHash<QString, int> limits = {
        {field::Nummer, 2},     {field::Frage, 110},
        {field::AntwortA, 40},  {field::AntwortB, 40},
        {field::AntwortC, 40},  {field::AntwortD, 40},
        {field::Richtig, 1},    {field::Fraglich, 1},
        {field::PublikumA, 2},  {field::PublikumB, 2},
        {field::PublikumC, 2},  {field::PublikumD, 2},
        {field::JokerTV, 20},
    };
    return limits.value(field, 0);
}

QString createTableSql()
{
    // "Satz" is the record order: AUTOINCREMENT never hands out a key twice, so a
    // record appended after the last one was deleted still comes last, and a
    // cursor standing on a deleted record never finds a stranger in its place.
    QString sql = QStringLiteral("CREATE TABLE %1 (\"Satz\" INTEGER PRIMARY KEY AUTOINCREMENT").arg(sqlite::identifier(kTable));
    for (const QString& name : fieldNames())
        sql += QStringLiteral(", %1 TEXT").arg(sqlite::identifier(name));
    return sql + QStringLiteral(")");
}

} // namespace store
