// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An Access question file turned into a question file of this program, for a
// program that plays or shows it as it is (the game plays an Access file
// from such a copy). The Access file is only read.
#pragma once

#include <QString>

namespace quizdb {

// Makes the new question file `target` (there must be nothing there yet)
// with every record of the question table of the Access file `accessFile`,
// in table order and unchanged: values are not checked against the data
// model, so the copy plays as the Access file would. All or nothing: on any
// failure no file is left at `target`, and the store::Error thrown says why
// in German (not an Access file, unreadable or damaged, a hang or a limit of
// the reader, no question at all, a failed write). Returns the record count.
int questionFileFromAccess(const QString& accessFile, const QString& target);

} // namespace quizdb
