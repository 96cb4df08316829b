// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the editor reads the text of a record box: cut to a field's length, and
// counted as a number for the audience check. Pure functions on text.
#pragma once

#include <QString>

namespace editor {

// The number an audience box counts as: blanks, tabs and line feeds are
// dropped, then the longest leading number is read (optional sign, digits,
// "." and decimals, exponent; or &H hex / &O octal). No number counts 0.
double readNumber(const QString& text);

// The first `limit` characters of `text` (a character outside the basic
// plane counts once and is never split); never a null string.
QString leftChars(const QString& text, int limit);

} // namespace editor
