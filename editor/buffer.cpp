// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the editor and the exchange between the current record and the boxes.
#include "editor/frmEditor.h"

#include "editor/boxtext.h"
#include "platform/platform.h"
#include "platform/screenreader.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>

void frmEditor::Form_Load()
{
    // A fresh connection and record set each time; they replace those of the
    // previous opening, whose record set goes before its connection.
    store::DBEngine& engine = store::DBEngine::instance();
    auto database = m_readOnlyCopy.isEmpty() ? engine.OpenDatabase(m_questionFile)
                                             : engine.OpenReadOnly(m_readOnlyCopy, m_questionFile);
    auto records = database->OpenRecordset(store::kTable);
    EditorRecords.reset();
    EditorDatabase = std::move(database);
    EditorRecords = std::move(records);

    PufferInForm();
    if (!m_readOnlyCopy.isEmpty())
        showStatus(QStringLiteral("Die Datenbank ist eine Access-Datei und schreibgeschützt - Änderungen werden nicht "
                                  "gespeichert"));
    else if (!EditorRecords->Updatable())
        showStatus(QStringLiteral("Die Datenbank ist schreibgeschützt - Änderungen werden nicht gespeichert"));
    else if (hasCurrentRecord())
        showStatus(QStringLiteral("Die Datenbank ist zum Editieren bereit"));
    else
        showStatus(QStringLiteral("Die Datenbank ist zum Editieren bereit - sie enthält keinen Datensatz"));
}

bool frmEditor::hasCurrentRecord() const
{
    return EditorRecords && !EditorRecords->IsEOF() && !EditorRecords->IsBOF();
}

bool frmEditor::tableIsEmpty() const
{
    // A record set opened afresh stands at both ends at once only on an empty table.
    if (!EditorDatabase)
        return true;
    const auto probe = EditorDatabase->OpenRecordset(store::kTable);
    return probe->IsEOF() && probe->IsBOF();
}

void frmEditor::clearBoxes()
{
    for (const RecordBox& r : kRecordBoxes)
        (this->*r.box)->clear();
}

void frmEditor::showStatus(const QString& text)
{
    lblStatus->setText(text);
    m_announcer->say(platform::Announcer::Status, text);
}

void frmEditor::PufferInForm()
{
    // Without a current record (an empty table) every box is cleared, so no text
    // of an earlier record can later be written into another one.
    if (!hasCurrentRecord()) {
        clearBoxes();
        m_shownText.fill(QString());
        return;
    }

    // The record is read in one go, exactly as stored, so that a later save
    // can tell what it would change; the audience shares are shown last.
    m_shown = EditorRecords->Values();
    for (int i = 0; i < int(kRecordBoxes.size()); ++i)
        if (kRecordBoxes[i].kind != BoxKind::Share)
            showField(i);
    for (int i = 0; i < int(kRecordBoxes.size()); ++i)
        if (kRecordBoxes[i].kind == BoxKind::Share)
            showField(i);

    // The record as the eye reads it: each box by its caption, in the order
    // of the boxes on screen.
    QStringList read;
    for (QLineEdit* box : boxesOnScreen()) {
        const QString text = box->text();
        read << QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name) + QStringLiteral(": ")
                    + (text.isEmpty() ? QStringLiteral("leer") : text);
    }
    m_announcer->say(platform::Announcer::Content, read.join(QStringLiteral(". ")));
}

void frmEditor::showField(int box)
{
    const RecordBox& r = kRecordBoxes[box];
    const QVariant& value = m_shown[store::fieldIndex(*r.field)];
    // An empty JokerTV text reads "Nicht einer"; a JokerTV without value shows
    // an empty box like every other field without value.
    const QString text = store::valueText(value);
    QLineEdit* const shown = this->*r.box;
    shown->setText(r.kind == BoxKind::Joker && !value.isNull() && text.isEmpty() ? QStringLiteral("Nicht einer") : text);
    // A text longer than its box shows from its start, as it is read.
    shown->setCursorPosition(0);
    // What the box holds of it, which is what an untouched box still holds
    // later: a text box takes at most its maximum length (32,767 characters)
    // of a longer text.
    m_shownText[box] = shown->text();
}

// Whether a change leaves box `box`'s stored value as it is instead of
// writing the box back: only for a box still holding what it was given, and only
// where writing it back would change the stored value in a way nobody could
// see in the box: cut a longer text (the box's own cut included), replace bytes
// that are not UTF-8, or turn a number, a binary value or no value into text.
bool frmEditor::keepsStoredValue(int box) const
{
    const RecordBox& r = kRecordBoxes[box];
    const QString text = (this->*r.box)->text();
    if (EditorRecords->EditMode() != store::dbEditInProgress || text != m_shownText[box])
        return false;
    const QVariant& stored = m_shown[store::fieldIndex(*r.field)];
    return stored.typeId() != QMetaType::QString || editor::leftChars(text, store::fieldLimit(*r.field)) != text;
}

void frmEditor::FormInPuffer()
{
    // Each box cut to its field's limit; the two answer letters in upper case.
    // The boxes themselves keep the text as typed.
    for (int i = 0; i < int(kRecordBoxes.size()); ++i) {
        const RecordBox& r = kRecordBoxes[i];
        const int limit = store::fieldLimit(*r.field);
        QString text = editor::leftChars((this->*r.box)->text(), limit);
        if (r.kind == BoxKind::Letter)
            text = editor::leftChars(text.toUpper(), limit);
        if (!keepsStoredValue(i))
            EditorRecords->Collect(*r.field, text);
    }
}
