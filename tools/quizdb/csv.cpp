// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CSV reading and writing for question records.
#include "tools/quizdb/csv.h"

#include <cstring>

namespace quizdb {

namespace {

// Bytes asked of the device at a time; the buffer grows beyond this only for a
// line that does not fit, up to kMaxLineBytes.
constexpr qsizetype kChunk = 128 * 1024;

const QString kLoneCr = QStringLiteral("Einzelnes Wagenrücklaufzeichen (CR) im Feld; Zeilenumbrüche im Text "
                                       "gehören in Anführungszeichen.");
const QString kNotUtf8 = QStringLiteral("Der Text ist kein gültiges UTF-8; bitte die Datei als UTF-8 speichern.");
const QString kNul = QStringLiteral("Der Text enthält ein Nullzeichen.");

} // namespace

QString describeFault(const QString& name, const CsvFault& fault)
{
    QString where = QStringLiteral("%1, Zeile %2").arg(name, QString::number(fault.line));
    if (!fault.field.isEmpty())
        where += QStringLiteral(", Feld ") + fault.field;
    return where + QStringLiteral(": ") + fault.text;
}

CsvReader::CsvReader(QIODevice& device, QString name, CsvDialect dialect)
    : m_device(device), m_name(std::move(name)), m_dialect(dialect)
{
    // A small input (a text in memory, a short file) gets a buffer of its size.
    const qint64 known = m_device.isSequential() ? kChunk : m_device.size() - m_device.pos() + 1;
    m_buffer.resize(qBound<qint64>(16, known, kChunk));
    const QStringList& fields = store::fieldNames();
    const QString all = fields.join(QStringLiteral(", "));

    // A byte order mark at the very start of the file is no part of the text,
    // and says that the text is UTF-8.
    while (m_end < 3 && !m_atEnd)
        refill();
    if (dialect.encoding != CsvDialect::Encoding::Auto)
        m_encoding = dialect.encoding;
    if (dialect.encoding != CsvDialect::Encoding::Windows1252
        && QByteArrayView(m_buffer.constData(), m_end).startsWith("\xEF\xBB\xBF")) {
        m_begin = 3;
        m_bom = true;
        m_encoding = CsvDialect::Encoding::Utf8;
    }
    findSeparator();

    // The header: the first line that is not empty.
    Scan scan;
    for (;;) {
        while ((scan = scanLine()) == Scan::NeedMore)
            if (!refill())
                throw headerError(m_fault);
        if (scan == Scan::Fault)
            throw headerError(m_fault);
        if (m_begin >= m_end && m_atEnd)
            throw Error(QStringLiteral("%1: Die Datei ist leer; es fehlt schon die Kopfzeile mit den Feldnamen %2.")
                            .arg(m_name, all));
        if (m_count == 1 && !m_spans[0].quoted && m_spans[0].size == 0) {
            skipLine();
            continue;
        }
        break;
    }

    const int headerLine = m_line;
    auto fail = [&](int line, const QString& column, const QString& text) {
        throw headerError({line, column, text});
    };
    const int columns = std::min<int>(m_count, int(m_spans.size()));
    std::array<Utf8Scan, store::kFieldCount + 1> scans;
    for (int c = 0; c < columns; ++c) {
        const QByteArrayView bytes = unquoted(m_spans[c]);
        scans[c] = scanUtf8(bytes.data(), bytes.size());
    }
    decideEncoding(scans.data(), columns, headerLine);
    for (int c = 0; c < columns; ++c) {
        const QString number = QString::number(c + 1);
        if (m_encoding != CsvDialect::Encoding::Windows1252 && (!scans[c].valid || scans[c].nul))
            fail(m_spans[c].line, number, scans[c].valid ? kNul : kNotUtf8);
        const QString column = headerColumn(m_spans[c], number);
        if (!fields.contains(column))
            fail(headerLine, {}, QStringLiteral("Unbekannte Spalte %1 in der Kopfzeile; erlaubt sind genau %2.").arg(quoted(column), all));
        if (m_header.contains(column))
            fail(headerLine, {}, QStringLiteral("Die Spalte %1 steht zweimal in der Kopfzeile.").arg(quoted(column)));
        m_header.append(column);
    }
    // More columns than fields always holds an unknown or a doubled one among
    // the first fourteen, so the loop above has refused it.
    for (const QString& f : fields)
        if (!m_header.contains(f))
            fail(headerLine, {}, QStringLiteral("Der Kopfzeile fehlt die Spalte %1.").arg(quoted(f)));
    for (const QString& column : m_header)
        m_target.push_back(int(fields.indexOf(column)));
    skipLine();
}

QString CsvReader::fieldName(int column) const
{
    return column < m_header.size() ? quoted(m_header.at(column)) : QString::number(column + 1);
}

CsvReader::Scan CsvReader::needMore(int column, int line, bool quoted)
{
    m_pendingColumn = column;
    m_pendingLine = line;
    m_pendingQuoted = quoted;
    return Scan::NeedMore;
}

CsvReader::Scan CsvReader::fault(int line, int column, const QString& text)
{
    m_fault = {line, fieldName(column), text};
    return Scan::Fault;
}

// Finds the fields of the line at m_begin in the bytes at hand. NeedMore when
// the line (or the one character that decides how it goes on) is not all there yet.
CsvReader::Scan CsvReader::scanLine()
{
    const char* d = m_buffer.constData();
    const qsizetype n = m_end;
    const bool atEnd = m_atEnd;
    const char sep = m_separator;
    qsizetype pos = m_begin;
    int line = m_line;
    m_count = 0;
    for (;;) {
        Span span;
        span.line = line;
        const int column = m_count;
        if (pos < n && d[pos] == '"') {
            span.quoted = true;
            span.start = ++pos;
            for (;;) {
                while (pos < n && d[pos] != '"') {
                    if (d[pos] == '\n')
                        ++line;
                    ++pos;
                }
                if (pos >= n) {
                    if (!atEnd)
                        return needMore(column, span.line, span.quoted);
                    return fault(span.line, column,
                                 QStringLiteral("Das Anführungszeichen am Anfang des Feldes wird bis zum Dateiende nicht "
                                                "geschlossen."));
                }
                if (pos + 1 >= n && !atEnd)
                    return needMore(column, span.line, span.quoted);
                if (pos + 1 < n && d[pos + 1] == '"') {
                    span.doubledQuotes = true;
                    pos += 2;
                    continue;
                }
                break;
            }
            span.size = pos - span.start;
            ++pos; // the closing quote
            if (pos < n && d[pos] != sep && d[pos] != '\n') {
                if (d[pos] != '\r')
                    return fault(line, column,
                                 QStringLiteral("Nach dem schließenden Anführungszeichen folgt noch Text; ein "
                                                "Anführungszeichen im Text wird verdoppelt (\"\")."));
                if (pos + 1 >= n && !atEnd)
                    return needMore(column, span.line, span.quoted);
                if (pos + 1 >= n || d[pos + 1] != '\n')
                    return fault(line, column,
                                 QStringLiteral("Nach dem schließenden Anführungszeichen steht ein einzelnes "
                                                "Wagenrücklaufzeichen (CR) ohne Zeilenvorschub (LF); eine Zeile endet "
                                                "mit CRLF oder LF, ein Zeilenumbruch im Text gehört in die "
                                                "Anführungszeichen."));
            }
        } else {
            span.start = pos;
            while (pos < n) {
                const char c = d[pos];
                if (c == sep || c == '\n')
                    break;
                if (c == '\r') {
                    if (pos + 1 >= n && !atEnd)
                        return needMore(column, span.line, span.quoted);
                    if (pos + 1 < n && d[pos + 1] == '\n')
                        break;
                    return fault(line, column, kLoneCr);
                }
                if (c == '"')
                    return fault(line, column,
                                 QStringLiteral("Anführungszeichen mitten im Feld; ein Feld mit Anführungszeichen steht "
                                                "ganz in Anführungszeichen, das Zeichen selbst verdoppelt (\"\")."));
                ++pos;
            }
            if (pos >= n && !atEnd)
                return needMore(column, span.line, span.quoted);
            span.size = pos - span.start;
        }
        if (m_count < int(m_spans.size()))
            m_spans[m_count] = span;
        ++m_count;
        if (pos >= n) { // the last line of the file, without a line break
            m_lineEnd = pos;
            m_nextLine = line;
            return Scan::Complete;
        }
        if (d[pos] == sep) {
            ++pos;
            continue;
        }
        pos += d[pos] == '\r' ? 2 : 1; // LF or CRLF
        m_lineEnd = pos;
        m_nextLine = line + 1;
        return Scan::Complete;
    }
}

// Moves the unread bytes to the front and reads more behind them; grows the
// buffer when one line fills it. False (with m_fault set) for a line longer
// than kMaxLineBytes.
bool CsvReader::refill()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) {
        if (m_buffer.size() >= kMaxLineBytes) {
            const QString mib = QString::number(kMaxLineBytes / (1024 * 1024));
            m_fault = {m_pendingLine, fieldName(m_pendingColumn),
                       m_pendingQuoted
                           ? QStringLiteral("Das Anführungszeichen am Anfang des Feldes wird auf %1 MiB nicht "
                                            "geschlossen; so lang ist kein Datensatz. Ab hier wird die Datei nicht "
                                            "weiter gelesen.")
                                 .arg(mib)
                           : QStringLiteral("Die Zeile ist hier schon länger als %1 MiB; so lang ist kein Datensatz. "
                                            "Ab hier wird die Datei nicht weiter gelesen.")
                                 .arg(mib)};
            return false;
        }
        m_buffer.resize(std::min(m_buffer.size() * 2, kMaxLineBytes));
    }
    // The buffer is filled up (or the input ends): a pipe that hands out a few
    // bytes at a time must not make a long line be scanned again for each.
    while (m_end < m_buffer.size()) {
        const qint64 got = m_device.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got < 0)
            throw Error(QStringLiteral("%1 lässt sich nicht weiter lesen: %2").arg(m_name, m_device.errorString()));
        if (got == 0) {
            m_atEnd = true;
            break;
        }
        m_end += got;
        m_read += got;
    }
    return true;
}

