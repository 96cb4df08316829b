// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The check of a record against the question data model.
#include "tools/quizdb/model.h"

#include "store/chars.h"
#include "tools/quizdb/messages.h"

namespace quizdb {

namespace {

const QStringList kLetters = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};

const QStringList kShares = {store::field::PublikumA, store::field::PublikumB, store::field::PublikumC,
                             store::field::PublikumD};

// Field positions in table order, for the quick look.
enum : int { kNummer, kFrage, kAntwortA, kAntwortB, kAntwortC, kAntwortD, kRichtig, kFraglich, kPublikumA, kJokerTV = 12 };

QString letterFault(const Value& v)
{
    if (!v)
        return QStringLiteral("hat keinen Wert; erlaubt ist einer der Großbuchstaben A, B, C, D.");
    return QStringLiteral("%1 ist keiner der Großbuchstaben A, B, C, D.").arg(shown(*v));
}

// One or two ASCII digits, nothing else.
bool isShare(QStringView v)
{
    if (v.isEmpty() || v.size() > 2)
        return false;
    for (QChar c : v)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

void addLengthFault(QList<Fault>& faults, const QString& name, const Value& v)
{
    const int limit = store::fieldLimit(name);
    if (!v)
        return;
    const qsizetype length = store::charCount(*v);
    if (length > limit)
        faults.append({name, QStringLiteral("ist %1 Zeichen lang; erlaubt sind höchstens %2.")
                                 .arg(QString::number(length), QString::number(limit))});
}

const std::array<int, store::kFieldCount> kLimits = [] {
    std::array<int, store::kFieldCount> limits{};
    for (int i = 0; i < store::kFieldCount; ++i)
        limits[i] = store::fieldLimit(store::fieldNames().at(i));
    return limits;
}();

bool withinLimit(const RawRecord& r, int index)
{
    return r[index].null || r[index].codePoints <= kLimits[index];
}

int letterAt(const RawRecord& r, int index)
{
    const RawValue& v = r[index];
    return !v.null && v.size == 1 && v.data[0] >= 'A' && v.data[0] <= 'D' ? v.data[0] : 0;
}

int shareAt(const RawRecord& r, int index)
{
    const RawValue& v = r[index];
    if (v.null || v.size < 1 || v.size > 2)
        return -1;
    int n = 0;
    for (qsizetype i = 0; i < v.size; ++i) {
        if (v.data[i] < '0' || v.data[i] > '9')
            return -1;
        n = n * 10 + (v.data[i] - '0');
    }
    return n;
}

} // namespace

const std::array<int, 7> kCountedFields = {kNummer, kFrage, kAntwortA, kAntwortB, kAntwortC, kAntwortD, kJokerTV};

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

    int sum = 0;
    bool sharesOk = true;
    for (const QString& name : kShares) {
        const Value& v = value(name);
        if (!v) {
            faults.append({name, QStringLiteral("hat keinen Wert; erlaubt ist eine ganze Zahl von 0 bis 99.")});
            sharesOk = false;
        } else if (!isShare(*v)) {
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
        addLengthFault(faults, name, value(name));
    }
    return faults;
}

QList<Fault> faults(const QList<Value>& values, Rules rules)
{
    if (rules == Rules::Model)
        return modelFaults(values);
    QList<Fault> faults;
    for (int i = 0; i < store::kFieldCount; ++i)
        addLengthFault(faults, store::fieldNames().at(i), values.at(i));
    return faults;
}

bool surelyInOrder(const RawRecord& r, Rules rules)
{
    if (rules == Rules::LengthsOnly) {
        for (int i = 0; i < store::kFieldCount; ++i)
            if (!withinLimit(r, i))
                return false;
        return true;
    }
    // A question that begins with a visible ASCII character is not blank;
    // anything else is left to the full check.
    const RawValue& frage = r[kFrage];
    const auto first = frage.size > 0 ? static_cast<unsigned char>(frage.data[0]) : 0u;
    if (frage.null || first <= ' ' || first >= 0x7f)
        return false;
    const int richtig = letterAt(r, kRichtig);
    const int fraglich = letterAt(r, kFraglich);
    if (!richtig || !fraglich || richtig == fraglich)
        return false;
    int sum = 0;
    for (int i = kPublikumA; i < kPublikumA + 4; ++i) {
        const int share = shareAt(r, i);
        if (share < 0)
            return false;
        sum += share;
    }
    if (sum != 100)
        return false;
    for (int i : kCountedFields)
        if (!withinLimit(r, i))
            return false;
    return true;
}

} // namespace quizdb
