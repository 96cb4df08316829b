// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV that create and import read: a regular file, or standard input.
#pragma once

#include <QFile>
#include <QString>

namespace quizdb {

// The CSV to read: a regular file, or standard input for kStandardInput. Opening it
// refuses what is not there and what is no regular file, in German.
class CsvInput {
public:
    explicit CsvInput(const QString& path);

    QIODevice& device() { return m_file; }
    // The name that fault lines begin with.
    const QString& name() const { return m_name; }
    // The input as the subject of a sentence.
    const QString& subject() const { return m_subject; }
    // Bytes in all; -1 when not known beforehand.
    qint64 size() const { return m_size; }

private:
    QFile m_file;
    QString m_name;
    QString m_subject;
    qint64 m_size = -1;
};

} // namespace quizdb
