// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The quoting of names and values in quizdb's messages.
#include "tools/quizdb/messages.h"

namespace quizdb {

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

QString counted(qint64 count, const QString& one, const QString& many)
{
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace quizdb
