// The editor window's layout and its modal showing.
#include "editor/frmEditor.h"

#include "platform/platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                        int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(platform::twipsRect(left, top, width, height));
    b->setAutoDefault(false);
    return b;
}

// A record box with its right-aligned caption label to the left of it.
QLineEdit* makeBox(QWidget* parent, const QString& name, int left, int top, int width, QLabel*& label,
                   const QString& labelName, const QString& caption, int labelLeft, int labelTop,
                   int labelWidth)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(platform::twipsRect(left, top, width, 285));
    label = new QLabel(caption, parent);
    label->setObjectName(labelName);
    label->setGeometry(platform::twipsRect(labelLeft, labelTop, labelWidth, 255));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The system font may be wider than the one the captions were measured for:
    // a caption that does not fit grows to the left, so it still ends at the
    // same place next to its box and is never clipped.
    const int needed = label->sizeHint().width();
    if (needed > label->width()) {
        QRect g = label->geometry();
        g.setLeft(std::max(0, g.right() + 1 - needed));
        label->setGeometry(g);
    }
    return box;
}

} // namespace

frmEditor::frmEditor()
{
    setObjectName(QStringLiteral("frmEditor"));
    buildLayout();
}

frmEditor::~frmEditor() = default;

void frmEditor::buildLayout()
{
    // A fixed tool window: narrow title bar with a close box only, no icon, no
    // taskbar button, not resizable. System colours and the default font.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Editieren der Datenbank"));
    setFixedSize(platform::px(6990), platform::px(5310));

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setGeometry(platform::twipsRect(0, 0, 6975, 255));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblStatus->setLineWidth(1);

    cmdHinzufügen = makeButton(this, QStringLiteral("cmdHinzufügen"), QStringLiteral("DS Hinzufügen"), 240, 480, 1575, 375);
    cmdLöschen = makeButton(this, QStringLiteral("cmdLöschen"), QStringLiteral("DS Löschen"), 1920, 480, 1575, 375);
    cmdÄndern = makeButton(this, QStringLiteral("cmdÄndern"), QStringLiteral("DS Ändern"), 240, 960, 1575, 375);
    cmdUnload = makeButton(this, QStringLiteral("cmdUnload"), QStringLiteral("&Zurück"), 1920, 960, 1575, 375);

    cmdErster = makeButton(this, QStringLiteral("cmdErster"), QStringLiteral("|<"), 3840, 480, 735, 855);
    cmdVorhergehender = makeButton(this, QStringLiteral("cmdVorhergehender"), QStringLiteral("<"), 4560, 480, 735, 855);
    cmdNächster = makeButton(this, QStringLiteral("cmdNächster"), QStringLiteral(">"), 5280, 480, 735, 855);
    cmdLetzter = makeButton(this, QStringLiteral("cmdLetzter"), QStringLiteral(">|"), 6000, 480, 735, 855);

    txtFrage = makeBox(this, QStringLiteral("txtFrage"), 1680, 1800, 4815, Label1, QStringLiteral("Label1"), QStringLiteral("Frage"), 1080, 1800, 495);
    txtAntA = makeBox(this, QStringLiteral("txtAntA"), 1680, 2370, 3015, Label2, QStringLiteral("Label2"), QStringLiteral("Antwort A"), 840, 2400, 735);
    txtAntB = makeBox(this, QStringLiteral("txtAntB"), 1680, 2850, 3015, Label3, QStringLiteral("Label3"), QStringLiteral("Antwort B"), 840, 2880, 735);
    txtAntC = makeBox(this, QStringLiteral("txtAntC"), 1680, 3330, 3015, Label4, QStringLiteral("Label4"), QStringLiteral("Antwort C"), 840, 3360, 735);
    txtAntD = makeBox(this, QStringLiteral("txtAntD"), 1680, 3810, 3015, Label5, QStringLiteral("Label5"), QStringLiteral("Antwort D"), 840, 3840, 735);
    txtPubA = makeBox(this, QStringLiteral("txtPubA"), 6000, 2400, 495, Label9, QStringLiteral("Label9"), QStringLiteral("Publikum A"), 5040, 2400, 855);
    txtPubB = makeBox(this, QStringLiteral("txtPubB"), 6000, 2880, 495, Label10, QStringLiteral("Label10"), QStringLiteral("Publikum B"), 5040, 2880, 855);
    txtPubC = makeBox(this, QStringLiteral("txtPubC"), 6000, 3360, 495, Label11, QStringLiteral("Label11"), QStringLiteral("Publikum C"), 5040, 3360, 855);
    txtPubD = makeBox(this, QStringLiteral("txtPubD"), 6000, 3840, 495, Label12, QStringLiteral("Label12"), QStringLiteral("Publikum D"), 5040, 3840, 855);
    txtRichtig = makeBox(this, QStringLiteral("txtRichtig"), 1680, 4320, 495, Label6, QStringLiteral("Label6"), QStringLiteral("Richtig"), 960, 4320, 615);
    txtFraglich = makeBox(this, QStringLiteral("txtFraglich"), 3240, 4320, 495, Label8, QStringLiteral("Label8"), QStringLiteral("Fraglich"), 2520, 4320, 615);
    txtNr = makeBox(this, QStringLiteral("txtNr"), 6000, 4320, 495, Label7, QStringLiteral("Label7"), QStringLiteral("Fragen-Nr"), 5160, 4320, 735);
    txtJoker = makeBox(this, QStringLiteral("txtJoker"), 1680, 4800, 2055, Label13, QStringLiteral("Label13"), QStringLiteral("Joker TV"), 840, 4800, 735);

    const QList<QWidget*> tabOrder = {
        cmdUnload, cmdErster, cmdVorhergehender, cmdNächster, cmdLetzter, txtFrage,  txtAntA,
        txtAntB,   txtAntC,   txtAntD,           txtRichtig,  cmdHinzufügen, cmdÄndern, cmdLöschen,
        txtFraglich, txtPubA, txtPubB,           txtPubC,     txtPubD,   txtJoker,  txtNr,
    };
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(cmdHinzufügen, &QPushButton::clicked, this, [this] { cmdHinzufügen_Click(); });
    connect(cmdLöschen, &QPushButton::clicked, this, [this] { cmdLöschen_Click(); });
    connect(cmdÄndern, &QPushButton::clicked, this, [this] { cmdÄndern_Click(); });
    connect(cmdUnload, &QPushButton::clicked, this, [this] { cmdUnload_Click(); });
    connect(cmdErster, &QPushButton::clicked, this, [this] { cmdErster_Click(); });
    connect(cmdVorhergehender, &QPushButton::clicked, this, [this] { cmdVorhergehender_Click(); });
    connect(cmdNächster, &QPushButton::clicked, this, [this] { cmdNächster_Click(); });
    connect(cmdLetzter, &QPushButton::clicked, this, [this] { cmdLetzter_Click(); });
}

void frmEditor::showModal()
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

    setWindowModality(Qt::ApplicationModal);
    show();
    activateWindow();

    QEventLoop loop;
    m_modalLoop = &loop;
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
}

void frmEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    cmdUnload->setFocus(Qt::OtherFocusReason);
}

void frmEditor::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->quit();
}
