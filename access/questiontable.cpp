// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the question table through the reader: what it sends, record by
// record, and what its ending means.
#include "access/accessfile.h"
#include "access/protocol.h"
#include "access/readerprocess.h"
#include "access/refusal.h"

#include <QFileInfo>
#include <QLocale>
#include <csignal>
#include <cstring>
#include <optional>
#include <vector>

namespace jet {

namespace {

using namespace std::chrono_literals;

// The longest value the reader may send: far beyond any question, short of
// what a damaged length would make the caller hold.
constexpr quint32 kMaxValueBytes = 64u << 20;
constexpr qint64 kDefaultAddressSpace = qint64(256) << 20;
constexpr int kShownErrorLines = 5;

Limits limitsFor(const QString& path, const Limits& asked)
{
    Limits limits = asked;
    // Ten seconds and one a MiB: libmdb reads a MiB in far less, so only a
    // reader that loops runs into it.
    if (limits.time.count() <= 0)
        limits.time = 10s + std::chrono::seconds(QFileInfo(path).size() >> 20);
    if (limits.addressSpace <= 0)
        limits.addressSpace = kDefaultAddressSpace;
    return limits;
}

using Each = std::function<void(std::span<const Value>)>;

// The reader's messages, taken from its output as they come.
class Messages {
public:
    Messages(const QString& file, qsizetype fields) : m_file(file), m_record(std::size_t(fields)) {}

    // Handles the whole messages in `buffer` and drops them from it.
    void take(QByteArray& buffer, const Each& each)
    {
        m_at = 0;
        m_data = &buffer;
        if (!m_magic) {
            const qsizetype size = qsizetype(std::strlen(protocol::kMagic));
            if (buffer.size() < size)
                return;
            if (QByteArrayView(buffer.constData(), size) != QByteArrayView(protocol::kMagic, size))
                throw garbled();
            m_magic = true;
            m_at = size;
        }
        for (;;) {
            const qsizetype start = m_at;
            if (!message(each)) {
                m_at = start;
                break;
            }
        }
        buffer.remove(0, m_at);
    }

    bool magicSeen() const { return m_magic; }
    std::optional<quint32> tableRows;
    std::optional<quint32> done;
    qint64 records = 0;
    QStringList warnings;
    std::optional<QString> refusal;

private:
    store::Error garbled() const
    {
        return store::Error(QStringLiteral("Das Leseprogramm für Access-Dateien hat beim Lesen von %1 Unverständliches "
                                           "gesendet.")
                                .arg(quotedName(m_file)));
    }

    bool have(qsizetype bytes) const { return m_data->size() - m_at >= bytes; }

    bool u32(quint32& value)
    {
        if (!have(4))
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_data->constData() + m_at);
        value = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        m_at += 4;
        return true;
    }

    bool bytes(Value& value)
    {
        quint32 size = 0;
        if (!u32(size))
            return false;
        if (size == protocol::kNoValue) {
            value = {};
            return true;
        }
        if (size > kMaxValueBytes)
            throw store::Error(QStringLiteral("Die Access-Datei %1 enthält einen Wert, der größer als %2 MiB ist; so "
                                              "groß ist keine Frage, die Datei ist beschädigt.")
                                   .arg(quotedName(m_file), QString::number(kMaxValueBytes >> 20)));
        if (!have(size))
            return false;
        value = {m_data->constData() + m_at, qsizetype(size), false};
        m_at += size;
        return true;
    }

    bool text(QString& text)
    {
        Value value;
        if (!bytes(value))
            return false;
        text = QString::fromUtf8(value.bytes());
        return true;
    }

    bool message(const Each& each)
    {
        if (!have(1))
            return false;
        const char tag = m_data->at(m_at++);
        quint32 count = 0;
        switch (tag) {
        case protocol::TableRows:
            if (!u32(count))
                return false;
            tableRows = count;
            return true;
        case protocol::Record:
            for (Value& value : m_record)
                if (!bytes(value))
                    return false;
            ++records;
            each(m_record);
            return true;
        case protocol::Warning: {
            QString warning;
            if (!text(warning))
                return false;
            warnings << warning;
            return true;
        }
        case protocol::Refused: {
            QString first;
            QString second;
            if (!have(1))
                return false;
            const auto why = protocol::Refusal(m_data->at(m_at++));
            if (!text(first) || !text(second))
                return false;
            refusal = refusalText(m_file, why, first, second);
            return true;
        }
        case protocol::Done:
            if (!u32(count))
                return false;
            done = count;
            return true;
        default:
            throw garbled();
        }
    }

    QString m_file;
    bool m_magic = false;
    QByteArray* m_data = nullptr;
    qsizetype m_at = 0;
    std::vector<Value> m_record;
};

// What the reader wrote to its standard error, line by line, a line that
// comes again counted instead of repeated ("… (12-mal)"); the last line is
// left out when the reader wrote more than was kept.
QStringList errorLines(const QByteArray& errors, bool cut)
{
    QStringList lines;
    QList<int> counts;
    QList<QByteArray> parts = errors.split('\n');
    if (cut && !parts.isEmpty())
        parts.removeLast();
    for (const QByteArray& part : parts) {
        const QString text = QString::fromUtf8(part).trimmed();
        if (text.isEmpty())
            continue;
        const qsizetype at = lines.indexOf(text);
        if (at >= 0) {
            ++counts[at];
            continue;
        }
        lines << text;
        counts << 1;
    }
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (counts.at(i) > 1)
            lines[i] += QStringLiteral(" (%1-mal)").arg(counts.at(i));
    if (cut)
        lines << QStringLiteral("… und mehr, das nicht aufgehoben wurde.");
    return lines;
}

QString withLines(QString message, const QStringList& lines)
{
    if (lines.isEmpty())
        return message;
    message += QStringLiteral("\nlibmdb meldete:");
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), kShownErrorLines); ++i)
        message += QStringLiteral("\n  ") + lines.at(i);
    if (lines.size() > kShownErrorLines)
        message += QStringLiteral("\n  … und %1 weitere Meldungen.").arg(lines.size() - kShownErrorLines);
    return message;
}

