// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the CSV that create and import read.
#include "tools/quizdb/csvinput.h"

#include "tools/quizdb/commands.h"
#include "tools/quizdb/messages.h"
#include "tools/quizdb/questionfile.h"

#include <QFileInfo>
#include <unistd.h>

namespace quizdb {

CsvInput::CsvInput(const QString& path)
{
    if (path == kStandardInput) {
        if (!m_file.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw Error(QStringLiteral("Die Standardeingabe lässt sich nicht lesen: %1").arg(m_file.errorString()));
        m_name = QStringLiteral("Standardeingabe");
        m_subject = QStringLiteral("Die Standardeingabe");
        return;
    }
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("Die CSV-Datei %1 gibt es nicht.").arg(quoted(path)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine CSV-Datei.").arg(quoted(path)));
    if (const QString kind = irregularKind(path); !kind.isEmpty())
        throw Error(QStringLiteral("%1 ist %2, keine gewöhnliche Datei. Was ein anderes Programm ausgibt, liest %3 "
                                   "mit „-“ statt des Dateinamens von der Standardeingabe.")
                        .arg(quoted(path), kind, programName()));
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("Die CSV-Datei %1 lässt sich nicht lesen: %2").arg(quoted(path), m_file.errorString()));
    m_name = info.fileName();
    m_subject = QStringLiteral("Die CSV-Datei %1").arg(quoted(path));
    m_size = info.size();
}

} // namespace quizdb
