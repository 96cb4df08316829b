// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What every command says, and how.
#include "tools/quizdb/call.h"

#include "tools/quizdb/messages.h"

#include <QFileDevice>
#include <cerrno>

namespace quizdb {

void say(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

bool written(QIODevice& device, const QByteArray& bytes)
{
    if (device.write(bytes) != bytes.size())
        return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
}

void sayHowRead(const Call& call)
{
    if (call.howRead.isEmpty())
        return;
    call.progress.clear();
    say(call.err, call.howRead + QLatin1Char('\n'));
    call.howRead.clear();
}

std::function<void(const QString&)> noticeTo(const Call& call)
{
    return [&call](const QString& notice) {
        call.progress.clear();
        say(call.err, QStringLiteral("Hinweis: ") + notice + QLatin1Char('\n'));
    };
}

int reportChange(const Call& call, const QString& done)
{
    call.changed = true;
    sayHowRead(call);
    call.progress.clear();
    const QByteArray line = (done + QLatin1Char('\n')).toUtf8();
    errno = 0;
    if (!written(call.out, line))
        say(call.err, QStringLiteral("%1 Nur diese Meldung ließ sich nicht auf die Standardausgabe schreiben: %2.\n")
                          .arg(done, writeProblem(errno)));
    return 0;
}

} // namespace quizdb
