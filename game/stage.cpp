// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's stage, built from the tables below: every control in its
// place with its caption, font, colours and initial state, the three timers,
// the tab order, and what each button and timer calls.
#include "game/frmQuiz.h"

#include "platform/Shape.h"
#include "platform/platform.h"
#include "widgets/CaptionButton.h"
#include "widgets/ClassicFrame.h"
#include "widgets/FocusFrameStyle.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor kGreen(0, 255, 0);
const QColor kDarkGreen(0, 192, 0);
const QColor kCyan(0, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kDarkRed(192, 0, 0);
const QColor kLightBlue(128, 128, 255);
const QColor kAudienceBlue(0, 0, 192);
const QColor kOrange(255, 128, 0);
const QColor kWhite(255, 255, 255);
const QColor kMarkerBorder(0, 0, 64);
const QColor kBlack(0, 0, 0);

QFont namedFont(const QString& family, qreal points, bool bold = false, bool italic = false)
{
    QFont f(platform::installedFace(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(false);
    return f;
}

// The dialog font of the system, with every attribute set so that it does not
// take over the font of an enclosing frame (the joker frame has its own).
QFont systemFont()
{
    const QFont app = QApplication::font();
    QFont f(app.family());
    f.setPointSizeF(app.pointSizeF() > 0 ? app.pointSizeF() : 9.0);
    f.setBold(false);
    f.setItalic(false);
    f.setUnderline(false);
    return f;
}

// A font as the layout names it: a face, its size in points, its style. "Arial
// Black" is a face whose regular style is its black weight: asked for at that
// weight, it is found itself where it is installed, and elsewhere the
// heaviest face of its substitute, not a thin regular one.
struct FontSpec {
    const char* face;
    qreal points;
    bool bold = false;
    bool italic = false;
};

QFont fontOf(const FontSpec& font)
{
    QFont f = namedFont(QString::fromUtf8(font.face), font.points, font.bold, font.italic);
    if (qstrcmp(font.face, "Arial Black") == 0)
        f.setWeight(QFont::Black);
    return f;
}

struct LabelStyle {
    FontSpec font;
    QColor text;
    Qt::Alignment align;
    bool transparent = true;
    QColor back = QColor();
};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                  const LabelStyle& style)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // question texts are never read as markup
    l->setText(caption);
    l->setGeometry(geometry);
    l->setFont(fontOf(style.font));
    l->setAlignment(style.align);
    l->setContentsMargins(0, 0, 0, 0);
    l->setMargin(0);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, style.text);
    if (!style.transparent)
        pal.setColor(QPalette::Window, style.back);
    l->setPalette(pal);
    // A transparent label paints nothing behind its text: the background
    // picture of the window shows through.
    l->setAutoFillBackground(!style.transparent);
    return l;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* b = new CaptionButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setFont(systemFont());
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

Shape* makeShape(QWidget* parent, const QString& name, int left, int top, int width, int height,
                 const QColor& back, const QColor& border, const QColor& fill)
{
    auto* s = new Shape(parent);
    s->setObjectName(name);
    s->setTwips(left, top, width, height);
    s->setColors(back, border, fill);
    s->setAttribute(Qt::WA_TransparentForMouseEvents);
    s->hide();
    return s;
}

QTimer* makeTimer(QObject* parent, const QString& name, int interval, bool running)
{
    auto* t = new QTimer(parent);
    t->setObjectName(name);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(interval);
    if (running)
        t->start();
    return t;
}

// --- The stage, in the order its controls are made (and read by a screen
// reader). Places in twips.

// The labels of the status bar (a single-line border each) and the two
// texts of the stage.
struct StageLabel {
    QLabel* frmQuiz::*label;
    const char* name;
    const char* caption;
    int left, top, width, height;
    LabelStyle style;
    bool boxed = false;
};

const FontSpec kStatusFont{"Arial Black", 11.25};
const StageLabel kStatusBar[] = {
    {&frmQuiz::lblTime, "lblTime", "00:00:00", 0, 0, 1335, 375, {kStatusFont, kGreen, Qt::AlignCenter}, true},
    {&frmQuiz::lblDate, "lblDate", "00:00:0000", 1320, 0, 1695, 375, {kStatusFont, kGreen, Qt::AlignCenter}, true},
    {&frmQuiz::lblStatus, "lblStatus", "Status", 3000, 0, 5895, 375, {kStatusFont, kGreen, Qt::AlignCenter}, true},
    {&frmQuiz::lblSicher, "lblSicher", "Sicher: 0,- €", 8880, 0, 3135, 375, {kStatusFont, kGreen, Qt::AlignCenter},
     true},
};
const StageLabel kNameCaption{&frmQuiz::lblKandidatenname, "lblKandidatenname", "Kandidatenname", 8640, 720, 3615,
                              255, {{"Conga", 12, true}, kCyan, Qt::AlignHCenter | Qt::AlignTop}};
const StageLabel kQuestion{&frmQuiz::lblFrage, "lblFrage", "Fragetext", 240, 2400, 9135, 1695,
                           {{"Times New Roman", 20.25, true}, kDarkRed, Qt::AlignHCenter | Qt::AlignTop}};

// The command buttons with their click procedures; the jokers stand in the
// joker frame, the others on the stage.
struct StageButton {
    QPushButton* frmQuiz::*button;
    void (frmQuiz::*click)();
    const char* name;
    const char* caption;
    int left, top, width, height;
};

const StageButton kGameButtons[] = {
    {&frmQuiz::cmdNeu, &frmQuiz::cmdNeu_Click, "cmdNeu", "&Neu", 240, 600, 855, 375},
    {&frmQuiz::cmdEdit, &frmQuiz::cmdEdit_Click, "cmdEdit", "&Editieren", 1080, 600, 855, 375},
    {&frmQuiz::cmdEnd, &frmQuiz::cmdEnd_Click, "cmdEnd", "&Ende", 1920, 600, 855, 375},
};
const StageButton kJokers[] = {
    {&frmQuiz::cmdPublikum, &frmQuiz::cmdPublikum_Click, "cmdPublikum", "&Publikum", 240, 360, 1215, 375},
    {&frmQuiz::cmdHalb, &frmQuiz::cmdHalb_Click, "cmdHalb", "&Zwei weg", 240, 720, 1215, 375},
    {&frmQuiz::cmdHandy, &frmQuiz::cmdHandy_Click, "cmdHandy", "&Handy", 240, 1080, 1215, 375},
};
const StageButton kAnswers[] = {
    {&frmQuiz::cmdA, &frmQuiz::cmdA_Click, "cmdA", "A", 1080, 4320, 3615, 615},
    {&frmQuiz::cmdB, &frmQuiz::cmdB_Click, "cmdB", "B", 4920, 4320, 3615, 615},
    {&frmQuiz::cmdC, &frmQuiz::cmdC_Click, "cmdC", "C", 1080, 5160, 3615, 615},
    {&frmQuiz::cmdD, &frmQuiz::cmdD_Click, "cmdD", "D", 4920, 5160, 3615, 615},
};

// The audience graph: four bars growing up from 5535, their labels below.
struct AudienceColumn {
    Shape* frmQuiz::*bar;
    QLabel* frmQuiz::*label;
    char letter;
    int barLeft;
};
const AudienceColumn kAudience[] = {
    {&frmQuiz::ShpPubA, &frmQuiz::lblPublikumA, 'A', 9240},
    {&frmQuiz::ShpPubB, &frmQuiz::lblPublikumB, 'B', 10200},
    {&frmQuiz::ShpPubC, &frmQuiz::lblPublikumC, 'C', 11160},
    {&frmQuiz::ShpPubD, &frmQuiz::lblPublikumD, 'D', 12120},
};

// The prize ladder by level from 1 (bottom row) up, 360 twips a row: the
// number (Label37 .. Label23), the amount right-aligned from its left edge to
// 13815 (Label22 .. Label8), and the marker (S1 .. S15).
struct LadderRow {
    QLabel* frmQuiz::*number;
    QLabel* frmQuiz::*amount;
    Shape* frmQuiz::*marker;
    qint32 euros;
    int amountLeft;
};
constexpr int kAmountRight = 13815; // 105 twips left of the markers
const LadderRow kLadder[15] = {
    {&frmQuiz::Label37, &frmQuiz::Label22, &frmQuiz::S1, 50, 13320},
    {&frmQuiz::Label36, &frmQuiz::Label21, &frmQuiz::S2, 100, 13200},
    {&frmQuiz::Label35, &frmQuiz::Label20, &frmQuiz::S3, 200, 13200},
    {&frmQuiz::Label34, &frmQuiz::Label19, &frmQuiz::S4, 300, 13200},
    {&frmQuiz::Label33, &frmQuiz::Label18, &frmQuiz::S5, 500, 13080},
    {&frmQuiz::Label32, &frmQuiz::Label17, &frmQuiz::S6, 1000, 13080},
    {&frmQuiz::Label31, &frmQuiz::Label16, &frmQuiz::S7, 2000, 13080},
    {&frmQuiz::Label30, &frmQuiz::Label15, &frmQuiz::S8, 4000, 13080},
    {&frmQuiz::Label29, &frmQuiz::Label14, &frmQuiz::S9, 8000, 12960},
    {&frmQuiz::Label28, &frmQuiz::Label13, &frmQuiz::S10, 16000, 12960},
    {&frmQuiz::Label27, &frmQuiz::Label12, &frmQuiz::S11, 32000, 12960},
    {&frmQuiz::Label26, &frmQuiz::Label11, &frmQuiz::S12, 64000, 12840},
    {&frmQuiz::Label25, &frmQuiz::Label10, &frmQuiz::S13, 125000, 12840},
    {&frmQuiz::Label24, &frmQuiz::Label9, &frmQuiz::S14, 500000, 12840},
    {&frmQuiz::Label23, &frmQuiz::Label8, &frmQuiz::S15, 1000000, 12600},
};

} // namespace

