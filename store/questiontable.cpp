// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a table's shape from the schema, the judgement of the question
// table, and the words for its faults.
#include "store/questiontable.h"

#include <limits>

namespace store {

TableShape tableShape(sqlite::File& file, const QString& table)
{
    TableShape shape;
    {
        sqlite::Statement list(file, QStringLiteral("SELECT type, wr FROM pragma_table_list WHERE schema='main' "
                                                    "AND name=?1 COLLATE NOCASE"));
        list.bind(1, table);
        if (!list.step())
            return shape;
        shape.kind = list.text(0);
        shape.withoutRowid = list.integer(1) != 0;
    }
    sqlite::Statement columns(file, QStringLiteral("SELECT name, hidden FROM pragma_table_xinfo(?1, 'main')"));
    columns.bind(1, table);
    while (columns.step()) {
        const QString name = columns.text(0);
        shape.columns << name;
        if (columns.integer(1) != 0)
            shape.computed << name;
    }
    // A column named like a row key alias hides it; the next alias still reaches the key.
    for (const QString& alias : {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        if (!shape.columns.contains(alias, Qt::CaseInsensitive)) {
            shape.rowKey = alias;
            break;
        }
    }
    return shape;
}

bool keysUsedUp(sqlite::File& file, const QString& table)
{
    constexpr qint64 kHighest = std::numeric_limits<qint64>::max();
    // Only asked after a failed insert: a query that fails counts 0.
    const auto highest = [&file](const QString& sql, const QString& parameter) -> qint64 {
        try {
            sqlite::Statement st(file, sql);
            if (!parameter.isEmpty())
                st.bind(1, parameter);
            return st.step() ? st.integer(0) : 0;
        } catch (const sqlite::Error&) {
            return 0;
        }
    };
    TableShape shape;
    try {
        shape = tableShape(file, table);
    } catch (const sqlite::Error&) {
        return false;
    }
    if (shape.rowKey.isEmpty())
        return false;
    // A file without AUTOINCREMENT has no sqlite_sequence: its query fails and counts 0.
    const QString maxKey = QStringLiteral("SELECT max(%1) FROM %2").arg(shape.rowKey, sqlite::identifier(table));
    return highest(maxKey, QString()) == kHighest
        || highest(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?1 COLLATE NOCASE"), table) == kHighest;
}

void throwSchemaError(const sqlite::File& file, const sqlite::Error& failure)
{
    const QString shown = sqlite::shownPath(file.path());
    if (failure.isDamaged())
        throw Error(QStringLiteral("„%1“ ist keine gültige Fragendatei: die Datei ist beschädigt oder keine "
                                    "SQLite-Datenbank.")
                         .arg(shown));
    if (failure.isLock() || !failure.isPlain())
        throw failure;
    throw Error(QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“ ist nicht lesbar: %3.")
                     .arg(kTable, shown, failure.sqliteText()));
}

QString checkedRowKey(sqlite::File& file)
{
    TableShape shape;
    try {
        shape = tableShape(file, kTable);
    } catch (const sqlite::Error& e) {
        throwSchemaError(file, e);
    }
    const QString shown = sqlite::shownPath(file.path());
    if (shape.kind != QLatin1String("table"))
        throw Error(QStringLiteral("In der Fragendatei „%1“ fehlt die Tabelle „%2“.").arg(shown, kTable));

    QStringList missing;
    QStringList computed;
    for (const QString& f : fieldNames()) {
        if (!shape.columns.contains(f, Qt::CaseInsensitive))
            missing << f;
        else if (shape.computed.contains(f, Qt::CaseInsensitive))
            computed << f;
    }
    const QString table = QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“").arg(kTable, shown);
    if (!missing.isEmpty())
        throw Error(QStringLiteral("In der Tabelle „%1“ der Fragendatei „%2“ fehlen Felder: %3.")
                        .arg(kTable, shown, missing.join(QStringLiteral(", "))));
    if (!computed.isEmpty())
        throw Error(QStringLiteral("%1 speichert Felder nicht, sondern berechnet sie: %2. Solche Felder kann das "
                                   "Quiz weder lesen noch ändern.")
                        .arg(table, computed.join(QStringLiteral(", "))));
    if (shape.withoutRowid)
        throw Error(QStringLiteral("%1 hat keine Satznummern (WITHOUT ROWID); ihre Datensätze kann das Quiz nicht "
                                   "sicher unterscheiden.")
                        .arg(table));
    if (shape.rowKey.isEmpty())
        throw Error(QStringLiteral("%1 hat eigene Spalten „rowid“, „_rowid_“ und „oid“, die die Satznummer "
                                   "verdecken; ihre Datensätze kann das Quiz nicht sicher unterscheiden.")
                        .arg(table));
    return shape.rowKey;
}

Error emptyFileError(const QString& path)
{
    return Error(QStringLiteral("Die Fragendatei „%1“ ist leer (0 Byte) und enthält keine Fragen.")
                     .arg(sqlite::shownPath(path)));
}

Error noKeyLeft(const QString& path)
{
    return Error(QStringLiteral("Die Tabelle „%1“ der Fragendatei „%2“ hat keine freie Satznummer mehr: die "
                                "höchste mögliche ist schon vergeben. Es wurde nichts gespeichert; mit "
                                "„plomberg-quizdb export“ und „create“ wird die Datei neu nummeriert.")
                     .arg(kTable, sqlite::shownPath(path)));
}

} // namespace store
