// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Paging through the question table: first, last, next and previous record.
#include "editor/frmEditor.h"

#include <QLabel>

void frmEditor::showNoRecord()
{
    // Nothing to show: the boxes are cleared and the record set starts afresh on
    // the empty table, so no deleted record stays current.
    EditorRecords = EditorDatabase->OpenRecordset(store::kTable);
    clearBoxes();
    showStatus(QStringLiteral("Die Datenbank enthält keinen Datensatz"));
}

void frmEditor::reportReadFailure(const store::Error& error)
{
    reportFailure(QStringLiteral("Der Datensatz konnte nicht gelesen werden:"), error,
                  QStringLiteral("Datensatz nicht lesbar - bitte erneut versuchen"));
}

void frmEditor::cmdErster_Click()
{
    try {
        if (tableIsEmpty())
            return showNoRecord();
        EditorRecords->MoveFirst();
        PufferInForm();
        showStatus(QStringLiteral("Der erste Datensatz wird angezeigt"));
    } catch (const store::Error& e) {
        reportReadFailure(e);
    }
}

void frmEditor::cmdLetzter_Click()
{
    try {
        if (tableIsEmpty())
            return showNoRecord();
        EditorRecords->MoveLast();
        PufferInForm();
        showStatus(QStringLiteral("Der letzte Datensatz wird angezeigt"));
    } catch (const store::Error& e) {
        reportReadFailure(e);
    }
}

void frmEditor::cmdNächster_Click()
{
    try {
        if (tableIsEmpty())
            return showNoRecord();
        EditorRecords->MoveNext();
        if (EditorRecords->IsEOF()) {
            EditorRecords->MoveLast();
            showStatus(QStringLiteral("Der nächste und zugleich auch letzte Datensatz wird angezeigt"));
        } else {
            showStatus(QStringLiteral("Der nächste Datensatz wird angezeigt"));
        }
        PufferInForm();
    } catch (const store::Error& e) {
        reportReadFailure(e);
    }
}

void frmEditor::cmdVorhergehender_Click()
{
    try {
        if (tableIsEmpty())
            return showNoRecord();
        EditorRecords->MovePrevious();
        if (EditorRecords->IsBOF()) {
            EditorRecords->MoveFirst();
            showStatus(QStringLiteral("Der vorherige und zugleich auch erste Datensatz wird angezeigt"));
        } else {
            showStatus(QStringLiteral("Der vorherige Datensatz wird angezeigt"));
        }
        PufferInForm();
    } catch (const store::Error& e) {
        reportReadFailure(e);
    }
}
