// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/chars.h"

namespace store {

namespace {

// Where the character that starts at `i` ends.
qsizetype nextChar(QStringView text, qsizetype i)
{
    return i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate() ? i + 2 : i + 1;
}

} // namespace

qsizetype charCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i = nextChar(text, i))
        ++count;
    return count;
}

QStringView leftChars(QStringView text, qsizetype limit)
{
    if (text.size() <= limit) // never more characters than UTF-16 units
        return text;
    qsizetype end = 0;
    for (qsizetype count = 0; end < text.size() && count < limit; ++count)
        end = nextChar(text, end);
    return text.first(end);
}

} // namespace store
