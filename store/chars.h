// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Characters as the editor, the game and quizdb count them wherever a text is
// cut or held to a length: Unicode code points. A character outside the basic
// plane (a surrogate pair) counts once and is never split; a lone surrogate
// counts as one character. (quizdb's scanUtf8 counts raw UTF-8 bytes the same way.)
#pragma once

#include <QStringView>

namespace store {

// The characters of a text.
qsizetype charCount(QStringView text);

// The first `limit` characters of `text`; all of it when it has no more.
QStringView leftChars(QStringView text, qsizetype limit);

} // namespace store
