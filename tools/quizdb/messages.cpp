// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The quoting of names and values in quizdb's messages.
#include "tools/quizdb/messages.h"

#include <QFileDevice>
#include <cerrno>
#include <cstring>

#ifndef QUIZDB_PROGRAM
#error "QUIZDB_PROGRAM (the installed tool's name) must be defined by the build"
#endif

namespace quizdb {

namespace {
QString& name()
{
    static QString current = QStringLiteral(QUIZDB_PROGRAM);
    return current;
}
} // namespace

QString programName()
{
    return name();
}

void setProgramName(const QString& program)
{
    name() = program.isEmpty() ? QStringLiteral(QUIZDB_PROGRAM) : program;
}

QString quoted(const QString& text)
{
    return QStringLiteral("„%1“").arg(text);
}

QString shown(const QString& value)
{
    QString t = value.size() > 30 ? value.left(30) + QStringLiteral("…") : value;
    t.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return quoted(t);
}

QString writeProblem(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("der Datenträger ist voll");
    case EDQUOT:
        return QStringLiteral("der zugeteilte Speicherplatz (Quota) ist aufgebraucht");
    case EFBIG:
        return QStringLiteral("die Datei darf nicht größer werden");
    case EPIPE:
        return QStringLiteral("das empfangende Programm hat die Verbindung geschlossen");
    case EBADF:
        return QStringLiteral("die Ausgabe ist geschlossen");
    case EIO:
        return QStringLiteral("Lese- oder Schreibfehler des Datenträgers");
    case EACCES:
    case EPERM:
        return QStringLiteral("kein Schreibrecht");
    case EROFS:
        return QStringLiteral("der Datenträger ist schreibgeschützt");
    default:
        // No words of the system's own: they may be English.
        return QStringLiteral("Fehler %1 des Betriebssystems (%2)")
            .arg(QString::number(error), QLatin1StringView(strerrorname_np(error) ? strerrorname_np(error) : "?"));
    }
}

QString openProblem(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("einen Teil des Pfades gibt es nicht");
    case ENOTDIR:
        return QStringLiteral("ein Teil des Pfades ist kein Verzeichnis");
    case EISDIR:
        return QStringLiteral("das ist ein Verzeichnis");
    case ENAMETOOLONG:
        return QStringLiteral("der Name ist zu lang");
    case ELOOP:
        return QStringLiteral("zu viele symbolische Verknüpfungen hintereinander");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("das Gerät ist nicht vorhanden oder nicht bereit");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("zu viele offene Dateien");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("die Datei ist gerade in Benutzung");
    case EACCES:
    case EPERM:
        return QStringLiteral("kein Zugriffsrecht");
    default:
        return writeProblem(error);
    }
}

Error writeFailure(const QIODevice& out, int error)
{
    // Without an errno, the device's own words would be English.
    const QString why = error ? writeProblem(error) : QStringLiteral("nicht alles kam dort an");
    const auto* file = qobject_cast<const QFileDevice*>(&out);
    const QString name = !out.objectName().isEmpty() ? out.objectName() : file ? file->fileName() : QString();
    if (!name.isEmpty())
        return Error(QStringLiteral("Die Ausgabedatei %1 lässt sich nicht schreiben: %2.").arg(quoted(name), why));
    return Error(QStringLiteral("Die Ausgabe lässt sich nicht schreiben: %1.").arg(why));
}

QString counted(qint64 count, const QString& one, const QString& many)
{
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace quizdb
