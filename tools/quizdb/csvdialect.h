// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ways spreadsheets save CSV: the separator (comma, semicolon or tab) and
// the character set (UTF-8, with or without a byte-order mark, or
// Windows-1252, the German default of older spreadsheets).
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>
#include <string>

namespace quizdb {

struct CsvDialect {
    // Auto: read from the header line.
    enum class Separator { Auto, Comma, Semicolon, Tab };
    // Auto: UTF-8 with a byte-order mark; else UTF-8 unless the first line
    // with other characters than ASCII is no valid UTF-8, then Windows-1252.
    enum class Encoding { Auto, Utf8, Windows1252 };
    // The plain form: comma and UTF-8 (RFC 4180).
    Separator separator = Separator::Comma;
    Encoding encoding = Encoding::Utf8;
};

// The separator as a byte: ',', ';' or '\t'.
char separatorByte(CsvDialect::Separator separator);
// Its name in messages: "Komma", "Semikolon", "Tabulator".
QString separatorName(CsvDialect::Separator separator);
// The character set's name in messages: "UTF-8", "Windows-1252".
QString encodingName(CsvDialect::Encoding encoding);

// The separator of a header line: the one of comma, semicolon and tab that
// stands most often outside quotes; comma when there is none.
CsvDialect::Separator separatorOf(QByteArrayView line);

// The values of the command-line options: "komma", "semikolon", "tab";
// "utf-8", "windows-1252" (upper or lower case). nullopt for anything else.
std::optional<CsvDialect::Separator> separatorNamed(const QString& name);
std::optional<CsvDialect::Encoding> encodingNamed(const QString& name);

// Appends Windows-1252 text as UTF-8. The five bytes that Windows-1252 leaves
// without a character are refused: returns the first of them, or 0 when all
// were converted.
unsigned char appendWindows1252(std::string& out, QByteArrayView text);

} // namespace quizdb
