// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question editor: a small tool window over the question table. It shows
// one record in thirteen text boxes, pages through the table, and changes,
// appends and deletes records; every change goes to the file at once. It owns
// its own connection and record set, opened afresh each time it is loaded.
#pragma once

#include "store/store.h"

#include <QDialog>
#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
namespace platform {
class Announcer;
}

// A dialog, so that the game window shows it modally with exec(): the call
// returns once the editor is closed.
class frmEditor : public QDialog {
    Q_OBJECT
public:
    // The editor of the question file in the program directory.
    frmEditor();
    // The editor of `questionFile`: the game window's. With `readOnlyCopy`
    // (a copy of it in this program's format, made from a file of another
    // format) it shows the copy, for reading only.
    explicit frmEditor(QString questionFile, QString readOnlyCopy = QString());
    ~frmEditor() override;

    // Lays the window out at `factor` times the size it was built for (over
    // the full-screen stage), its focus frame as well.
    void setScale(qreal factor);

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
    void keyPressEvent(QKeyEvent* event) override;

private:
    // How a field's value is shown in its box and written back: as text, cut
    // to the field's length; as one letter in upper case; the joker text, whose
    // empty value shows as "Nicht einer"; an audience share, shown as text but
    // after all other fields.
    enum class BoxKind { Text, Letter, Joker, Share };
    // One of the thirteen record boxes with its caption label, its field and
    // its place (twips). The table lists them in the order they are written.
    struct RecordBox {
        QLineEdit* frmEditor::*box;
        QLabel* frmEditor::*label;
        const QString* field;
        BoxKind kind;
        const char* boxName;
        const char* labelName;
        const char* caption;
        int left, top, width;
        int labelLeft, labelTop, labelWidth;
    };
    static const std::array<RecordBox, 13> kRecordBoxes;

    // The values of the current record as last shown or saved: a change or
    // delete acts only while the record still holds them, so that what another
    // program wrote in the meantime is never lost unseen.
    store::RecordValues m_shown;
    // The text each box was given when the record was shown, in the order of
    // kRecordBoxes: a box that still holds it was not touched.
    std::array<QString, 13> m_shownText;
    platform::Announcer* m_announcer = nullptr;
    const QString m_questionFile; // opened at every load
    const QString m_readOnlyCopy; // opened instead, when there is one

    void buildLayout();
    // The record boxes in the order they stand on screen: row by row, left to right.
    QList<QLineEdit*> boxesOnScreen() const;
    void addRecordBox(const RecordBox& r);
    void showField(int box);
    bool keepsStoredValue(int box) const;
    bool hasCurrentRecord() const;
    bool tableIsEmpty() const;
    void clearBoxes();
    void showNoRecord();
    void reportReadFailure(const store::Error& error);
    void reportFailure(const QString& message, const store::Error& error, const QString& status);
    // Writes the status line; a screen reader hears it too.
    void showStatus(const QString& text);
    void reportChangedMeanwhile(const store::RecordChanged& changed, const QString& button, const QString& status);
};
