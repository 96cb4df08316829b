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
    lblStatus->setText(status);
}

void frmEditor::cmdÄndern_Click()
{
    if (!hasCurrentRecord()) {
        lblStatus->setText(QStringLiteral("Kein Datensatz zum Ändern vorhanden - bitte DS Hinzufügen benutzen"));
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
        lblStatus->setText(QStringLiteral("Änderungsvorgang gestört - bitte erneut versuchen"));
        return;
    }

    try {
        cancelPending(*EditorRecords);
        EditorRecords->Edit();
        FormInPuffer();
        EditorRecords->Update();
    } catch (const store::Error& e) {
        cancelPending(*EditorRecords);
        reportFailure(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:"), e,
                      QStringLiteral("Datensatz nicht geändert - es wurde nichts gespeichert"));
        return;
    }
    lblStatus->setText(QStringLiteral("Datensatz geändert"));
}

void frmEditor::cmdHinzufügen_Click()
{
    // A new record always goes after all others; the record shown stays current
    // until the save has succeeded, then the new record becomes current, so the
    // boxes and the record that change and delete act on are the same.
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
        EditorRecords->MoveLast();
    } catch (const store::Error& e) {
        reportReadFailure(e);
        return;
    }
    lblStatus->setText(QStringLiteral("Datensatz angehängt"));
}

void frmEditor::cmdLöschen_Click()
{
    if (!hasCurrentRecord()) {
        lblStatus->setText(QStringLiteral("Kein Datensatz zum Löschen vorhanden"));
        return;
    }
    if (!platform::askYesNo(QStringLiteral("Satz wirklich Löschen (j/n)?")))
        return;

    try {
        EditorRecords->Delete();
    } catch (const store::Error& e) {
        reportFailure(QStringLiteral("Der Datensatz konnte nicht gelöscht werden:"), e,
                      QStringLiteral("Datensatz nicht gelöscht - es wurde nichts gespeichert"));
        return;
    }
    cmdNächster_Click();
    if (hasCurrentRecord())
        lblStatus->setText(QStringLiteral("Datensatz gelöscht"));
    else
        lblStatus->setText(QStringLiteral("Datensatz gelöscht - die Datenbank enthält keinen Datensatz mehr"));
}

void frmEditor::cmdUnload_Click()
{
    // Nothing to save: every change went to the file when it was made.
    close();
}
