// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/accesscopy.h"

#include "access/accessfile.h"
#include "store/store.h"
#include "tools/quizdb/fromaccess.h"

#include <QDir>
#include <QSet>

namespace {

// The folders of the copies still there when the program ends by exit() (the
// end of a game, a failed start-up), which runs no destructor of the game
// window: they go with the program all the same.
struct Leftovers {
    QSet<QString> folders;
    ~Leftovers()
    {
        for (const QString& folder : std::as_const(folders))
            QDir(folder).removeRecursively();
    }
};

Leftovers& leftovers()
{
    static Leftovers left;
    return left;
}

} // namespace

AccessCopy::AccessCopy(const QString& accessFile)
    : m_folder(QDir::tempPath() + QStringLiteral("/plomberg-quiz-XXXXXX"))
{
    if (!m_folder.isValid())
        throw store::Error(QStringLiteral("Für die Access-Datei „%1“ lässt sich keine Kopie zum Spielen anlegen: %2")
                               .arg(QDir::toNativeSeparators(accessFile), m_folder.errorString()));
    leftovers().folders.insert(m_folder.path());
    m_path = m_folder.filePath(store::kFileName);
    quizdb::questionFileFromAccess(accessFile, m_path);
}

AccessCopy::~AccessCopy()
{
    leftovers().folders.remove(m_folder.path()); // the folder goes with m_folder
}

bool AccessCopy::needed(const QString& questionFile)
{
    return jet::isAccessFile(questionFile);
}
