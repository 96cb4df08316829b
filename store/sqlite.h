// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one way into SQLite, for the store and for quizdb: the open
// file (sqlitefile.h), statements and transactions (sqlitestatement.h) and the
// words for failures (sqliteerror.h). Nothing above this layer calls SQLite
// itself or sees its header.
#pragma once

#include "store/sqliteerror.h"
#include "store/sqlitefile.h"
#include "store/sqlitestatement.h"