void CsvReader::skipLine()
{
    m_begin = m_lineEnd;
    m_line = m_nextLine;
}

// The field's bytes with the quotes taken off; doubled quotes are made single
// in place (the line is scanned and will not be scanned again).
QByteArrayView CsvReader::unquoted(Span& span)
{
    char* d = m_buffer.data() + span.start;
    if (span.doubledQuotes) {
        qsizetype to = 0;
        for (qsizetype from = 0; from < span.size; ++from, ++to) {
            d[to] = d[from];
            if (d[from] == '"')
                ++from; // the second of the pair
        }
        span.size = to;
        span.doubledQuotes = false;
    }
    return {d, span.size};
}

CsvReader::Result CsvReader::next(CsvRow& row, QList<CsvFault>& faults)
{
    Scan scan;
    for (;;) {
        if (m_begin >= m_end) {
            if (m_atEnd)
                return Result::End;
            if (!refill()) {
                faults.append(m_fault);
                return Result::Stopped;
            }
            continue;
        }
        scan = scanLine();
        if (scan == Scan::NeedMore) {
            if (!refill()) {
                faults.append(m_fault);
                return Result::Stopped;
            }
            continue;
        }
        if (scan == Scan::Fault) {
            faults.append(m_fault);
            return Result::Stopped;
        }
        // An empty line is skipped: it can never be a record of thirteen fields.
        if (m_count == 1 && !m_spans[0].quoted && m_spans[0].size == 0) {
            skipLine();
            continue;
        }
        break;
    }

    row.line = m_line;
    row.values = {}; // a line of the wrong length has no values
    const int expected = int(m_header.size());
    if (m_count < expected) {
        faults.append({m_line, fieldName(m_count),
                       QStringLiteral("Die Zeile hat nur %1 von %2 Feldern; dieses Feld und die folgenden fehlen.")
                           .arg(QString::number(m_count), QString::number(expected))});
    } else if (m_count > expected) {
        faults.append({m_spans[expected].line, {},
                       QStringLiteral("Die Zeile hat %1 statt %2 Feldern; nach dem Feld %3 steht noch etwas.")
                           .arg(QString::number(m_count), QString::number(expected), quoted(m_header.last()))});
    } else {
        std::array<Utf8Scan, store::kFieldCount> scans;
        for (int c = 0; c < expected; ++c) {
            Span& span = m_spans[c];
            RawValue& value = row.values[m_target[c]];
            row.lines[m_target[c]] = span.line;
            const QByteArrayView bytes = unquoted(span);
            value.data = bytes.data();
            value.size = bytes.size();
            value.null = !span.quoted && bytes.isEmpty();
            scans[c] = scanUtf8(bytes.data(), bytes.size());
            value.codePoints = scans[c].codePoints;
        }
        decideEncoding(scans.data(), expected, m_line);
        if (m_encoding == CsvDialect::Encoding::Windows1252)
            convertRow(row, scans.data(), faults);
        else
            for (int c = 0; c < expected; ++c)
                if (!scans[c].valid || scans[c].nul)
                    faults.append({m_spans[c].line, fieldName(c), scans[c].valid ? kNul : kNotUtf8});
    }
    skipLine();
    return Result::Record;
}

} // namespace quizdb
