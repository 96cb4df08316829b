// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Telling a regular file from the other things a path can name.
#include "store/filekind.h"

#include <QFile>
#include <sys/stat.h>

namespace store {

QString irregularKind(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("ein Verzeichnis");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("eine Gerätedatei");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("ein Socket");
    return QStringLiteral("keine gewöhnliche Datei");
}

} // namespace store
