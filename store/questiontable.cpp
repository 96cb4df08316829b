// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The judgement of a question file's table and the words for its faults.
#include "store/questiontable.h"

namespace store {

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
    sqlite::TableShape shape;
    try {
        shape = sqlite::tableShape(file, kTable);
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
