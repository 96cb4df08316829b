// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Checking CSV records and appending them to the question table.
#include "tools/quizdb/recordwriter.h"

#include "tools/quizdb/csv.h"

namespace quizdb {

namespace {

// Longest list of faults that one message shows; the rest is counted.
constexpr int kMaxListedFaults = 30;

// The faults of a CSV, the first kMaxListedFaults in words, the rest counted.
class FaultList {
public:
    explicit FaultList(const CsvInput& input) : m_input(input) {}

    void add(const CsvFault& fault)
    {
        if (m_lines.size() < kMaxListedFaults)
            m_lines << QStringLiteral("  ") + describeFault(m_input.name(), fault);
        ++m_count;
    }
    bool isEmpty() const { return m_count == 0; }

    // `stoppedAt`: the line after which reading stopped; 0 when the whole CSV was read.
    Error error(int stoppedAt) const
    {
        QString message = QStringLiteral("%1 enthält %2; nichts wurde geschrieben:\n")
                              .arg(m_input.subject(), counted(m_count, QStringLiteral("Fehler"), QStringLiteral("Fehler"))) +
                          m_lines.join(QLatin1Char('\n'));
        const qint64 more = m_count - m_lines.size();
        if (more == 1)
            message += QStringLiteral("\n  … und 1 weiterer Fehler.");
        else if (more > 1)
            message += QStringLiteral("\n  … und %1 weitere Fehler.").arg(more);
        if (stoppedAt)
            message += QStringLiteral("\n  Hinter Zeile %1 wurde nicht weiter gelesen; dort kann noch mehr falsch sein.")
                           .arg(stoppedAt);
        return Error(message);
    }

private:
    const CsvInput& m_input;
    QStringList m_lines;
    qint64 m_count = 0;
};

} // namespace

Inserter::Inserter(sqlite::File& db) : m_db(db)
{
    QStringList marks;
    for (int i = 1; i <= store::kFieldCount; ++i)
        marks << QStringLiteral("?%1").arg(i);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(sqlite::identifier(store::kTable), sqlite::identifierList(store::fieldNames()),
                                 marks.join(QLatin1Char(',')));
    writing([&] { m_insert = sqlite::Prepared(db, sql); });
}

void Inserter::insert(const RawRecord& values)
{
    writing([&] {
        sqlite::Statement st(m_insert);
        for (int i = 0; i < store::kFieldCount; ++i) {
            const RawValue& v = values[i];
            st.bindInPlace(i + 1, v.null ? std::nullopt : std::optional<QByteArrayView>(v.bytes()));
        }
        st.run();
    });
}

template <typename Work>
void Inserter::writing(Work&& work)
{
    try {
        work();
    } catch (const sqlite::Error& e) {
        failOnNoMemory(e);
        if (e.isFull() && store::keysUsedUp(m_db, store::kTable))
            throw store::noKeyLeft(m_db.path());
        throw sqlite::writeError(m_db.path(), e.code(), e.sqliteText());
    }
}

CsvSource::CsvSource(const QString& path, const WriteOptions& options)
    : m_input(path), m_reader(m_input.device(), m_input.name(), options.dialect), m_options(options)
{
}

CsvSource::~CsvSource()
{
    if (m_options.howRead)
        *m_options.howRead = QStringLiteral("%1 gelesen mit %2.").arg(m_input.name(), m_reader.howRead());
}

int CsvSource::writeInto(sqlite::File& db)
{
    Inserter inserter(db);
    FaultList faultList(m_input);
    CsvRow row;
    QList<CsvFault> faults;
    int written = 0;
    qint64 records = 0;
    int stoppedAt = 0;
    if (m_options.progress)
        m_options.progress->start(Progress::Work::Reading, m_input.size());
    for (;;) {
        faults.clear();
        const CsvReader::Result result = m_reader.next(row, faults);
        if (result == CsvReader::Result::End)
            break;
        if (result == CsvReader::Result::Stopped) {
            faultList.add(faults.last());
            stoppedAt = faults.last().line;
            break;
        }
        ++records;
        if (faults.isEmpty() && !surelyInOrder(row.values, m_options.rules))
            for (const Fault& f : quizdb::faults(decoded(row.values), m_options.rules))
                faults.append({row.lines[store::fieldIndex(f.field)], quoted(f.field), f.text});
        if (!faults.isEmpty()) {
            for (const CsvFault& f : faults)
                faultList.add(f);
        } else if (faultList.isEmpty()) {
            inserter.insert(row.values);
            ++written;
        }
        if (m_options.progress)
            m_options.progress->update(records, m_reader.bytesRead());
    }
    if (!faultList.isEmpty())
        throw faultList.error(stoppedAt);
    return written;
}

} // namespace quizdb
