// CSV reading and writing for question records.
#include "tools/quizdb/csv.h"

#include "store/store.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace quizdb {

namespace {

// One field as it stands in the file, before decoding.
struct RawField {
    QByteArray bytes;
    bool quoted = false;
    int line = 0;
};

struct RawRow {
    int line = 0;
    QList<RawField> fields;
};

// Splits the bytes into rows of fields by RFC 4180. `columnName` names a
// column for messages once the header is known.
class Splitter {
public:
    Splitter(const QByteArray& data, QString name) : m_data(data), m_name(std::move(name))
    {
        if (m_data.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }

    bool atEnd() const { return m_pos >= m_data.size(); }

    // Reads the next row; an empty line is skipped (it can never be a record of
    // thirteen fields). Returns false at the end of the data.
    bool next(RawRow& row, const QStringList& header)
    {
        for (;;) {
            if (atEnd())
                return false;
            row = RawRow{};
            row.line = m_line;
            readRow(row, header);
            const bool blank = row.fields.size() == 1 && !row.fields[0].quoted && row.fields[0].bytes.isEmpty();
            if (!blank)
                return true;
        }
    }

    [[noreturn]] void fail(int line, const QStringList& header, int column, const QString& what) const
    {
        QString where = QStringLiteral("%1, Zeile %2").arg(m_name).arg(line);
        if (column >= 0) {
            if (column < header.size())
                where += QStringLiteral(", Feld %1").arg(quoted(header.at(column)));
            else
                where += QStringLiteral(", Feld %1").arg(column + 1);
        }
        throw Error(where + QStringLiteral(": ") + what);
    }

private:
    void readRow(RawRow& row, const QStringList& header)
    {
        const qsizetype n = m_data.size();
        for (;;) {
            RawField field;
            field.line = m_line;
            const int column = int(row.fields.size());
            if (m_pos < n && m_data[m_pos] == '"') {
                field.quoted = true;
                ++m_pos;
                for (;;) {
                    if (m_pos >= n)
                        fail(field.line, header, column,
                             QStringLiteral("Das Anführungszeichen am Anfang des Feldes wird bis zum Dateiende nicht "
                                            "geschlossen."));
                    const char c = m_data[m_pos];
                    if (c == '"') {
                        if (m_pos + 1 < n && m_data[m_pos + 1] == '"') {
                            field.bytes += '"';
                            m_pos += 2;
                            continue;
                        }
                        ++m_pos;
                        break;
                    }
                    if (c == '\n')
                        ++m_line;
                    field.bytes += c;
                    ++m_pos;
                }
                if (m_pos < n && m_data[m_pos] != ',' && m_data[m_pos] != '\n'
                    && !(m_data[m_pos] == '\r' && m_pos + 1 < n && m_data[m_pos + 1] == '\n'))
                    fail(m_line, header, column,
                         QStringLiteral("Nach dem schließenden Anführungszeichen folgt noch Text; ein Anführungszeichen "
                                        "im Text wird verdoppelt (\"\")."));
            } else {
                const qsizetype start = m_pos;
                while (m_pos < n) {
                    const char c = m_data[m_pos];
                    if (c == ',' || c == '\n')
                        break;
                    if (c == '\r') {
                        if (m_pos + 1 < n && m_data[m_pos + 1] == '\n')
                            break;
                        fail(m_line, header, column,
                             QStringLiteral("Einzelnes Wagenrücklaufzeichen (CR) im Feld; Zeilenumbrüche im Text "
                                            "gehören in Anführungszeichen."));
                    }
                    if (c == '"')
                        fail(m_line, header, column,
                             QStringLiteral("Anführungszeichen mitten im Feld; ein Feld mit Anführungszeichen steht "
                                            "ganz in Anführungszeichen, das Zeichen selbst verdoppelt (\"\")."));
                    ++m_pos;
                }
                field.bytes = m_data.mid(start, m_pos - start);
            }
            row.fields.append(field);
            if (m_pos >= n)
                return;
            if (m_data[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            // End of the row: LF or CRLF.
            m_pos += m_data[m_pos] == '\r' ? 2 : 1;
            ++m_line;
            return;
        }
    }

    const QByteArray& m_data;
    QString m_name;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            const unsigned cc = p[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

QList<CsvRecord> parseCsv(const QByteArray& data, const QString& name)
{
    Splitter splitter(data, name);
    const QStringList& fields = store::fieldNames();

    auto decode = [&](const RawField& f, int line, const QStringList& header, int column) {
        if (!isValidUtf8(f.bytes))
            splitter.fail(f.line ? f.line : line, header, column,
                          QStringLiteral("Der Text ist kein gültiges UTF-8; bitte die Datei als UTF-8 speichern."));
        if (f.bytes.contains('\0'))
            splitter.fail(f.line ? f.line : line, header, column, QStringLiteral("Der Text enthält ein Nullzeichen."));
        // Only a byte order mark at the start of the whole file is one (the
        // Splitter skips it); at the start of a field it is the value's first character.
        return store::textFromUtf8(f.bytes);
    };

    // The header: each of the thirteen field names exactly once, in any order.
    RawRow row;
    if (!splitter.next(row, {}))
        throw Error(QStringLiteral("%1: Die Datei ist leer; es fehlt schon die Kopfzeile mit den Feldnamen %2.")
                        .arg(name, fields.join(QStringLiteral(", "))));
    QStringList header;
    for (int c = 0; c < row.fields.size(); ++c) {
        const QString column = decode(row.fields[c], row.line, {}, c);
        if (!fields.contains(column))
            splitter.fail(row.line, {}, -1,
                          QStringLiteral("Unbekannte Spalte %1 in der Kopfzeile; erlaubt sind genau %2.")
                              .arg(quoted(column), fields.join(QStringLiteral(", "))));
        if (header.contains(column))
            splitter.fail(row.line, {}, -1,
                          QStringLiteral("Die Spalte %1 steht zweimal in der Kopfzeile.").arg(quoted(column)));
        header.append(column);
    }
    for (const QString& f : fields)
        if (!header.contains(f))
            splitter.fail(row.line, {}, -1, QStringLiteral("Der Kopfzeile fehlt die Spalte %1.").arg(quoted(f)));

    QList<int> target; // column in the file -> index in table order
    for (const QString& column : header)
        target.append(int(fields.indexOf(column)));

    QList<CsvRecord> records;
    while (splitter.next(row, header)) {
        const int count = int(row.fields.size());
        if (count < header.size())
            splitter.fail(row.line, header, count,
                          QStringLiteral("Die Zeile hat nur %1 von %2 Feldern; dieses Feld und die folgenden fehlen.")
                              .arg(count)
                              .arg(header.size()));
        if (count > header.size())
            splitter.fail(row.fields[header.size()].line, header, -1,
                          QStringLiteral("Die Zeile hat %1 statt %2 Feldern; nach dem Feld %3 steht noch etwas.")
                              .arg(count)
                              .arg(header.size())
                              .arg(quoted(header.last())));
        CsvRecord rec;
        rec.line = row.line;
        rec.values = QList<Value>(fields.size());
        rec.fieldLines = QList<int>(fields.size(), row.line);
        for (int c = 0; c < count; ++c) {
            const RawField& f = row.fields[c];
            const int t = target[c];
            rec.fieldLines[t] = f.line;
            if (f.quoted || !f.bytes.isEmpty())
                rec.values[t] = decode(f, row.line, header, c);
        }
        records.append(rec);
    }
    return records;
}

QList<CsvRecord> readCsvFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("Die CSV-Datei %1 gibt es nicht.").arg(quoted(path)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine CSV-Datei.").arg(quoted(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Die CSV-Datei %1 lässt sich nicht lesen: %2").arg(quoted(path), file.errorString()));
    // Read one byte more than allowed: a special file reports no size, so the
    // limit is checked on what actually arrives.
    const QByteArray data = file.read(kMaxCsvBytes + 1);
    if (data.size() > kMaxCsvBytes)
        throw Error(QStringLiteral("Die CSV-Datei %1 ist größer als %2 MiB; so viele Fragen kann sie nicht enthalten.")
                        .arg(quoted(path))
                        .arg(kMaxCsvBytes / (1024 * 1024)));
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Die CSV-Datei %1 lässt sich nicht lesen: %2").arg(quoted(path), file.errorString()));
    return parseCsv(data, info.fileName());
}

namespace {
QByteArray csvField(const Value& value)
{
    if (!value)
        return {};
    const QByteArray bytes = value->toUtf8();
    if (bytes.isEmpty())
        return QByteArrayLiteral("\"\"");
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
        QByteArray out = bytes;
        out.replace('"', QByteArrayLiteral("\"\""));
        return '"' + out + '"';
    }
    return bytes;
}
} // namespace

QByteArray csvHeader()
{
    QList<Value> names;
    for (const QString& f : store::fieldNames())
        names.append(f);
    return csvLine(names);
}

QByteArray csvLine(const QList<Value>& values)
{
    QByteArray line;
    for (int i = 0; i < values.size(); ++i) {
        if (i)
            line += ',';
        line += csvField(values[i]);
    }
    return line + QByteArrayLiteral("\r\n");
}

} // namespace quizdb
