// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Separators and character sets of CSV files.
#include "tools/quizdb/csvdialect.h"

#include "tools/quizdb/csv.h"
#include "tools/quizdb/messages.h"

#include <array>
#include <cstring>

namespace quizdb {

namespace {

// The characters of Windows-1252 at 0x80 to 0x9F; 0 where it has none.
// From 0xA0 on it is ISO 8859-1, the first 256 characters of Unicode.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

} // namespace

char separatorByte(CsvDialect::Separator separator)
{
    switch (separator) {
    case CsvDialect::Separator::Semicolon:
        return ';';
    case CsvDialect::Separator::Tab:
        return '\t';
    default:
        return ',';
    }
}

QString separatorName(CsvDialect::Separator separator)
{
    switch (separator) {
    case CsvDialect::Separator::Semicolon:
        return QStringLiteral("Semikolon");
    case CsvDialect::Separator::Tab:
        return QStringLiteral("Tabulator");
    default:
        return QStringLiteral("Komma");
    }
}

QString encodingName(CsvDialect::Encoding encoding)
{
    return encoding == CsvDialect::Encoding::Windows1252 ? QStringLiteral("Windows-1252") : QStringLiteral("UTF-8");
}

CsvDialect::Separator separatorOf(QByteArrayView line)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted) {
            commas += c == ',';
            semicolons += c == ';';
            tabs += c == '\t';
        }
    }
    if (semicolons > commas && semicolons >= tabs)
        return CsvDialect::Separator::Semicolon;
    if (tabs > commas && tabs > semicolons)
        return CsvDialect::Separator::Tab;
    return CsvDialect::Separator::Comma;
}

std::optional<CsvDialect::Separator> separatorNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1StringView("komma"))
        return CsvDialect::Separator::Comma;
    if (n == QLatin1StringView("semikolon"))
        return CsvDialect::Separator::Semicolon;
    if (n == QLatin1StringView("tab"))
        return CsvDialect::Separator::Tab;
    return std::nullopt;
}

std::optional<CsvDialect::Encoding> encodingNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1StringView("utf-8"))
        return CsvDialect::Encoding::Utf8;
    if (n == QLatin1StringView("windows-1252"))
        return CsvDialect::Encoding::Windows1252;
    return std::nullopt;
}

