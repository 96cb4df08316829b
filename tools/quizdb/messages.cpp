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
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

Error writeFailure(const QIODevice& out, int error)
{
    const QString why = error ? writeProblem(error) : out.errorString();
    const auto* file = qobject_cast<const QFileDevice*>(&out);
    if (file && !file->fileName().isEmpty())
        return Error(QStringLiteral("Die Ausgabedatei %1 lässt sich nicht schreiben: %2.").arg(quoted(file->fileName()), why));
    return Error(QStringLiteral("Die Ausgabe lässt sich nicht schreiben: %1.").arg(why));
}

QString counted(qint64 count, const QString& one, const QString& many)
{
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace quizdb
