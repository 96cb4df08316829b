// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program directory and where the question file is found: beside the
// executable as always, or the player's own copy in the per-user data folder,
// made on the first start from the default an installed game ships.
#include "platform/questionfile.h"

#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {

QString g_programDirectory; // set by tests only

QString joined(const QString& dir, const QString& name)
{
    return QDir::toNativeSeparators(dir + QLatin1Char('/') + name);
}

// The user's home: $HOME, or where the system's user database says it is
// when HOME is unset or not an absolute path (Qt would take "/").
QString homeDirectory()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry ? QFile::decodeName(entry->pw_dir) : QString();
}

// The player's own data folder, ~/.local/share/plomberg-quiz by default, or
// under $XDG_DATA_HOME; a relative XDG_DATA_HOME is ignored, as the XDG base
// directory rules say (Qt 6.4 would take it relative to the working folder,
// and each folder the game is started from would get a copy of its own).
QString userDataDirectory()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = homeDirectory() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/" QUIZ_PROGRAM));
}

// The folders with an installed game's default questions: first the one that
// belongs to this executable (<prefix>/bin/../share/plomberg-quiz/default, so
// that a moved or staged install finds its own), then those in the system's
// data directories (XDG_DATA_DIRS, absolute ones only). Never the player's
// own folder: the default is only ever read.
QStringList installedDataDirectories()
{
    QStringList dirs{QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" QUIZ_DATA_FROM_BIN))};
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& base : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (base != own && QDir::isAbsolutePath(base))
            dirs << base + QStringLiteral("/" QUIZ_PROGRAM "/default");
    }
    dirs.removeDuplicates();
    dirs.removeAll(userDataDirectory());
    return dirs;
}

// Copies the installed default to `to` as a new file of the player's, with the
// player's usual permissions, and in one step: an interrupted copy leaves no
// half file behind. The default itself is only read.
bool copyDefault(const QString& from, const QString& to)
{
    const auto failed = [&](const QString& why) {
        reportToTerminal(QStringLiteral("Die mitgelieferte Fragendatei „%1“ konnte nicht nach „%2“ kopiert werden: %3")
                             .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), why));
        return false;
    };
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return failed(source.errorString());
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return failed(QStringLiteral("der Ordner kann nicht angelegt werden"));
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return failed(target.errorString());
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return failed(chunk.isEmpty() ? source.errorString() : target.errorString());
        }
    }
    return target.commit() || failed(target.errorString());
}

} // namespace

QString programDirectory()
{
    return g_programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : g_programDirectory;
}

void setProgramDirectory(const QString& dir) { g_programDirectory = dir; }

QString programFile(const QString& name) { return joined(programDirectory(), name); }

QString resolveQuestionFile(const QString& commandLineFile, const QString& name)
{
    if (!g_programDirectory.isEmpty())
        return programFile(name);
    if (!commandLineFile.isEmpty())
        return QDir::toNativeSeparators(QFileInfo(commandLineFile).absoluteFilePath());

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

QString questionSource(const QString& questionFile, const QString& name)
{
    for (const QString& dir : installedDataDirectories()) {
        const QString shipped = dir + QLatin1Char('/') + name;
        if (QFileInfo(shipped).isFile())
            return QDir::toNativeSeparators(shipped);
    }
    return QStringLiteral("„" QUIZDB_PROGRAM " create %1 CSV-DATEI“").arg(questionFile);
}

} // namespace platform
