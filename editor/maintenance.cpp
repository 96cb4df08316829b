// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Changing, appending and deleting records, each saved to the file at once,
// and the back button.
#include "editor/frmEditor.h"

#include "editor/boxtext.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// Leaves no edit pending after a failed save; the failure itself has been reported.
void cancelPending(store::Recordset& rs)
{
    try {
        if (rs.EditMode() != store::dbEditNone)
            rs.CancelUpdate();
    } catch (const store::Error&) {
    }
}

} // namespace

// A store failure while reading or saving: a message box that names it, and a
// status line that says what did not happen.
void frmEditor::reportFailure(const QString& message, const store::Error& error, const QString& status)
{
    platform::msgBox(message + QStringLiteral("\n\n") + QString::fromUtf8(error.what()));
    showStatus(status);
}

// Another program changed the record since it was shown: nothing was written,
// the boxes keep what the user typed, and the message names the changed boxes.
// The new values count as seen, so pressing `button` again acts knowingly.
void frmEditor::reportChangedMeanwhile(const store::RecordChanged& changed, const QString& button, const QString& status)
{
    m_shown = changed.now;
    QStringList captions;
    for (const RecordBox& r : kRecordBoxes)
        if (changed.fields.contains(*r.field))
            captions << QString::fromUtf8(r.caption);
    platform::msgBox(QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Programm geändert: %1.\n\n"
                                    "Es wurde nichts gespeichert; Ihre Eingaben stehen noch in den Feldern. Ein "
                                    "erneuter Klick auf „%2“ überschreibt die Änderungen des anderen Programms.")
                         .arg(captions.join(QStringLiteral(", ")), button));
    showStatus(status);
}

void frmEditor::cmdÄndern_Click()
{
    if (!hasCurrentRecord()) {
        showStatus(QStringLiteral("Kein Datensatz zum Ändern vorhanden - bitte DS Hinzufügen benutzen"));
        return;
    }

    // The sum is taken over the audience values as they will be stored, each box
    // cut to its field's length first: "100" would be stored as "10" and is refused.
    const auto stored = [](const QString& field, const QLineEdit* box) {
        return editor::readNumber(editor::leftChars(box->text(), store::fieldLimit(field)));
    };
    double sum = stored(store::field::PublikumB, txtPubB);
    sum += stored(store::field::PublikumC, txtPubC);
    sum += stored(store::field::PublikumD, txtPubD);
    sum += stored(store::field::PublikumA, txtPubA);
    if (sum != 100.0) {
        platform::msgBox(QStringLiteral("Publikumssumme ertspricht nicht 100!"));
        showStatus(QStringLiteral("Änderungsvorgang gestört - bitte erneut versuchen"));
        return;
    }

    const QString notSaved = QStringLiteral("Datensatz nicht geändert - es wurde nichts gespeichert");
    try {
        cancelPending(*EditorRecords);
        EditorRecords->Edit();
        FormInPuffer();
        m_shown = EditorRecords->UpdateIfUnchanged(m_shown);
    } catch (const store::RecordChanged& e) {
        cancelPending(*EditorRecords);
        reportChangedMeanwhile(e, QStringLiteral("DS Ändern"), notSaved);
        return;
    } catch (const store::Error& e) {
        cancelPending(*EditorRecords);
        reportFailure(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:"), e, notSaved);
        return;
    }
    showStatus(QStringLiteral("Datensatz geändert"));
}

void frmEditor::cmdHinzufügen_Click()
{
    // The record shown stays current until the save has succeeded, then the
    // new record becomes current, so the boxes and the record that change and
    // delete act on are the same.
    try {
        cancelPending(*EditorRecords);
        EditorRecords->AddNew();
        FormInPuffer();
        EditorRecords->Update();
    } catch (const store::Error& e) {
        cancelPending(*EditorRecords);
        reportFailure(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:"), e,
                      QStringLiteral("Datensatz nicht angehängt - es wurde nichts gespeichert"));
        return;
    }
    try {
        // The new record by the key it was given: it is not always the last one.
        EditorRecords->MoveToLastModified();
        m_shown = EditorRecords->Values();
    } catch (const store::Error& e) {
        reportReadFailure(e);
        return;
    }
    showStatus(QStringLiteral("Datensatz angehängt"));
}

void frmEditor::cmdLöschen_Click()
{
    if (!hasCurrentRecord()) {
        showStatus(QStringLiteral("Kein Datensatz zum Löschen vorhanden"));
        return;
    }
    if (!platform::askYesNo(QStringLiteral("Satz wirklich Löschen (j/n)?")))
        return;

    const QString notDeleted = QStringLiteral("Datensatz nicht gelöscht - es wurde nichts gespeichert");
    try {
        EditorRecords->DeleteIfUnchanged(m_shown);
    } catch (const store::RecordChanged& e) {
        reportChangedMeanwhile(e, QStringLiteral("DS Löschen"), notDeleted);
        return;
    } catch (const store::Error& e) {
        reportFailure(QStringLiteral("Der Datensatz konnte nicht gelöscht werden:"), e, notDeleted);
        return;
    }
    cmdNächster_Click();
    if (hasCurrentRecord())
        showStatus(QStringLiteral("Datensatz gelöscht"));
    else
        showStatus(QStringLiteral("Datensatz gelöscht - die Datenbank enthält keinen Datensatz mehr"));
}

void frmEditor::cmdUnload_Click()
{
    // Nothing to save: every change went to the file when it was made.
    close();
}
