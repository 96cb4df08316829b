// The question table: its name, its thirteen fields and their limits.
#include "store/store.h"

#include <QHash>

namespace store {

const QStringList& fieldNames()
{
    static const QStringList names = {
        QStringLiteral("Nummer"),    QStringLiteral("Frage"),     QStringLiteral("AntwortA"),
        QStringLiteral("AntwortB"),  QStringLiteral("AntwortC"),  QStringLiteral("AntwortD"),
        QStringLiteral("Richtig"),   QStringLiteral("Fraglich"),  QStringLiteral("PublikumA"),
        QStringLiteral("PublikumB"), QStringLiteral("PublikumC"), QStringLiteral("PublikumD"),
        QStringLiteral("JokerTV"),
    };
    return names;
}

int fieldLimit(const QString& field)
{
    static const QHash<QString, int> limits = {
        {QStringLiteral("Nummer"), 2},     {QStringLiteral("Frage"), 110},
        {QStringLiteral("AntwortA"), 40},  {QStringLiteral("AntwortB"), 40},
        {QStringLiteral("AntwortC"), 40},  {QStringLiteral("AntwortD"), 40},
        {QStringLiteral("Richtig"), 1},    {QStringLiteral("Fraglich"), 1},
        {QStringLiteral("PublikumA"), 2},  {QStringLiteral("PublikumB"), 2},
        {QStringLiteral("PublikumC"), 2},  {QStringLiteral("PublikumD"), 2},
        {QStringLiteral("JokerTV"), 20},
    };
    return limits.value(field, 0);
}

QString valueText(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

QString fieldText(const Recordset& records, const QString& field)
{
    return valueText(records.Fields(field));
}

QString createTableSql()
{
    // "Satz" is the record order: AUTOINCREMENT never hands out a key twice, so a
    // record appended after the last one was deleted still comes last, and a
    // cursor standing on a deleted record never finds a stranger in its place.
    QString sql = QStringLiteral("CREATE TABLE \"%1\" (\"Satz\" INTEGER PRIMARY KEY AUTOINCREMENT").arg(kTable);
    for (const QString& name : fieldNames())
        sql += QStringLiteral(", \"%1\" TEXT").arg(name);
    return sql + QStringLiteral(")");
}

} // namespace store