void frmQuiz::buildLayout()
{
    using platform::twipsRect;
    const auto label = [this](QWidget* parent, const StageLabel& l) {
        QLabel* made = makeLabel(parent, QString::fromUtf8(l.name), QString::fromUtf8(l.caption),
                                 twipsRect(l.left, l.top, l.width, l.height), l.style);
        if (l.boxed) {
            made->setFrameStyle(QFrame::Box | QFrame::Plain);
            made->setLineWidth(1);
        }
        this->*l.label = made;
    };
    const auto button = [this](QWidget* parent, const StageButton& b) {
        this->*b.button = makeButton(parent, QString::fromUtf8(b.name), QString::fromUtf8(b.caption),
                                     twipsRect(b.left, b.top, b.width, b.height));
    };

    for (const StageLabel& l : kStatusBar)
        label(this, l);
    for (const StageButton& b : kGameButtons)
        button(this, b);

    // --- Player name.
    label(this, kNameCaption);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(twipsRect(8640, 1080, 3615, 495));
    txtName->setFont(namedFont(QStringLiteral("Kauflinn"), 18, true, true));
    txtName->setAlignment(Qt::AlignCenter);
    QPalette namePalette = txtName->palette();
    namePalette.setColor(QPalette::Base, kLightBlue);
    txtName->setPalette(namePalette);
    txtName->setText(QStringLiteral("Ihr Name Bitte"));

    // --- Jokers: a black frame with a green caption around three buttons,
    // which keep the ordinary button look inside it.
    frmJoker = new ClassicFrame(QStringLiteral("Joker"), this);
    frmJoker->setObjectName(QStringLiteral("frmJoker"));
    frmJoker->setGeometry(twipsRect(9600, 1680, 1695, 1695));
    frmJoker->setFont(namedFont(QStringLiteral("Helmet"), 9.75, true, true));
    QPalette jokerPalette = frmJoker->palette();
    jokerPalette.setColor(QPalette::Window, kBlack);
    jokerPalette.setColor(QPalette::WindowText, kDarkGreen);
    jokerPalette.setColor(QPalette::Text, kDarkGreen);
    frmJoker->setPalette(jokerPalette);
    frmJoker->setAutoFillBackground(true);
    for (const StageButton& b : kJokers) {
        button(frmJoker, b);
        (this->*b.button)->setPalette(QApplication::palette(this->*b.button));
    }

    // --- Question and answers.
    label(this, kQuestion);
    lblFrage->setWordWrap(true);
    for (const StageButton& b : kAnswers)
        button(this, b);

    // --- Audience graph.
    const LabelStyle share{{"Arial Black", 9.75}, kYellow, Qt::AlignCenter, false, kAudienceBlue};
    for (const AudienceColumn& c : kAudience) {
        const QChar letter = QLatin1Char(c.letter);
        this->*c.bar = makeShape(this, QStringLiteral("ShpPub") + letter, c.barLeft, 5520, 375, 15, kOrange,
                                 kYellow, kWhite);
        QLabel* l = makeLabel(this, QStringLiteral("lblPublikum") + letter, QString(letter) + QStringLiteral(": 00%"),
                              twipsRect(c.barLeft - 240, 5640, 855, 255), share);
        l->hide();
        this->*c.label = l;
    }

    // --- Prize ladder.
    const FontSpec ladderFont{"Arial", 11.25, true};
    for (int level = 1; level <= 15; ++level) {
        const LadderRow& row = kLadder[level - 1];
        const int top = 5520 - 360 * (level - 1);
        const QString amount = platform::formatGrouped(row.euros) + QStringLiteral(" €");
        this->*row.number = makeLabel(this, QStringLiteral("Label%1").arg(38 - level), QString::number(level),
                                      twipsRect(14400, top, 255, 255),
                                      {ladderFont, kYellow, Qt::AlignLeft | Qt::AlignTop});
        this->*row.amount = makeLabel(this, QStringLiteral("Label%1").arg(23 - level), amount,
                                      twipsRect(row.amountLeft, top, kAmountRight - row.amountLeft, 255),
                                      {ladderFont, kYellow, Qt::AlignRight | Qt::AlignTop});
        Shape* marker = makeShape(this, QStringLiteral("S%1").arg(level), 13920, top, 375, 375, kDarkGreen,
                                  kMarkerBorder, kDarkGreen);
        marker->setAccessibleName(QStringLiteral("Stufe %1: %2").arg(level).arg(amount));
        this->*row.marker = marker;
    }

    // --- Timers: the clock and the audience animation run from the start, the
    // phone countdown waits for its joker.
    Timer1000 = makeTimer(this, QStringLiteral("Timer1000"), 1000, true);
    TimerCountdown = makeTimer(this, QStringLiteral("TimerCountdown"), 1000, false);
    TimerPub = makeTimer(this, QStringLiteral("TimerPub"), 50, true);

    // --- Keyboard: only buttons and the name box take the focus, in this order.
    txtName->setFocusPolicy(Qt::StrongFocus);
    frmJoker->setFocusPolicy(Qt::NoFocus);
    QWidget* const order[] = {cmdA, cmdB, cmdC, cmdD, txtName, cmdPublikum, cmdHalb, cmdHandy, cmdNeu, cmdEdit, cmdEnd};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // Each of them shows the focus with a frame that can be seen on the black
    // stage, on the blue floor and in the joker frame alike.
    auto* focusStyle = new FocusFrameStyle;
    focusStyle->setParent(this);
    for (QWidget* w : order)
        w->setStyle(focusStyle);
}

