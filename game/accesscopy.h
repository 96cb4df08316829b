// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An Access question file as the game plays it: read once, at start-up, into
// a private copy in the program's own format, in a folder of the game's own
// that goes when the game ends. The Access file itself is only ever read.
#pragma once

#include <QString>
#include <QTemporaryDir>

class AccessCopy {
public:
    // Reads the question table of the Access file `accessFile` into the copy.
    // Throws store::Error naming the cause when it cannot be read (a damaged
    // or encrypted file, no question table, a reader that hangs or runs out
    // of memory) or the copy cannot be made; nothing is left behind then.
    explicit AccessCopy(const QString& accessFile);
    ~AccessCopy();
    AccessCopy(const AccessCopy&) = delete;
    AccessCopy& operator=(const AccessCopy&) = delete;

    // The copy, a question file of this program.
    QString path() const { return m_path; }

    // Whether the game plays `questionFile` from a copy: an Access file,
    // known by its first bytes, whatever its name.
    static bool needed(const QString& questionFile);

private:
    QTemporaryDir m_folder; // readable by this user only
    QString m_path;
};
