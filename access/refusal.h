// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's refusals in words a user can act on.
#pragma once

#include "access/protocol.h"

#include <QString>

namespace jet {

// A name in a message, in German quotation marks: „name“.
QString quotedName(const QString& name);

// The sentence that says why the Access file `file` cannot be read.
QString refusalText(const QString& file, protocol::Refusal why, const QString& first, const QString& second);

} // namespace jet
