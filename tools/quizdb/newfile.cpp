// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The unfinished file of create and its removal on every way out.
#include "tools/quizdb/newfile.h"

#include "tools/quizdb/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quizdb {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The unfinished file and its journal as plain bytes, so that the signal
// handler needs nothing but unlink(). Empty when there is none.
char g_file[PATH_MAX + 1];
char g_journal[PATH_MAX + 16];
struct sigaction g_before[std::size(kEndingSignals)];

extern "C" void removeUnfinished(int signal)
{
    if (g_file[0]) {
        unlink(g_file);
        unlink(g_journal);
    }
    // Then end as the signal ends a program, with its exit status.
    std::signal(signal, SIG_DFL);
    raise(signal);
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : kEndingSignals)
        sigaddset(&set, s);
    return set;
}

// A signal that arrives while the name is being set waits until it is set.
class SignalsHeld {
public:
    SignalsHeld()
    {
        const sigset_t set = endingSignals();
        sigprocmask(SIG_BLOCK, &set, &m_before);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &m_before, nullptr); }

private:
    sigset_t m_before;
};

// Renames `from` to `to` unless `to` is there; false with errno set otherwise.
bool renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without it: a hard link is made only where nothing is.
    if (link(from.constData(), to.constData()) != 0)
        return false;
    unlink(from.constData());
    return true;
}

// The rename is kept on disk, too, before create reports it.
void syncFolder(const QString& folder)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

NewFile::NewFile(const QString& target) : m_target(target)
{
    const QByteArray name = QFile::encodeName(target);
    if (name.size() > PATH_MAX - 40)
        throw Error(QStringLiteral("Der Name der Fragendatei %1 ist zu lang.").arg(quoted(target)));
    const SignalsHeld held;
    QTemporaryFile made(target + QStringLiteral(".unfertig-XXXXXX"));
    made.setAutoRemove(false);
    if (!made.open())
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen (%2).").arg(quoted(target), made.errorString()));
    // The rights of any new file, not the private ones of a temporary file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(made.handle(), 0666 & ~mask);
    made.close();
    QByteArray path;
    try {
        m_path = made.fileName();
        path = QFile::encodeName(m_path);
    } catch (...) {
        made.remove(); // out of memory: no destructor will remove it
        throw;
    }
    std::memcpy(g_file, path.constData(), size_t(path.size()) + 1);
    std::memcpy(g_journal, path.constData(), size_t(path.size()));
    std::memcpy(g_journal + path.size(), "-journal", sizeof "-journal");
    struct sigaction remove {};
    remove.sa_handler = removeUnfinished;
    remove.sa_mask = endingSignals();
    for (size_t i = 0; i < std::size(kEndingSignals); ++i) {
        sigaction(kEndingSignals[i], nullptr, &g_before[i]);
        // A signal ignored from the start (nohup, a background job) stays ignored.
        if (g_before[i].sa_handler != SIG_IGN)
            sigaction(kEndingSignals[i], &remove, nullptr);
    }
}

NewFile::~NewFile()
{
    const SignalsHeld held;
    if (!m_placed) {
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral("-journal"));
    }
    forget();
}

void NewFile::forget()
{
    g_file[0] = '\0';
    for (size_t i = 0; i < std::size(kEndingSignals); ++i)
        sigaction(kEndingSignals[i], &g_before[i], nullptr);
}

void NewFile::place()
{
    const SignalsHeld held;
    if (!renameNoReplace(QFile::encodeName(m_path), QFile::encodeName(m_target))) {
        if (errno == EEXIST)
            throw Error(QStringLiteral("%1 gibt es inzwischen; ein anderes Programm hat die Datei angelegt, während %2 "
                                       "las. Sie bleibt, wie sie ist; nichts wurde geschrieben.")
                            .arg(quoted(m_target), programName()));
        throw Error(QStringLiteral("Die fertige Fragendatei lässt sich nicht in %1 umbenennen (%2); nichts wurde "
                                   "geschrieben.")
                        .arg(quoted(m_target), QString::fromLocal8Bit(std::strerror(errno))));
    }
    m_placed = true;
    g_file[0] = '\0';
    syncFolder(QFileInfo(m_target).absolutePath());
}

} // namespace quizdb
