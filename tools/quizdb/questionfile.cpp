// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a question file for quizdb, its journal and its failures.
#include "tools/quizdb/questionfile.h"

#include <QFileInfo>
#include <new>

namespace quizdb {

namespace {

// A journal that SQLite would play back on the next open: a save was
// interrupted, and the file holds half of it until then.
bool hasHotJournal(const QString& file)
{
    const QFileInfo journal(journalOf(file));
    return journal.isFile() && journal.size() > 0;
}

Error hotJournalError(const QString& file)
{
    return Error(QStringLiteral("In der Fragendatei %1 ist ein Speichern nicht zu Ende gekommen; ihr alter Stand liegt "
                                "in %2. SQLite stellt ihn beim nächsten Öffnen wieder her, braucht dafür aber "
                                "Schreibrecht auf die Datei und ihr Verzeichnis, das %3 hier nicht hat. Bis dahin ist "
                                "die Datei halb geschrieben und wird nicht gelesen; %2 bitte nicht löschen.")
                     .arg(quoted(file), quoted(journalOf(file)), programName()));
}

} // namespace

void failOnNoMemory(const sqlite::Error& e)
{
    if (e.isNoMemory())
        throw std::bad_alloc();
}

QString journalOf(const QString& file)
{
    const QString real = QFileInfo(file).canonicalFilePath();
    return (real.isEmpty() ? file : real) + QStringLiteral("-journal");
}

bool restore(const QString& file)
{
    if (!hasHotJournal(file))
        return true;
    try {
        sqlite::File db(file, sqlite::File::Threads::One);
        db.execute(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    } catch (const Error&) {
        return false;
    }
    return !hasHotJournal(file);
}

QString pendingRestore(const QString& file)
{
    return QStringLiteral("Noch ist die Datei aber halb geschrieben: ihr alter Stand liegt in %1, und SQLite stellt "
                          "ihn beim nächsten Öffnen wieder her (auch „%2 check“ tut das). %1 bitte nicht löschen.")
        .arg(quoted(journalOf(file)), programName());
}

Error readError(const QString& file, const sqlite::Error& e)
{
    failOnNoMemory(e);
    if (e.isTooBig())
        return Error(QStringLiteral("Die Fragendatei %1 enthält einen Datensatz, der größer als %2 MiB ist; so groß "
                                    "ist keine Frage, die Datei ist beschädigt oder keine Fragendatei.")
                         .arg(quoted(file), QString::number(sqlite::kMaxValueBytes >> 20)));
    // A journal that could not be played back, not a write-protected file.
    if ((e.isReadOnly() || e.isCantOpen()) && hasHotJournal(file))
        return hotJournalError(file);
    return e;
}

sqlite::File openQuestionFile(const QString& file, bool write, QString& key)
{
    const QFileInfo info(file);
    if (!info.exists())
        throw Error(QStringLiteral("Die Fragendatei %1 gibt es nicht.").arg(quoted(file)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine Fragendatei.").arg(quoted(file)));
    if (const QString kind = irregularKind(file); !kind.isEmpty())
        throw Error(QStringLiteral("%1 ist %2, keine Fragendatei; eine Fragendatei ist eine gewöhnliche Datei.")
                        .arg(quoted(file), kind));
    // SQLite follows a link in place of its journal and would write, or
    // delete, whatever it leads to.
    if (const QString side = sqlite::linkedJournal(file); !side.isEmpty())
        throw Error(QStringLiteral("Neben der Fragendatei %1 ist %2 eine symbolische Verknüpfung. An dieser Stelle "
                                   "legt SQLite beim Speichern den alten Stand der Datei ab und würde der "
                                   "Verknüpfung in eine fremde Datei folgen; deshalb öffnet %3 die Fragendatei "
                                   "nicht. Bitte die Verknüpfung entfernen.")
                        .arg(quoted(file), quoted(side), programName()));
    // SQLite would take an empty file for a new, empty database.
    if (info.size() == 0)
        throw store::emptyFileError(file);
    return reading(file, [&] {
        sqlite::File db(file, sqlite::File::Threads::One);
        key = store::checkedRowKey(db);
        if (write && !db.isWritable())
            throw sqlite::readOnlyError(file);
        return db;
    });
}

QStringList structureFindings(sqlite::File& db, const QString& file)
{
    // Longest list of findings that check names.
    constexpr int kMaxFindings = 30;
    const QStringList faults = reading(file, [&] { return db.structureFaults(kMaxFindings); });
    QStringList findings;
    for (const QString& fault : faults) {
        QString what;
        if (fault.contains(QLatin1StringView("freelist"), Qt::CaseInsensitive))
            what = QStringLiteral("ihre Liste der freien Seiten ist durcheinander, und jedes Speichern kann dann "
                                  "Fragen zerstören");
        else if (fault.contains(QLatin1StringView("never used")))
            what = QStringLiteral("eine ihrer Seiten gehört zu nichts");
        else
            what = QStringLiteral("ein Baum der Datei (eine Tabelle oder ein Index) ist zerstört, Fragen können "
                                  "fehlen oder falsch gelesen werden");
        findings << QStringLiteral("Die Fragendatei %1 ist in ihrem Aufbau beschädigt: %2 (SQLite meldet %3).")
                        .arg(quoted(file), what, quoted(fault));
    }
    return findings;
}

QString damageRemedy(const QString& file)
{
    return QStringLiteral("Was sich noch lesen lässt, rettet „%1 export %2 -o fragen.csv“ und dann „%1 create "
                          "neu.mdb fragen.csv“.")
        .arg(programName(), file);
}

Error loopingTable(const QString& file, qint64 position)
{
    return Error(QStringLiteral("Die Fragendatei %1 ist beschädigt: hinter Satz %2 führt ihre Tabelle zu einem "
                                "Datensatz zurück, der schon gelesen ist. Die Datei lässt sich so nicht lesen.")
                     .arg(quoted(file), QString::number(position)));
}

} // namespace quizdb
