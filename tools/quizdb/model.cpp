// The check of a record against the question data model.
#include "tools/quizdb/model.h"

#include "store/store.h"

#include <QRegularExpression>

namespace quizdb {

namespace {

const QStringList kLetters = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};

const QStringList kShares = {store::field::PublikumA, store::field::PublikumB, store::field::PublikumC,
                             store::field::PublikumD};

QString letterFault(const Value& v)
{
    if (!v)
        return QStringLiteral("hat keinen Wert; erlaubt ist einer der Großbuchstaben A, B, C, D.");
    return QStringLiteral("%1 ist keiner der Großbuchstaben A, B, C, D.").arg(shown(*v));
}

} // namespace

QList<Fault> modelFaults(const QList<Value>& values)
{
    QList<Fault> faults;
    auto value = [&](const QString& name) -> const Value& { return values.at(store::fieldIndex(name)); };

    const Value& frage = value(store::field::Frage);
    if (!frage)
        faults.append({store::field::Frage, QStringLiteral("hat keinen Wert; jede Frage braucht einen Text.")});
    else if (frage->trimmed().isEmpty())
        faults.append({store::field::Frage, QStringLiteral("ist leer; jede Frage braucht einen Text.")});

    const Value& richtig = value(store::field::Richtig);
    const Value& fraglich = value(store::field::Fraglich);
    const bool richtigOk = richtig && kLetters.contains(*richtig);
    const bool fraglichOk = fraglich && kLetters.contains(*fraglich);
    if (!richtigOk)
        faults.append({store::field::Richtig, letterFault(richtig)});
    if (!fraglichOk)
        faults.append({store::field::Fraglich, letterFault(fraglich)});
    if (richtigOk && fraglichOk && *richtig == *fraglich)
        faults.append({store::field::Fraglich,
                       QStringLiteral("ist gleich Richtig (%1); Fraglich nennt eine falsche Antwort.").arg(quoted(*richtig))});

    static const QRegularExpression share(QStringLiteral("^[0-9]{1,2}$"));
    int sum = 0;
    bool sharesOk = true;
    for (const QString& name : kShares) {
        const Value& v = value(name);
        if (!v) {
            faults.append({name, QStringLiteral("hat keinen Wert; erlaubt ist eine ganze Zahl von 0 bis 99.")});
            sharesOk = false;
        } else if (!share.match(*v).hasMatch()) {
            faults.append({name, QStringLiteral("%1 ist keine ganze Zahl von 0 bis 99.").arg(shown(*v))});
            sharesOk = false;
        } else {
            sum += v->toInt();
        }
    }
    if (sharesOk && sum != 100)
        faults.append({store::field::PublikumA,
                       QStringLiteral("Die vier Publikumsanteile ergeben zusammen %1 statt 100.").arg(sum)});

    for (const QString& name : store::fieldNames()) {
        // Letters and shares already have their own, more precise fault.
        if (name == store::field::Richtig || name == store::field::Fraglich || kShares.contains(name))
            continue;
        const Value& v = value(name);
        const int limit = store::fieldLimit(name);
        if (v && v->size() > limit)
            faults.append({name, QStringLiteral("ist %1 Zeichen lang; erlaubt sind höchstens %2.").arg(v->size()).arg(limit)});
    }
    return faults;
}

} // namespace quizdb
