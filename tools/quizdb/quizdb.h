// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question-file tool: makes question files from CSV, appends CSV records to
// them, writes them out as CSV and lists the records that the game cannot play.
// This header gathers its parts: the CSV reader and writer (csv.h), the data
// model (model.h), the commands (commands.h) and the command line (commandline.h).
#pragma once

#include "tools/quizdb/commandline.h"
#include "tools/quizdb/commands.h"
#include "tools/quizdb/csv.h"
#include "tools/quizdb/model.h"
