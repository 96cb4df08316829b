// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the target of export -o and bringing the CSV there.
#include "tools/quizdb/csvoutput.h"

#include "tools/quizdb/messages.h"
#include "tools/quizdb/questionfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quizdb {

namespace {

enum class Kind { Absent, Regular, Stream, Other };

Kind kindOf(const QString& path, int* error = nullptr)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (error)
            *error = errno;
        return Kind::Absent;
    }
    if (S_ISREG(st.st_mode))
        return Kind::Regular;
    // A block device is a disk: CSV written over it would destroy its file system.
    return S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) ? Kind::Stream : Kind::Other;
}

// What the target is when it is neither a regular file nor a stream.
QString otherKind(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISBLK(st.st_mode))
        return QStringLiteral("ein Blockgerät (ein Datenträger)");
    return irregularKind(path);
}

Error cannotMake(const QString& path, const QString& why)
{
    return Error(QStringLiteral("Die Ausgabedatei %1 lässt sich nicht anlegen: %2.").arg(quoted(path), why));
}

// Why a new file at `target` cannot be made, as far as it can be told before
// trying; empty when nothing speaks against it.
QString whyNotMade(const QString& target)
{
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    int error = 0;
    const Kind folderKind = kindOf(folder, &error);
    if (folderKind == Kind::Absent)
        return error == ENOENT ? QStringLiteral("das Verzeichnis %1 gibt es nicht").arg(quoted(folder))
                               : openProblem(error);
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("%1 ist kein Verzeichnis").arg(quoted(folder));
    // The file is written under a name of its own beside its place first.
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return errno == EACCES || errno == EPERM
            ? QStringLiteral("kein Schreibrecht im Verzeichnis %1, wo sie erst unter einem eigenen Namen "
                             "entsteht, bis sie ganz ist")
                  .arg(quoted(folder))
            : openProblem(errno);
    if (info.exists() && ::access(QFile::encodeName(target).constData(), W_OK) != 0)
        return errno == EACCES || errno == EPERM ? QStringLiteral("kein Schreibrecht auf die vorhandene Datei")
                                                 : openProblem(errno);
    return {};
}

} // namespace

CsvOutput::CsvOutput(const QString& path, const QString& questionFile) : m_path(path)
{
    const QFileInfo info(path);
    // A link to a pipe (/dev/stdout) has no path at its end.
    const QString canonical = info.canonicalFilePath();
    m_target = canonical.isEmpty() ? path : canonical;
    if (!canonical.isEmpty() && canonical == QFileInfo(questionFile).canonicalFilePath())
        throw Error(QStringLiteral("Die Ausgabedatei %1 ist die Fragendatei selbst; bitte einen anderen Namen wählen.")
                        .arg(quoted(path)));
    const Kind kind = kindOf(m_target);
    m_stream = kind == Kind::Stream;
    if (kind == Kind::Other)
        throw Error(QStringLiteral("%1 ist %2; dorthin schreibt %3 export nicht. Die Ausgabe geht in eine gewöhnliche "
                                   "Datei, eine benannte Pipe (FIFO) oder ein Zeichengerät wie ein Terminal.")
                        .arg(quoted(path), otherKind(m_target), programName()));
}

void CsvOutput::run(const std::function<void(QIODevice& device)>& write)
{
    if (m_stream)
        runStream(write);
    else
        runFile(write);
}

void CsvOutput::runStream(const std::function<void(QIODevice& device)>& write)
{
    // Opened without creating or emptying anything; what the name leads to is
    // asked again of the open file, in case it changed since.
    const int fd = ::open(QFile::encodeName(m_target).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw Error(QStringLiteral("%1 lässt sich nicht zum Schreiben öffnen: %2.").arg(quoted(m_path), openProblem(errno)));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        ::close(fd);
        throw Error(QStringLiteral("%1 wurde eben durch etwas anderes ersetzt; nichts wurde geschrieben.").arg(quoted(m_path)));
    }
    // A reader that goes away is a failure to say, not a signal that ends the tool.
    std::signal(SIGPIPE, SIG_IGN);
    QFile out;
    if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Error(QStringLiteral("%1 lässt sich nicht zum Schreiben öffnen.").arg(quoted(m_path)));
    }
    out.setObjectName(m_path); // the name its write failures give it
    try {
        // Unbuffered: every write reaches the stream or fails there.
        write(out);
    } catch (const Error& e) {
        throw Error(e.message() + QStringLiteral(" Nicht die ganze CSV ist bei %1 angekommen.").arg(quoted(m_path)));
    }
}

void CsvOutput::runFile(const std::function<void(QIODevice& device)>& write)
{
    if (const QString why = whyNotMade(m_target); !why.isEmpty())
        throw cannotMake(m_path, why);
    QSaveFile file(m_target);
    file.setObjectName(m_path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw cannotMake(m_path, errno ? openProblem(errno) : QStringLiteral("das System verweigert es"));
    write(file);
    // A write cut short (a full disk, a size limit) does not always count as
    // failed: what reached the file is compared with what was written.
    errno = 0;
    if (!file.flush() || file.size() != file.pos() || !file.commit())
        throw writeFailure(file, errno ? errno : ENOSPC);
}

} // namespace quizdb
