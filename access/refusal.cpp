// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/refusal.h"

#include "store/store.h"

#include <QStringList>

namespace jet {

using protocol::Refusal;

QString quotedName(const QString& name)
{
    return QStringLiteral("„%1“").arg(name);
}

namespace {

QString fieldList()
{
    return store::fieldNames().join(QStringLiteral(", "));
}

} // namespace

QString refusalText(const QString& file, Refusal why, const QString& first, const QString& second)
{
    const QString name = quotedName(file);
    switch (why) {
    case Refusal::Usage:
        return QStringLiteral("Das Leseprogramm für Access-Dateien wurde falsch aufgerufen (%1).").arg(first);
    case Refusal::NotOpened:
        if (!first.isEmpty())
            return QStringLiteral("Die Access-Datei %1 lässt sich nicht öffnen: %2.").arg(name, first);
        return QStringLiteral("Die Datei %1 beginnt wie eine Access-Datei, lässt sich aber nicht als solche öffnen; "
                              "sie ist beschädigt.")
            .arg(name);
    case Refusal::Encrypted:
        return QStringLiteral("Die Access-Datei %1 im Format %2 ist verschlüsselt, meist weil sie ein Kennwort hat; "
                              "verschlüsselte Dateien lassen sich hier nicht lesen. Bitte die Datei in Access öffnen, "
                              "das Kennwort entfernen (Datei › Informationen › Datenbank entschlüsseln) und sie dann "
                              "noch einmal angeben.")
            .arg(name, first);
    case Refusal::Password:
        return QStringLiteral("Die Access-Datei %1 ist mit einem Datenbankkennwort geschützt; ein Kennwort lässt sich "
                              "hier nicht eingeben, und ohne es wird die Datei nicht gelesen. Bitte die Datei in Access "
                              "mit dem Kennwort öffnen, das Kennwort entfernen (Datei › Informationen › "
                              "Datenbankkennwort entfernen) und sie dann noch einmal angeben.")
            .arg(name);
    case Refusal::NoCatalog:
        return QStringLiteral("Das Verzeichnis der Tabellen in der Access-Datei %1 ist unlesbar; die Datei ist "
                              "beschädigt oder verschlüsselt.")
            .arg(name);
    case Refusal::NoTable:
        return QStringLiteral("Die Access-Datei %1 enthält keine Tabelle %2; %3.")
            .arg(name, quotedName(first),
                 second.isEmpty() ? QStringLiteral("sie enthält überhaupt keine eigene Tabelle")
                                  : QStringLiteral("ihre Tabellen heißen %1").arg(second));
    case Refusal::LinkedTable:
        return QStringLiteral("Die Tabelle %1 in der Access-Datei %2 ist nur eine Verknüpfung mit einer Tabelle in "
                              "einer anderen Datei; bitte die Datei angeben, in der die Tabelle selbst liegt.")
            .arg(quotedName(first), name);
    case Refusal::NoField:
        return QStringLiteral("Der Tabelle %1 in der Access-Datei %2 fehlt das Feld %3; eine Fragentabelle hat die "
                              "Felder %4.")
            .arg(quotedName(second), name, quotedName(first), fieldList());
    case Refusal::FieldType:
        return QStringLiteral("Das Feld %1 in der Access-Datei %2 hat den Datentyp %3; es muss Text oder Memo "
                              "sein%4.")
            .arg(quotedName(first), name, second,
                 first == QLatin1String("Nummer") || first.startsWith(QLatin1String("Publikum"))
                     ? QStringLiteral(" oder eine Zahl")
                     : QString());
    case Refusal::PageMissing:
        return QStringLiteral("Die Access-Datei %1 ist unvollständig: ihre Tabelle braucht Seite %2, die Datei hat "
                              "aber nur %3 Seiten. Wahrscheinlich wurde sie nicht ganz kopiert oder heruntergeladen.")
            .arg(name, first, second);
    case Refusal::DamagedPage:
        return QStringLiteral("Die Access-Datei %1 ist beschädigt: Seite %2 ist unlesbar (%3).").arg(name, first, second);
    case Refusal::DamagedRow:
        return QStringLiteral("Die Access-Datei %1 ist beschädigt: der Datensatz an Platz %2 der Seite %3 ist "
                              "unlesbar.")
            .arg(name, QString::number(second.toInt() + 1), first);
    case Refusal::DamagedValue:
        return QStringLiteral("Die Access-Datei %1 ist beschädigt: das Feld %2 in Satz %3 ist unlesbar.")
            .arg(name, quotedName(first), second);
    case Refusal::CodePage:
        return QStringLiteral("Die Access-Datei %1 ist in der Codepage %2 geschrieben, die dieses System nicht "
                              "umwandeln kann.")
            .arg(name, first);
    }
    return QStringLiteral("Das Leseprogramm für Access-Dateien lehnt die Datei %1 ab (Grund %2).")
        .arg(name, QString::number(int(why)));
}

} // namespace jet
