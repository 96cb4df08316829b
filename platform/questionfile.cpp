// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program directory and where the question file is found: beside the
// executable as always, or the player's own copy in the per-user data folder,
// made on the first start from the default an installed game ships.
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {
namespace {

QString g_programDirectory; // set by tests only
QString g_commandLineFile;

QString joined(const QString& dir, const QString& name)
{
    return QDir::toNativeSeparators(dir + QLatin1Char('/') + name);
}

// The player's own data folder, ~/.local/share/plomberg-quiz by default: the
// game's QStandardPaths::AppDataLocation, named here so that it does not depend
// on the application name of whoever asks.
QString userDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/" QUIZ_PROGRAM);
}

// The folders with an installed game's read-only data: first the one that
// belongs to this executable (<prefix>/bin/../share/plomberg-quiz, so that a
// moved or staged install finds its own), then those in the system's data
// directories (XDG_DATA_DIRS).
QStringList installedDataDirectories()
{
    QStringList dirs{QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" QUIZ_DATA_FROM_BIN))};
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& base : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (base != own)
            dirs << base + QStringLiteral("/" QUIZ_PROGRAM);
    }
    dirs.removeDuplicates();
    return dirs;
}

// Copies the installed default to `to` as a new file of the player's, with the
// player's usual permissions, and in one step: an interrupted copy leaves no
// half file behind. The default itself is only read.
bool copyDefault(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(to).absolutePath()))
        return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return false;
        }
    }
    return target.commit();
}

} // namespace

QString programDirectory()
{
    return g_programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : g_programDirectory;
}

void setProgramDirectory(const QString& dir) { g_programDirectory = dir; }

QString programFile(const QString& name) { return joined(programDirectory(), name); }

void useQuestionFile(const QString& path)
{
    g_commandLineFile = path.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString questionFile(const QString& name)
{
    if (!g_programDirectory.isEmpty())
        return programFile(name);
    if (!g_commandLineFile.isEmpty())
        return g_commandLineFile;

    const QString beside = joined(QCoreApplication::applicationDirPath(), name);
    if (QFileInfo::exists(beside))
        return beside;

    const QString own = joined(userDataDirectory(), name);
    if (QFileInfo::exists(own))
        return own;
    bool installed = false;
    for (const QString& dir : installedDataDirectories()) {
        if (!QFileInfo(dir).isDir())
            continue;
        installed = true;
        const QString shipped = dir + QLatin1Char('/') + name;
        if (QFileInfo(shipped).isFile() && copyDefault(shipped, own))
            return own;
    }
    // Found nowhere: where the player's file belongs.
    return installed ? own : beside;
}

} // namespace platform
