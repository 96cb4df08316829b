// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/boxtext.h"

#include "store/chars.h"

#include <QLocale>
#include <string>

namespace editor {

double readNumber(const QString& text)
{
    std::string s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        // Only the characters a number can be made of matter; anything else ends it.
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x7f');
    }

    const auto isDigit = [](char c, int base) {
        if (base == 8)
            return c >= '0' && c <= '7';
        if (base == 16)
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        return c >= '0' && c <= '9';
    };

    // &H hexadecimal, &O octal.
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        double value = 0;
        for (size_t i = 2; i < s.size() && isDigit(s[i], base); ++i) {
            const char c = s[i];
            const int digit = (c >= '0' && c <= '9') ? c - '0' : (c | 0x20) - 'a' + 10;
            value = value * base + digit;
        }
        return value;
    }

    // Sign, digits, "." and decimals, exponent: the longest leading number.
    size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool anyDigit = false;
    while (i < s.size() && isDigit(s[i], 10)) {
        number.push_back(s[i++]);
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        std::string decimals;
        while (j < s.size() && isDigit(s[j], 10))
            decimals.push_back(s[j++]);
        if (anyDigit || !decimals.empty()) {
            number += '.' + decimals;
            anyDigit = anyDigit || !decimals.empty();
            i = j;
        }
    }
    if (!anyDigit)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigit = false;
        while (j < s.size() && isDigit(s[j], 10)) {
            exponent.push_back(s[j++]);
            expDigit = true;
        }
        if (expDigit)
            number += exponent;
    }
    // Not strtod: it takes the decimal point from the C library's locale, which
    // QApplication sets from the environment, so "12.5" would be 12 on a German
    // desktop. The C locale's reading is "." everywhere; beyond the range of a
    // double it gives infinity or 0, as strtod does.
    return QLocale::c().toDouble(QLatin1String(number.data(), qsizetype(number.size())));
}

QString leftChars(const QString& text, int limit)
{
    QString cut = store::leftChars(text, limit).toString();
    if (cut.isNull())
        cut = QString::fromLatin1("", 0); // an empty box writes the empty text, never "no value"
    return cut;
}

} // namespace editor
