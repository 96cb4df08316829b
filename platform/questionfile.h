// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which question file the game plays. Resolved once, when the program starts;
// the game window gets the path and hands it on to the editor, so that both
// always work on the same file.
#pragma once

#include <QString>

namespace platform {

// The question file to play, the first of:
//   1. `commandLineFile`, the file named on the command line, made absolute;
//   2. the file `name` beside the executable, when it is there (a build
//      folder, an unpacked folder);
//   3. the player's own `name` in the per-user data folder
//      (~/.local/share/plomberg-quiz); on the first start it is copied there
//      from the default an installed game ships, which is never written.
// When a test has set the program directory, only that directory counts.
// Found nowhere: the path where the player's file is expected, the per-user
// one for an installed game, the one beside the executable otherwise.
// The only place that copies the installed default: call it once.
QString resolveQuestionFile(const QString& commandLineFile, const QString& name);

// Where a player gets a question file `name` when the game cannot use
// `questionFile`, as the failed start-up names it: the default an installed
// game ships (its path), else the plomberg-quizdb command that makes
// `questionFile` from CSV.
QString questionSource(const QString& questionFile, const QString& name);

} // namespace platform
