// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the editor and the exchange between the current record and the boxes.
#include "editor/frmEditor.h"

#include "editor/boxtext.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>

void frmEditor::Form_Load()
{
    // A fresh connection and record set each time; they replace those of the
    // previous opening, whose record set goes before its connection.
    auto database = store::DBEngine::instance().OpenDatabase(platform::questionFile(store::kFileName));
    auto records = database->OpenRecordset(store::kTable);
    EditorRecords.reset();
    EditorDatabase = std::move(database);
    EditorRecords = std::move(records);

    PufferInForm();
    if (hasCurrentRecord())
        lblStatus->setText(QStringLiteral("Die Datenbank ist zum Editieren bereit"));
    else
        lblStatus->setText(QStringLiteral("Die Datenbank ist zum Editieren bereit - sie enthält keinen Datensatz"));
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

void frmEditor::PufferInForm()
{
    // Without a current record (an empty table) every box is cleared, so no text
    // of an earlier record can later be written into another one.
    if (!hasCurrentRecord()) {
        clearBoxes();
        return;
    }

    // Each field read by itself; the audience shares come last.
    for (const RecordBox& r : kRecordBoxes)
        if (r.kind != BoxKind::Share)
            showField(r);
    for (const RecordBox& r : kRecordBoxes)
        if (r.kind == BoxKind::Share)
            showField(r);
}

void frmEditor::showField(const RecordBox& r)
{
    const QVariant value = EditorRecords->Fields(*r.field);
    m_shown[store::fieldIndex(*r.field)] = value;
    // An empty JokerTV text reads "Nicht einer"; a JokerTV without value shows
    // an empty box like every other field without value.
    if (r.kind == BoxKind::Joker && !value.isNull() && value.toString().isEmpty())
        (this->*r.box)->setText(QStringLiteral("Nicht einer"));
    else
        (this->*r.box)->setText(store::valueText(value));
}

void frmEditor::FormInPuffer()
{
    // Each box cut to its field's limit; the two answer letters in upper case.
    // The boxes themselves keep the text as typed.
    for (const RecordBox& r : kRecordBoxes) {
        const int limit = store::fieldLimit(*r.field);
        QString text = editor::leftChars((this->*r.box)->text(), limit);
        if (r.kind == BoxKind::Letter)
            text = editor::leftChars(text.toUpper(), limit);
        EditorRecords->Collect(*r.field, text);
    }
}
