// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line of long commands.
#include "tools/quizdb/progress.h"

#include "tools/quizdb/messages.h"

namespace quizdb {

namespace {
constexpr qint64 kFirstShowMs = 1000;
constexpr qint64 kRenewMs = 250;
// Back to the start of the line, and the rest of the line erased.
constexpr char kClearLine[] = "\r\x1b[K";
} // namespace

Progress::Progress(QIODevice* terminal) : m_terminal(terminal) {}

Progress::~Progress()
{
    clear();
}

void Progress::start(Work work, qint64 totalBytes)
{
    m_work = work;
    m_total = totalBytes;
    m_nextShow = kFirstShowMs;
    m_clock.start();
}

void Progress::show(qint64 records, qint64 bytes)
{
    if (!m_clock.isValid())
        return;
    const qint64 now = m_clock.elapsed();
    if (now < m_nextShow)
        return;
    m_nextShow = now + kRenewMs;
    QString line;
    switch (m_work) {
    case Work::Reading:
        line = counted(records, QStringLiteral("Frage"), QStringLiteral("Fragen")) + QStringLiteral(" gelesen");
        break;
    case Work::Exporting:
        line = counted(records, QStringLiteral("Frage"), QStringLiteral("Fragen")) + QStringLiteral(" ausgegeben");
        break;
    case Work::Checking:
        line = counted(records, QStringLiteral("Datensatz"), QStringLiteral("Datensätze")) + QStringLiteral(" geprüft");
        break;
    }
    if (m_total > 0 && bytes >= 0)
        line += QStringLiteral(" (%1 %)").arg(std::min<qint64>(100, bytes * 100 / m_total));
    m_terminal->write(kClearLine);
    m_terminal->write(line.toUtf8());
    m_shown = true;
}

void Progress::clear()
{
    if (m_shown)
        m_terminal->write(kClearLine);
    m_shown = false;
}

} // namespace quizdb
