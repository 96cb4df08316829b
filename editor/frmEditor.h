// The question editor: a small tool window over the question table. It shows
// one record in thirteen text boxes, pages through the table, and changes,
// appends and deletes records; every change goes to the file at once. It owns
// its own connection and record set, opened afresh each time it is loaded.
#pragma once

#include "store/store.h"

#include <QWidget>
#include <memory>

class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

namespace editor {

// The number an audience box counts as: blanks, tabs and line feeds are
// dropped, then the longest leading number is read (optional sign, digits,
// "." and decimals, exponent; or &H hex / &O octal). No number counts 0.
double readNumber(const QString& text);

// The first `limit` characters of `text` (a character outside the basic
// plane counts once and is never split); never a null string.
QString leftChars(const QString& text, int limit);

} // namespace editor

class frmEditor : public QWidget {
    Q_OBJECT
public:
    frmEditor();
    ~frmEditor() override;

    // Shows the window modally over the active window; returns once it is closed.
    void showModal();

    // --- Record buffer.
    void Form_Load();
    void PufferInForm();
    void FormInPuffer();

    // --- Navigation.
    void cmdErster_Click();
    void cmdLetzter_Click();
    void cmdNächster_Click();
    void cmdVorhergehender_Click();

    // --- Maintenance.
    void cmdÄndern_Click();
    void cmdHinzufügen_Click();
    void cmdLöschen_Click();
    void cmdUnload_Click();

    // --- Controls.
    QLabel* lblStatus = nullptr;
    QPushButton* cmdHinzufügen = nullptr;
    QPushButton* cmdLöschen = nullptr;
    QPushButton* cmdÄndern = nullptr;
    QPushButton* cmdUnload = nullptr;
    QPushButton* cmdErster = nullptr;
    QPushButton* cmdVorhergehender = nullptr;
    QPushButton* cmdNächster = nullptr;
    QPushButton* cmdLetzter = nullptr;
    QLineEdit* txtFrage = nullptr;
    QLineEdit* txtAntA = nullptr;
    QLineEdit* txtAntB = nullptr;
    QLineEdit* txtAntC = nullptr;
    QLineEdit* txtAntD = nullptr;
    QLineEdit* txtPubA = nullptr;
    QLineEdit* txtPubB = nullptr;
    QLineEdit* txtPubC = nullptr;
    QLineEdit* txtPubD = nullptr;
    QLineEdit* txtRichtig = nullptr;
    QLineEdit* txtFraglich = nullptr;
    QLineEdit* txtNr = nullptr;
    QLineEdit* txtJoker = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr,
           *Label13 = nullptr;

    // --- The editor's own connection to the question file.
    std::unique_ptr<store::Database> EditorDatabase;
    std::unique_ptr<store::Recordset> EditorRecords;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildLayout();
    bool hasCurrentRecord() const;
    bool tableIsEmpty() const;
    void clearBoxes();
    void showNoRecord();
    void reportReadFailure(const store::Error& error);
    void reportFailure(const QString& message, const store::Error& error, const QString& status);

    QEventLoop* m_modalLoop = nullptr;
};
