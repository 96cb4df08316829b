// Changing, appending and deleting records, each saved to the file at once,
// and the back button.
#include "editor/frmEditor.h"

#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <cstdlib>
#include <string>

namespace editor {

double readNumber(const QString& text)
{
    std::string s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        // Only the characters a number can be made of matter; anything else ends it.
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x7f');
    }

    const auto isDigit = [](char c, int base) {
        if (base == 8)
            return c >= '0' && c <= '7';
        if (base == 16)
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        return c >= '0' && c <= '9';
    };

    // &H hexadecimal, &O octal.
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        double value = 0;
        for (size_t i = 2; i < s.size() && isDigit(s[i], base); ++i) {
            const char c = s[i];
            const int digit = (c >= '0' && c <= '9') ? c - '0' : (c | 0x20) - 'a' + 10;
            value = value * base + digit;
        }
        return value;
    }

    // Sign, digits, "." and decimals, exponent: the longest leading number.
    size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool anyDigit = false;
    while (i < s.size() && isDigit(s[i], 10)) {
        number.push_back(s[i++]);
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        std::string decimals;
        while (j < s.size() && isDigit(s[j], 10))
            decimals.push_back(s[j++]);
        if (anyDigit || !decimals.empty()) {
            number += '.' + decimals;
            anyDigit = anyDigit || !decimals.empty();
            i = j;
        }
    }
    if (!anyDigit)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigit = false;
        while (j < s.size() && isDigit(s[j], 10)) {
            exponent.push_back(s[j++]);
            expDigit = true;
        }
        if (expDigit)
            number += exponent;
    }
    // strtod in the "C" locale reads "." as the decimal point whatever the system says.
    return std::strtod(number.c_str(), nullptr);
}

} // namespace editor

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
