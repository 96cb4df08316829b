// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a path is a regular file, asked before a question file or a CSV is
// opened: reading a pipe would wait for ever, a device would be read without end.
#pragma once

#include <QString>

namespace store {

// What `path` is when it is there but no regular file ("ein Verzeichnis",
// "eine benannte Pipe (FIFO)", "eine Gerätedatei", ...); the empty text for a
// regular file, or for a path where nothing is. A symbolic link counts as
// what it leads to.
QString irregularKind(const QString& path);

} // namespace store
