// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The fifty-fifty joker: greys out the answers that are neither right nor the
// one wrong answer the question record keeps (field Fraglich). Nothing is drawn
// at random, and no game state changes: only the buttons and the status line.
#include "game/frmQuiz.h"

#include "game/accessibility.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>

namespace {

// True when the field holds exactly `letter`. The comparison is exact and
// case-sensitive ("c" or "C " match nothing); a field without a value matches
// nothing.
bool fieldIs(const store::Recordset& records, const QString& field, const QString& letter)
{
    const QVariant value = records.Fields(field);
    return !value.isNull() && value.toString() == letter;
}

} // namespace

void frmQuiz::cmdHalb_Click()
{
    const std::array<QPushButton*, 4> buttons{cmdA, cmdB, cmdC, cmdD};
    static const std::array<QString, 4> letters{QStringLiteral("A"), QStringLiteral("B"),
                                                QStringLiteral("C"), QStringLiteral("D")};

    for (QPushButton* button : buttons)
        button->setEnabled(false);

    // Each letter reads both fields anew from the current record, so the result
    // always reflects the record as it is in the file right now.
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (fieldIs(*QuizRecords, store::field::Richtig, letters[i])
            || fieldIs(*QuizRecords, store::field::Fraglich, letters[i]))
            buttons[i]->setEnabled(true);
    }

    // Disabled, not hidden: the joker is used up until the next new game.
    cmdHalb->setEnabled(false);
    showStatus(QStringLiteral("50:50 - zwei falsche Antworten verschwinden"));
    QStringList left;
    for (QPushButton* button : buttons) {
        if (button->isEnabled())
            left << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).simplified();
    }
    m_access->announceResult(QStringLiteral("Es bleiben ") + left.join(QStringLiteral(" und ")));
}
