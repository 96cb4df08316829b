// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The words for SQLite's failures: what a result code means to the user, and
// the messages of failing to read or to write a question file.
#include "store/sqliteerror.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

namespace store::sqlite {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString maxValueText()
{
    static_assert(kMaxValueBytes % (1 << 20) == 0, "the limit is named in whole MiB");
    return QStringLiteral("%1 MiB").arg(kMaxValueBytes >> 20);
}

namespace {

int primary(int code)
{
    return code & 0xff;
}

bool isLockCode(int code)
{
    return primary(code) == SQLITE_BUSY || primary(code) == SQLITE_LOCKED;
}

} // namespace

bool Error::isLock() const
{
    return isLockCode(m_code);
}
bool Error::isTooBig() const
{
    return primary(m_code) == SQLITE_TOOBIG;
}
bool Error::isFull() const
{
    return primary(m_code) == SQLITE_FULL;
}
bool Error::isDamaged() const
{
    return primary(m_code) == SQLITE_CORRUPT || primary(m_code) == SQLITE_NOTADB;
}
bool Error::isReadOnly() const
{
    return primary(m_code) == SQLITE_READONLY;
}
bool Error::isCantOpen() const
{
    return primary(m_code) == SQLITE_CANTOPEN;
}
bool Error::isPlain() const
{
    return primary(m_code) == SQLITE_ERROR;
}
bool Error::isNoMemory() const
{
    return primary(m_code) == SQLITE_NOMEM;
}
QString describe(int rc, const QString& own)
{
    // The causes that share a primary code with a more common one.
    switch (rc) {
    case SQLITE_READONLY_DBMOVED:
        return QStringLiteral("die Datei wurde inzwischen verschoben, gelöscht oder durch eine andere ersetzt; bitte "
                              "das Fenster schließen und wieder öffnen");
    case SQLITE_READONLY_ROLLBACK:
        return QStringLiteral("eine unterbrochene Änderung (die Datei „-journal“ daneben) muss erst zurückgenommen "
                              "werden, und dafür fehlt das Schreibrecht auf die Datei oder ihren Ordner");
    default:
        break;
    }
    if (own.startsWith(QLatin1String("no such collation sequence")))
        return QStringLiteral("die Datei verlangt eine Sortierfolge, die das Quiz nicht kennt (%1)")
            .arg(own.section(QLatin1Char(':'), 1).trimmed());
    switch (primary(rc)) {
    case SQLITE_INTERRUPT:
        return QStringLiteral("ein Arbeitsschritt hätte länger als eine Sekunde gerechnet und wurde abgebrochen; die "
                              "Datei verlangt aufwendige Berechnungen, etwa in Prüfregeln (CHECK) oder "
                              "Indexausdrücken");
    case SQLITE_NOMEM:
        return QStringLiteral("nicht genug Arbeitsspeicher");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("die Datei wird gerade von einem anderen Programm benutzt und ist gesperrt");
    case SQLITE_READONLY:
        return QStringLiteral("die Datei ist schreibgeschützt");
    case SQLITE_FULL:
        return QStringLiteral("der Datenträger ist voll");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("die Datei ist beschädigt oder keine Fragendatei");
    case SQLITE_IOERR:
        return QStringLiteral("Lese- oder Schreibfehler des Datenträgers");
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("kein Zugriff auf die Datei");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("der Wert wurde von der Datenbank abgelehnt");
    case SQLITE_TOOBIG:
        return QStringLiteral("ein Wert ist größer als %1").arg(maxValueText());
    default:
        break;
    }
    return own.isEmpty() ? QString::fromUtf8(sqlite3_errstr(rc)) : own;
}

namespace {

// describe() for the file at `path`: SQLite cannot open a journal that is a
// symbolic link, and says no more than that it cannot open a file.
QString describeAt(const QString& path, int rc, const QString& own)
{
    if (const QString link = linkedJournal(path); primary(rc) == SQLITE_CANTOPEN && !link.isEmpty())
        return QStringLiteral("neben ihr liegt „%1“ als symbolische Verknüpfung, und einer solchen folgt "
                              "SQLite nicht; bitte die Verknüpfung entfernen")
            .arg(shownPath(link));
    return describe(rc, own);
}

} // namespace

QString linkedJournal(const QString& path)
{
    for (const QString& side : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFileInfo(path + side).isSymLink())
            return path + side;
    }
    return QString();
}

Error readError(const QString& path, int rc, const QString& own)
{
    QString message = QStringLiteral("Die Fragendatei „%1“ kann nicht gelesen werden: %2.").arg(shownPath(path), describeAt(path, rc, own));
    if (isLockCode(rc))
        message += QStringLiteral(" Bitte das andere Programm schließen und es erneut versuchen.");
    return Error(message, rc, own);
}

Error writeError(const QString& path, int rc, const QString& own)
{
    // A file moved, deleted or replaced since it was opened is no longer
    // where it was: SQLite refuses to write it, though it may be writable.
    if (primary(rc) == SQLITE_READONLY && rc != SQLITE_READONLY_DBMOVED)
        return readOnlyError(path);
    if (isLockCode(rc))
        return Error(QStringLiteral("Die Fragendatei „%1“ ist von einem anderen Programm gesperrt; die Änderung "
                                    "wurde nicht gespeichert.")
                         .arg(shownPath(path)),
                     rc);
    return Error(QStringLiteral("Die Änderung konnte nicht in die Fragendatei „%1“ geschrieben werden (%2); es "
                                "wurde nichts gespeichert.")
                     .arg(shownPath(path), describeAt(path, rc, own)),
                 rc, own);
}

Error damagedError(const QString& path)
{
    return readError(path, SQLITE_CORRUPT);
}

Error readOnlyError(const QString& path)
{
    return Error(QStringLiteral("Die Fragendatei „%1“ ist schreibgeschützt; die Änderung wurde nicht gespeichert.")
                     .arg(shownPath(path)),
                 SQLITE_READONLY);
}

} // namespace store::sqlite
