// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/readerprocess.h"

#include "store/store.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace jet {

namespace {

// The variables by which libmdb looks elsewhere for the file, converts text
// otherwise, or switches on its debugging output.
constexpr const char* kLeftOut[] = {"MDBPATH=", "MDBICONV=", "MDB_ICONV=", "MDB_JET3_CHARSET=", "MDBOPTS="};

// The standard error kept for messages; the rest is read and dropped.
constexpr qsizetype kMaxErrors = 16 * 1024;

bool leftOut(const char* entry)
{
    for (const char* name : kLeftOut)
        if (std::strncmp(entry, name, std::strlen(name)) == 0)
            return true;
    return false;
}

void closeQuietly(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ReaderProcess::ReaderProcess(const QString& program, const QStringList& arguments, std::chrono::milliseconds time,
                             qint64 addressSpace)
    : m_deadline(std::chrono::steady_clock::now() + time)
{
    // Everything the child needs is made before fork(): after it, the child
    // only calls what is safe there, up to execve().
    std::vector<std::string> strings;
    strings.push_back(QFile::encodeName(program).toStdString());
    for (const QString& argument : arguments)
        strings.push_back(argument.toUtf8().toStdString());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        if (!leftOut(*e))
            envp.push_back(*e);
    envp.push_back(nullptr);

    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        throw store::Error(QStringLiteral("Das Leseprogramm für Access-Dateien lässt sich nicht starten: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (pipe2(err, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(out[0]);
        ::close(out[1]);
        throw store::Error(QStringLiteral("Das Leseprogramm für Access-Dateien lässt sich nicht starten: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(error))));
    }
    // A pipe that holds a MiB lets the reader read on while its records
    // are written, instead of waiting for every 64 KiB to be taken.
    fcntl(out[0], F_SETPIPE_SZ, 1 << 20);
    const rlim_t space = rlim_t(addressSpace);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time).count();
    m_pid = fork();
    if (m_pid == 0) {
        const int nothing = ::open("/dev/null", O_RDONLY);
        if (nothing < 0 || dup2(nothing, STDIN_FILENO) < 0 || dup2(out[1], STDOUT_FILENO) < 0 ||
            dup2(err[1], STDERR_FILENO) < 0)
            _exit(127);
        close_range(3, ~0u, 0);
        const rlimit memory{space, space};
        const rlimit cpu{rlim_t(seconds + 1), rlim_t(seconds + 2)};
        const rlimit core{0, 0};
        if (setrlimit(RLIMIT_AS, &memory) != 0 || setrlimit(RLIMIT_CPU, &cpu) != 0 || setrlimit(RLIMIT_CORE, &core) != 0)
            _exit(127);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    const int error = errno;
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (m_pid < 0) {
        closeQuietly(m_out);
        closeQuietly(m_err);
        throw store::Error(QStringLiteral("Das Leseprogramm für Access-Dateien lässt sich nicht starten: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(error))));
    }
}

ReaderProcess::~ReaderProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    closeQuietly(m_out);
    closeQuietly(m_err);
}

void ReaderProcess::kill()
{
    m_timedOut = true;
    ::kill(m_pid, SIGKILL);
    closeQuietly(m_out);
}

void ReaderProcess::readErrors()
{
    char buffer[4096];
    const ssize_t n = ::read(m_err, buffer, sizeof buffer);
    if (n > 0) {
        const qsizetype room = kMaxErrors - m_errors.size();
        m_errors.append(buffer, std::min<qsizetype>(n, room));
        m_errorsCut = m_errorsCut || n > room;
    } else if (n == 0 || errno != EINTR) {
        closeQuietly(m_err);
    }
}

bool ReaderProcess::read(QByteArray& into)
{
    while (m_out >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill();
            return false;
        }
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        const int ready = poll(fds, m_err >= 0 ? 2 : 1, int(std::min<qint64>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) {
            kill();
            return false;
        }
        if (m_err >= 0 && fds[1].revents)
            readErrors();
        if (!fds[0].revents)
            continue;
        const qsizetype had = into.size();
        into.resize(had + 256 * 1024);
        const ssize_t n = ::read(m_out, into.data() + had, 256 * 1024);
        into.resize(had + std::max<ssize_t>(n, 0));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            closeQuietly(m_out);
    }
    return false;
}

ReaderProcess::Ending ReaderProcess::finish()
{
    // Its standard error up to its end, within the deadline.
    int status = 0;
    pid_t done = 0;
    while (!m_timedOut) {
        done = waitpid(m_pid, &status, WNOHANG);
        if (done != 0 && !(done < 0 && errno == EINTR))
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill();
            break;
        }
        const int wait = int(std::min<qint64>(left.count(), 20));
        pollfd fd{m_err, POLLIN, 0};
        if (m_err >= 0 && poll(&fd, 1, wait) > 0)
            readErrors();
        else if (m_err < 0)
            ::usleep(useconds_t(wait) * 1000);
    }
    if (m_timedOut || done <= 0)
        while ((done = waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
        }
    while (m_err >= 0)
        readErrors();
    m_pid = -1;
    Ending ending;
    ending.timedOut = m_timedOut;
    if (done > 0 && WIFEXITED(status))
        ending.exitCode = WEXITSTATUS(status);
    else if (done > 0 && WIFSIGNALED(status))
        ending.signal = WTERMSIG(status);
    return ending;
}

} // namespace jet