// "10 Sekunden", "1 Sekunde", "0,5 Sekunden".
QString duration(std::chrono::milliseconds time)
{
    if (time.count() % 1000)
        return QStringLiteral("%1 Sekunden").arg(QLocale(QLocale::German).toString(double(time.count()) / 1000.0));
    const qint64 seconds = time.count() / 1000;
    return seconds == 1 ? QStringLiteral("1 Sekunde") : QStringLiteral("%1 Sekunden").arg(seconds);
}

bool ranOutOfMemory(const QByteArray& errors)
{
    return errors.contains("failed to allocate") || errors.contains("Cannot allocate memory") ||
           errors.contains("bad_alloc") || errors.contains("out of memory");
}

} // namespace

ReadResult readTable(const QString& path, const QString& table, const QList<Field>& fields, const Each& each,
                     const Limits& asked)
{
    const Limits limits = limitsFor(path, asked);
    const QString program = readerProgram();
    if (!QFileInfo(program).isExecutable())
        throw store::Error(QStringLiteral("Das Leseprogramm für Access-Dateien %1 fehlt; ohne es lassen sich "
                                          "Access-Dateien nicht lesen. Die Installation ist unvollständig.")
                               .arg(quotedName(program)));
    QStringList arguments{QFileInfo(path).absoluteFilePath(), table};
    for (const Field& field : fields)
        arguments << (field.numberAllowed ? QStringLiteral("n:") : QStringLiteral("t:")) + field.name;

    ReaderProcess reader(program, arguments, limits.time, limits.addressSpace);
    Messages messages(path, fields.size());
    QByteArray buffer;
    while (reader.read(buffer))
        messages.take(buffer, each);
    messages.take(buffer, each);
    const ReaderProcess::Ending ending = reader.finish();
    const QStringList lines = errorLines(reader.errors(), reader.errorsCut());
    const QString name = quotedName(path);

    if (messages.refusal)
        throw store::Error(withLines(*messages.refusal, lines));
    if (ending.timedOut || ending.signal == SIGXCPU)
        throw store::Error(withLines(
            QStringLiteral("Das Lesen der Access-Datei %1 war nach %2 noch nicht zu Ende und wurde abgebrochen; die "
                           "Datei ist wahrscheinlich beschädigt (libmdb liest manche beschädigte Datei ohne Ende).")
                .arg(name, duration(limits.time)),
            lines));
    if (ending.signal != 0 || ending.exitCode != 0) {
        if (ranOutOfMemory(reader.errors()))
            throw store::Error(withLines(
                QStringLiteral("Das Lesen der Access-Datei %1 brauchte mehr als %2 MiB Speicher und wurde "
                               "abgebrochen; die Datei ist wahrscheinlich beschädigt.")
                    .arg(name, QString::number(limits.addressSpace >> 20)),
                lines));
        const QString how = ending.signal ? QStringLiteral("mit dem Signal %1 (%2)")
                                                .arg(QString::number(ending.signal),
                                                     QString::fromLocal8Bit(strsignal(ending.signal)))
                                          : QStringLiteral("mit dem Status %1").arg(ending.exitCode);
        throw store::Error(withLines(QStringLiteral("Das Leseprogramm für Access-Dateien ist beim Lesen von %1 %2 "
                                                    "abgebrochen; die Datei ist wahrscheinlich beschädigt.")
                                         .arg(name, how),
                                     lines));
    }
    if (!messages.done || !messages.tableRows || *messages.done != messages.records || !buffer.isEmpty())
        throw store::Error(withLines(QStringLiteral("Das Leseprogramm für Access-Dateien hat das Lesen von %1 nicht "
                                                    "zu Ende gebracht.")
                                         .arg(name),
                                     lines));
    if (messages.records < *messages.tableRows)
        throw store::Error(withLines(
            QStringLiteral("Die Access-Datei %1 ist beschädigt: ihre Tabelle %2 zählt %3 Datensätze, lesbar sind "
                           "aber nur %4.")
                .arg(name, quotedName(table), QString::number(*messages.tableRows),
                     QString::number(messages.records)),
            lines));
    ReadResult result;
    result.records = messages.records;
    result.warnings = messages.warnings + lines;
    return result;
}

ReadResult readQuestionTable(const QString& path, const std::function<void(const Record&)>& each,
                             const Limits& limits)
{
    QList<Field> fields;
    for (const QString& name : store::fieldNames())
        fields.append({name, name == QLatin1String("Nummer") || name.startsWith(QLatin1String("Publikum"))});
    Record record;
    return readTable(
        path, store::kTable, fields,
        [&](std::span<const Value> values) {
            std::copy(values.begin(), values.end(), record.begin());
            each(record);
        },
        limits);
}

} // namespace jet