unsigned char appendWindows1252(std::string& out, QByteArrayView text)
{
    for (const char byte : text) {
        const auto b = static_cast<unsigned char>(byte);
        const char16_t c = b < 0x80 || b >= 0xA0 ? char16_t(b) : kHigh[b - 0x80];
        if (c == 0 && b != 0)
            return b;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return 0;
}

// ---- the reader's side -----------------------------------------------------------

void CsvReader::findSeparator()
{
    m_separatorKind = m_dialect.separator;
    if (m_separatorKind == CsvDialect::Separator::Auto) {
        // The header is the first line that is not empty; it is in the bytes at hand.
        qsizetype p = m_begin;
        while (p < m_end && (m_buffer[p] == '\n' || m_buffer[p] == '\r'))
            ++p;
        m_separatorKind = separatorOf(QByteArrayView(m_buffer.constData() + p, m_end - p));
    }
    m_separator = separatorByte(m_separatorKind);
}

// A fault of the header, with the separator it was read with: a wrong one
// makes every header look wrong.
Error CsvReader::headerError(const CsvFault& fault) const
{
    const QString separator = separatorName(m_separatorKind);
    return Error(describeFault(m_name, fault) + QLatin1Char(' ') +
                 (m_dialect.separator == CsvDialect::Separator::Auto
                      ? QStringLiteral("(Als Trennzeichen gilt das der Kopfzeile: %1.)").arg(separator)
                      : QStringLiteral("(Als Trennzeichen ist %1 vorgegeben.)").arg(separator)));
}

// Lines of plain ASCII read alike in both character sets. The first line
// with other characters decides: UTF-8 when one of its values is valid UTF-8
// beyond ASCII (which text in Windows-1252 practically never is), else
// Windows-1252 when one is no valid UTF-8.
void CsvReader::decideEncoding(const Utf8Scan* scans, int count, int line)
{
    if (m_encoding != CsvDialect::Encoding::Auto)
        return;
    bool utf8 = false;
    bool other = false;
    for (int c = 0; c < count; ++c) {
        other = other || !scans[c].valid;
        utf8 = utf8 || (scans[c].valid && scans[c].codePoints != m_spans[c].size);
    }
    if (utf8 || other) {
        m_encoding = utf8 ? CsvDialect::Encoding::Utf8 : CsvDialect::Encoding::Windows1252;
        m_encodingLine = line;
    }
}

QString CsvReader::headerColumn(Span& span, const QString& number)
{
    const QByteArrayView bytes = unquoted(span);
    if (m_encoding != CsvDialect::Encoding::Windows1252)
        return store::textFromUtf8(bytes);
    std::string text;
    if (const unsigned char bad = appendWindows1252(text, bytes))
        throw Error(describeFault(m_name, {span.line, number,
                                           QStringLiteral("Das Byte 0x%1 ist in Windows-1252 kein Zeichen.")
                                               .arg(QString::number(bad, 16).toUpper())}));
    return QString::fromUtf8(text);
}

// The values of a record in Windows-1252 as UTF-8; those of plain ASCII stay
// where they are.
void CsvReader::convertRow(CsvRow& row, const Utf8Scan* scans, QList<CsvFault>& faults)
{
    struct Piece {
        int target = 0;
        size_t offset = 0;
        size_t size = 0;
        qsizetype characters = 0;
    };
    std::array<Piece, store::kFieldCount> pieces;
    int converted = 0;
    m_converted.clear();
    for (int c = 0; c < int(m_header.size()); ++c) {
        const RawValue& v = row.values[m_target[c]];
        if (scans[c].valid && !scans[c].nul && scans[c].codePoints == v.size)
            continue;
        if (std::memchr(v.data, 0, size_t(v.size))) {
            faults.append({m_spans[c].line, fieldName(c), QStringLiteral("Der Text enthält ein Nullzeichen.")});
            continue;
        }
        const size_t offset = m_converted.size();
        if (const unsigned char bad = appendWindows1252(m_converted, v.bytes())) {
            faults.append({m_spans[c].line, fieldName(c),
                           QStringLiteral("Das Byte 0x%1 ist in Windows-1252 kein Zeichen.")
                               .arg(QString::number(bad, 16).toUpper())});
            continue;
        }
        // One byte of Windows-1252 is one character.
        pieces[size_t(converted++)] = {m_target[c], offset, m_converted.size() - offset, v.size};
    }
    for (int i = 0; i < converted; ++i) {
        const Piece& p = pieces[size_t(i)];
        RawValue& v = row.values[p.target];
        v.data = m_converted.data() + p.offset;
        v.size = qsizetype(p.size);
        v.codePoints = p.characters;
    }
}

QString CsvReader::howRead() const
{
    const QString separator = QStringLiteral("Trennzeichen %1 (%2)")
                                  .arg(separatorName(m_separatorKind),
                                       m_dialect.separator == CsvDialect::Separator::Auto
                                           ? QStringLiteral("aus der Kopfzeile")
                                           : QStringLiteral("vorgegeben"));
    QString encoding;
    if (m_dialect.encoding != CsvDialect::Encoding::Auto)
        encoding = QStringLiteral("Zeichensatz %1 (vorgegeben)").arg(encodingName(m_dialect.encoding));
    else if (m_bom)
        encoding = QStringLiteral("Zeichensatz UTF-8 (mit Byte-Order-Mark)");
    else if (m_encoding == CsvDialect::Encoding::Utf8)
        encoding = QStringLiteral("Zeichensatz UTF-8 (erkannt an Zeile %1)").arg(m_encodingLine);
    else if (m_encoding == CsvDialect::Encoding::Windows1252)
        encoding = QStringLiteral("Zeichensatz Windows-1252 (erkannt an Zeile %1, die kein gültiges UTF-8 ist)")
                       .arg(m_encodingLine);
    else
        encoding = QStringLiteral("nur ASCII-Zeichen (in UTF-8 und Windows-1252 gleich)");
    return separator + QStringLiteral(", ") + encoding;
}

} // namespace quizdb
