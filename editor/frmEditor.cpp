// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window's layout, its thirteen record boxes, and how it shows
// itself over the game window.
#include "editor/frmEditor.h"

#include "platform/platform.h"
#include "platform/screenreader.h"
#include "widgets/FocusFrameStyle.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

// In the order FormInPuffer writes them; PufferInForm shows the shares last.
const std::array<frmEditor::RecordBox, 13> frmEditor::kRecordBoxes = {{
    {&frmEditor::txtFrage, &frmEditor::Label1, &store::field::Frage, BoxKind::Text,
     "txtFrage", "Label1", "Frage", 1680, 1800, 4815, 1080, 1800, 495},
    {&frmEditor::txtAntA, &frmEditor::Label2, &store::field::AntwortA, BoxKind::Text,
     "txtAntA", "Label2", "Antwort A", 1680, 2370, 3015, 840, 2400, 735},
    {&frmEditor::txtAntB, &frmEditor::Label3, &store::field::AntwortB, BoxKind::Text,
     "txtAntB", "Label3", "Antwort B", 1680, 2850, 3015, 840, 2880, 735},
    {&frmEditor::txtAntC, &frmEditor::Label4, &store::field::AntwortC, BoxKind::Text,
     "txtAntC", "Label4", "Antwort C", 1680, 3330, 3015, 840, 3360, 735},
    {&frmEditor::txtAntD, &frmEditor::Label5, &store::field::AntwortD, BoxKind::Text,
     "txtAntD", "Label5", "Antwort D", 1680, 3810, 3015, 840, 3840, 735},
    {&frmEditor::txtPubA, &frmEditor::Label9, &store::field::PublikumA, BoxKind::Share,
     "txtPubA", "Label9", "Publikum A", 6000, 2400, 495, 5040, 2400, 855},
    {&frmEditor::txtPubB, &frmEditor::Label10, &store::field::PublikumB, BoxKind::Share,
     "txtPubB", "Label10", "Publikum B", 6000, 2880, 495, 5040, 2880, 855},
    {&frmEditor::txtPubC, &frmEditor::Label11, &store::field::PublikumC, BoxKind::Share,
     "txtPubC", "Label11", "Publikum C", 6000, 3360, 495, 5040, 3360, 855},
    {&frmEditor::txtPubD, &frmEditor::Label12, &store::field::PublikumD, BoxKind::Share,
     "txtPubD", "Label12", "Publikum D", 6000, 3840, 495, 5040, 3840, 855},
    {&frmEditor::txtRichtig, &frmEditor::Label6, &store::field::Richtig, BoxKind::Letter,
     "txtRichtig", "Label6", "Richtig", 1680, 4320, 495, 960, 4320, 615},
    {&frmEditor::txtFraglich, &frmEditor::Label8, &store::field::Fraglich, BoxKind::Letter,
     "txtFraglich", "Label8", "Fraglich", 3240, 4320, 495, 2520, 4320, 615},
    {&frmEditor::txtNr, &frmEditor::Label7, &store::field::Nummer, BoxKind::Text,
     "txtNr", "Label7", "Fragen-Nr", 6000, 4320, 495, 5160, 4320, 735},
    {&frmEditor::txtJoker, &frmEditor::Label13, &store::field::JokerTV, BoxKind::Joker,
     "txtJoker", "Label13", "Joker TV", 1680, 4800, 2055, 840, 4800, 735},
}};

namespace {

// A command button of the editor with its click procedure. A caption made of
// signs has a name in words for screen readers.
struct EditorButton {
    QPushButton* frmEditor::*button;
    void (frmEditor::*click)();
    const char* name;
    const char* caption;
    int left, top, width, height;
    const char* spokenName = nullptr;
};


const EditorButton kButtons[] = {
    {&frmEditor::cmdHinzufügen, &frmEditor::cmdHinzufügen_Click, "cmdHinzufügen", "DS Hinzufügen", 240, 480, 1575, 375},
    {&frmEditor::cmdLöschen, &frmEditor::cmdLöschen_Click, "cmdLöschen", "DS Löschen", 1920, 480, 1575, 375},
    {&frmEditor::cmdÄndern, &frmEditor::cmdÄndern_Click, "cmdÄndern", "DS Ändern", 240, 960, 1575, 375},
    {&frmEditor::cmdUnload, &frmEditor::cmdUnload_Click, "cmdUnload", "&Zurück", 1920, 960, 1575, 375},
    {&frmEditor::cmdErster, &frmEditor::cmdErster_Click, "cmdErster", "|<", 3840, 480, 735, 855,
     "Erster Datensatz"},
    {&frmEditor::cmdVorhergehender, &frmEditor::cmdVorhergehender_Click, "cmdVorhergehender", "<", 4560, 480, 735,
     855, "Vorheriger Datensatz"},
    {&frmEditor::cmdNächster, &frmEditor::cmdNächster_Click, "cmdNächster", ">", 5280, 480, 735, 855,
     "Nächster Datensatz"},
    {&frmEditor::cmdLetzter, &frmEditor::cmdLetzter_Click, "cmdLetzter", ">|", 6000, 480, 735, 855,
     "Letzter Datensatz"},
};

} // namespace

