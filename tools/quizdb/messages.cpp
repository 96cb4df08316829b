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

} // namespace quizdb
