// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's edit button: opens the question editor modally.
#include "game/frmQuiz.h"

#include "editor/frmEditor.h"
#include "game/accesscopy.h"
#include "platform/platform.h"

#include <QLabel>

void frmQuiz::cmdEdit_Click()
{
    // One editor window, created on first use and loaded afresh at every opening.
    // It has no owner window; it goes with the game window, and works on the
    // game's question file: on an Access file it shows the game's copy of it,
    // for reading only.
    if (!m_editor)
        m_editor = m_accessCopy ? std::make_unique<frmEditor>(m_questionFile, m_accessCopy->path())
                                : std::make_unique<frmEditor>(m_questionFile);

    try {
        m_editor->Form_Load();
    } catch (const store::Error& e) {
        platform::msgBox(QStringLiteral("Die Datenbank kann nicht zum Editieren geöffnet werden:\n\n%1")
                             .arg(QString::fromUtf8(e.what())));
        showStatus(QStringLiteral("Editor nicht geladen"));
        return;
    }
    // Over the full-screen stage it is as large as the dialogs.
    m_editor->setScale(platform::dialogScale());
    m_editor->exec(); // returns once the editor is closed

    // The game's own record set is neither re-read nor moved: the question on
    // screen stays, and the game goes on from it.
    showStatus(QStringLiteral("Editor geladen"));
}