frmEditor::frmEditor() : frmEditor(platform::programFile(store::kFileName)) {}

frmEditor::frmEditor(QString questionFile, QString readOnlyCopy)
    : m_questionFile(std::move(questionFile)), m_readOnlyCopy(std::move(readOnlyCopy))
{
    platform::useFontSubstitutes();
    platform::useScreenReaderFixes();
    setObjectName(QStringLiteral("frmEditor"));
    buildLayout();
}

frmEditor::~frmEditor() = default;

void frmEditor::buildLayout()
{
    // A fixed tool window: narrow title bar with a close box only, no icon, no
    // taskbar button, not resizable. System colours and the default font.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Editieren der Datenbank"));
    // No icon. A window without one of its own would show the application's
    // globe, so the editor's is an empty, fully transparent picture.
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));
    setFixedSize(platform::px(6990), platform::px(5310));

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setGeometry(platform::twipsRect(0, 0, 6975, 255));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblStatus->setLineWidth(1);

    for (const EditorButton& b : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setGeometry(platform::twipsRect(b.left, b.top, b.width, b.height));
        button->setAutoDefault(false);
        if (b.spokenName)
            button->setAccessibleName(QString::fromUtf8(b.spokenName));
        connect(button, &QPushButton::clicked, this, b.click);
        this->*b.button = button;
    }

    for (const RecordBox& r : kRecordBoxes)
        addRecordBox(r);

    // The tab order follows the record's boxes as they stand on screen, then
    // the buttons, row by row. Every one of them shows the focus with the
    // same solid frame as the game window's controls.
    QList<QWidget*> tabOrder;
    for (QLineEdit* box : boxesOnScreen())
        tabOrder << box;
    tabOrder << cmdHinzufügen << cmdLöschen << cmdErster << cmdVorhergehender << cmdNächster << cmdLetzter
             << cmdÄndern << cmdUnload;
    auto* focusStyle = new FocusFrameStyle;
    focusStyle->setParent(this);
    for (int i = 0; i < tabOrder.size(); ++i) {
        if (i > 0)
            setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
        tabOrder.at(i)->setStyle(focusStyle);
    }

    m_announcer = new platform::Announcer(lblStatus);
}

void frmEditor::setScale(qreal factor)
{
    platform::scaleControls(*this, factor);
    for (FocusFrameStyle* focus : findChildren<FocusFrameStyle*>(Qt::FindDirectChildrenOnly))
        focus->setScale(factor);
}

QList<QLineEdit*> frmEditor::boxesOnScreen() const
{
    return {txtFrage, txtAntA, txtPubA, txtAntB, txtPubB, txtAntC, txtPubC,
            txtAntD,  txtPubD, txtRichtig, txtFraglich, txtNr, txtJoker};
}

// A record box with its right-aligned caption label to the left of it.
void frmEditor::addRecordBox(const RecordBox& r)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromUtf8(r.boxName));
    box->setGeometry(platform::twipsRect(r.left, r.top, r.width, 285));
    auto* label = new QLabel(QString::fromUtf8(r.caption), this);
    label->setObjectName(QString::fromUtf8(r.labelName));
    label->setGeometry(platform::twipsRect(r.labelLeft, r.labelTop, r.labelWidth, 255));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(box); // a screen reader names the box by its caption
    // The system font may be wider than the one the captions were measured for:
    // a caption that does not fit grows to the left, so it still ends at the
    // same place next to its box and is never clipped.
    const int needed = label->sizeHint().width();
    if (needed > label->width()) {
        QRect g = label->geometry();
        g.setLeft(std::max(0, g.right() + 1 - needed));
        label->setGeometry(g);
    }
    this->*r.box = box;
    this->*r.label = label;
}

void frmEditor::showEvent(QShowEvent* event)
{
    // Centred over the window that is active now (the game window); without one,
    // over the screen.
    QRect over;
    if (QWidget* active = QApplication::activeWindow(); active && active != this)
        over = active->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        over = screen->availableGeometry();
    if (over.isValid())
        move(over.center() - QPoint(width() / 2, height() / 2));

    QDialog::showEvent(event);
    cmdUnload->setFocus(Qt::OtherFocusReason);
}

void frmEditor::keyPressEvent(QKeyEvent* event)
{
    // The editor is closed with "Zurück" or its close box only. Escape and
    // Enter, which a dialog would take for closing or for a default button,
    // do nothing here.
    QWidget::keyPressEvent(event);
}