void frmQuiz::connectEvents()
{
    connect(Timer1000, &QTimer::timeout, this, &frmQuiz::Timer1000_Timer);
    connect(Timer1000, &QTimer::timeout, this, &frmQuiz::keepClockMidSecond);
    connect(TimerCountdown, &QTimer::timeout, this, &frmQuiz::TimerCountdown_Timer);
    connect(TimerPub, &QTimer::timeout, this, &frmQuiz::TimerPub_Timer);
    for (const StageButton& b : kGameButtons)
        connect(this->*b.button, &QPushButton::clicked, this, b.click);
    for (const StageButton& b : kJokers)
        connect(this->*b.button, &QPushButton::clicked, this, b.click);
    for (const StageButton& b : kAnswers)
        connect(this->*b.button, &QPushButton::clicked, this, b.click);
}

Shape* frmQuiz::marker(int level) const
{
    if (level < 1 || level > 15)
        return nullptr;
    return this->*kLadder[level - 1].marker;
}

QLabel* frmQuiz::ladderNumber(int level) const
{
    return level < 1 || level > 15 ? nullptr : this->*kLadder[level - 1].number;
}

QLabel* frmQuiz::ladderAmount(int level) const
{
    return level < 1 || level > 15 ? nullptr : this->*kLadder[level - 1].amount;
}
