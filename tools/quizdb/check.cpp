// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// check: names what has no business in a question file and every record the
// game cannot play.
#include "tools/quizdb/commands.h"

#include "access/accessfile.h"
#include "tools/quizdb/accessrecords.h"
#include "tools/quizdb/call.h"
#include "tools/quizdb/questionfile.h"

namespace quizdb {

namespace {

// The CHECK constraints of a CREATE TABLE statement: the word CHECK outside
// quotes and comments (a column of that name must stand in quotes).
int countChecks(QStringView sql)
{
    int count = 0;
    const qsizetype size = sql.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = sql[i];
        const QStringView two = sql.mid(i, 2);
        qsizetype next = i + 1;
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[')
            next = sql.indexOf(c == u'[' ? u']' : c, i + 1) + 1;
        else if (two == u"--")
            next = sql.indexOf(u'\n', i);
        else if (two == u"/*")
            next = sql.indexOf(u"*/", i + 2) + 2;
        else if (c.isLetter() || c == u'_') {
            next = i;
            while (next < size && (sql[next].isLetterOrNumber() || sql[next] == u'_' || sql[next] == u'$'))
                ++next;
            count += sql.mid(i, next - i).compare(u"check", Qt::CaseInsensitive) == 0;
        }
        if (next <= i)
            break; // an unclosed quote or comment runs to the end
        i = next;
    }
    return count;
}

// What the question table's schema makes SQLite compute on every save: CHECK
// constraints and indexes on expressions or with a WHERE clause. A question
// file needs none of them, and a costly one slows every save of the editor.
template <typename Finding>
void schemaWork(sqlite::File& db, const QString& file, Finding finding)
{
    reading(file, [&] {
        int checks = 0;
        {
            sqlite::Statement table(db, QStringLiteral("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1 "
                                                       "COLLATE NOCASE"));
            table.bind(1, store::kTable);
            if (table.step())
                checks = countChecks(table.text(0));
        }
        if (checks)
            finding(QStringLiteral("%1 in der Tabelle %2: SQLite prüft sie bei jedem Speichern und Anhängen; eine "
                                   "Fragendatei braucht keine, und eine aufwendige macht jedes Speichern langsam.")
                        .arg(checks == 1 ? QStringLiteral("Eine CHECK-Bedingung")
                                         : QStringLiteral("%1 CHECK-Bedingungen").arg(checks),
                             quoted(store::kTable)));

        sqlite::Statement indexes(
            db, QStringLiteral("SELECT il.name, il.partial FROM pragma_index_list(?1) AS il WHERE il.partial "
                               "OR EXISTS (SELECT 1 FROM pragma_index_xinfo(il.name) WHERE cid = -2) ORDER BY il.name"));
        indexes.bind(1, store::kTable);
        while (indexes.step())
            finding(QStringLiteral("Index %1 der Tabelle %2 %3: SQLite berechnet das bei jedem Speichern und "
                                   "Anhängen; eine Fragendatei braucht es nicht, und ein aufwendiges macht jedes "
                                   "Speichern langsam.")
                        .arg(quoted(indexes.text(0)), quoted(store::kTable),
                             indexes.integer(1) ? QStringLiteral("mit Bedingung (WHERE)")
                                                : QStringLiteral("über einen Ausdruck")));
    });
}

QString describeNummer(const Value& nummer)
{
    if (!nummer)
        return QStringLiteral("ohne Nummer");
    if (nummer->isEmpty())
        return QStringLiteral("Nummer leer");
    return QStringLiteral("Nummer %1").arg(shown(*nummer));
}

// Reports `record` when the game cannot play it as it is.
void checkRecord(qint64 position, RawRecord& record, const CheckReport& report, CheckResult& result)
{
    // The quick way, for a record in order: only the texts are counted.
    bool counted = true;
    for (int i : kCountedFields) {
        RawValue& v = record[i];
        const Utf8Scan utf8 = scanUtf8(v.data, v.size);
        v.codePoints = utf8.codePoints;
        counted = counted && utf8.valid && !utf8.nul;
    }
    if (counted && surelyInOrder(record, Rules::Model))
        return;
    QList<Fault> faults;
    for (int i = 0; i < store::kFieldCount; ++i) {
        const RawValue& v = record[i];
        const Utf8Scan utf8 = scanUtf8(v.data, v.size);
        if (!utf8.valid)
            faults.append({store::fieldNames().at(i), QStringLiteral("ist kein gültiger UTF-8-Text.")});
        else if (utf8.nul)
            faults.append({store::fieldNames().at(i), QStringLiteral("enthält ein Nullzeichen.")});
    }
    const QList<Value> values = decoded(record);
    faults += modelFaults(values);
    if (faults.isEmpty())
        return;
    ++result.faulty;
    report.faulty({position, values.at(0), faults});
}

} // namespace

CheckResult checkFile(const QString& file, const CheckReport& report, Progress* progress)
{
    if (isAccessSource(file)) {
        CheckResult result;
        result.format = jet::formatName(file);
        if (progress)
            progress->start(Progress::Work::Checking);
        result.records = forEachAccessRecord(
            file,
            [&](qint64 position, RawRecord& record) {
                if (progress)
                    progress->update(position);
                checkRecord(position, record, report, result);
            },
            [&](const QString& notice) {
                ++result.findings;
                report.finding(notice);
            });
        return result;
    }
    QString key;
    sqlite::File db = openQuestionFile(file, false, key);
    CheckResult result;

    // Triggers and views: the game never runs them, but they have no business
    // in a question file.
    reading(file, [&] {
        sqlite::Statement schema(db, QStringLiteral("SELECT type, name, tbl_name FROM sqlite_schema WHERE type IN "
                                                    "('trigger', 'view') ORDER BY rowid"));
        while (schema.step()) {
            ++result.findings;
            if (schema.text(0) == QLatin1String("trigger"))
                report.finding(QStringLiteral("Trigger %1 zur Tabelle %2: ein Trigger in einer Fragendatei wird vom "
                                              "Spiel, vom Editor und von %3 nie ausgeführt; er gehört nicht hinein.")
                                   .arg(quoted(schema.text(1)), quoted(schema.text(2)), programName()));
            else
                report.finding(QStringLiteral("Sicht %1: eine Sicht (VIEW) in einer Fragendatei benutzen das Spiel, der "
                                              "Editor und %2 nie; sie gehört nicht hinein.")
                                   .arg(quoted(schema.text(1)), programName()));
        }
    });
    schemaWork(db, file, [&](const QString& finding) {
        ++result.findings;
        report.finding(finding);
    });
    // SQLite's own check of the file's pages, before the records are read.
    if (const QStringList damage = structureFindings(db, file); !damage.isEmpty()) {
        result.findings += int(damage.size());
        for (const QString& finding : damage)
            report.finding(finding);
        report.finding(damageRemedy(file));
    }

    if (progress)
        progress->start(Progress::Work::Checking);
    result.records = forEachRecord(db, file, key, [&](qint64 position, RawRecord& record) {
        if (progress)
            progress->update(position);
        checkRecord(position, record, report, result);
    });
    return result;
}

int runCheck(const Call& call)
{
    CheckReport report;
    report.finding = [&](const QString& finding) { say(call.out, finding + QLatin1Char('\n')); };
    report.faulty = [&](const FaultyRecord& r) {
        call.progress.clear();
        for (const Fault& f : r.faults)
            say(call.out, QStringLiteral("Satz %1 (%2), Feld %3: %4\n")
                              .arg(QString::number(r.position), describeNummer(r.nummer), quoted(f.field), f.text));
    };
    const QString& file = call.files[0];
    const bool access = isAccessSource(file);
    if (access)
        say(call.out, QStringLiteral("%1 ist eine Access-Datei im Format %2.\n").arg(quoted(file), jet::formatName(file)));
    CheckResult result;
    try {
        result = checkFile(file, report, &call.progress);
    } catch (const Error& e) {
        if (!access)
            throw;
        throw Error(e.message() + QStringLiteral("\nDas Spiel kann diese Datei nicht spielen."));
    }
    call.progress.clear();
    if (access && result.records == 0) {
        say(call.out, QStringLiteral("Das Spiel kann die Access-Datei nicht spielen: ihre Tabelle %1 enthält keine "
                                     "Frage.\n")
                          .arg(quoted(store::kTable)));
        return 1;
    }
    if (result.records == 0) {
        say(call.out, QStringLiteral("Die Tabelle %1 enthält keinen Datensatz; eine Fragendatei ohne Fragen kann das "
                                     "Spiel nicht spielen.\n")
                          .arg(quoted(store::kTable)));
        return 1;
    }
    int status = 1;
    if (result.faulty == 0) {
        say(call.out, result.records == 1 ? QStringLiteral("Der eine Datensatz ist in Ordnung.\n")
                                          : QStringLiteral("Alle %1 Datensätze sind in Ordnung.\n").arg(result.records));
        status = result.findings ? 1 : 0;
    } else {
        say(call.out, QStringLiteral("%1 von %2 %3 gegen das Datenmodell.\n")
                          .arg(QString::number(result.faulty),
                               counted(result.records, QStringLiteral("Datensatz"), QStringLiteral("Datensätzen")),
                               result.faulty == 1 ? QStringLiteral("verstößt") : QStringLiteral("verstoßen")));
    }
    if (access)
        say(call.out, QStringLiteral("Das Spiel kann die Access-Datei spielen: es liest sie beim Start in eine eigene "
                                     "Kopie und ändert sie nie. Zu einer Fragendatei dieses Programms macht sie: %1 "
                                     "create NEU.mdb %2\n")
                          .arg(programName(), file));
    return status;
}

} // namespace quizdb
