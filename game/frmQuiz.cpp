// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's construction: every control in its place with its caption,
// font, colours and initial state, the three timers, the tab order, and the
// plumbing of the window's own events (background picture, keys, closing).
#include "game/frmQuiz.h"

#include "editor/frmEditor.h"
#include "platform/Shape.h"
#include "platform/platform.h"
#include "widgets/CaptionButton.h"
#include "widgets/ClassicFrame.h"
#include "widgets/FocusFrameStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
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

// "Arial Black" is a face whose regular style is its black weight. Asked for at
// that weight, it is found itself where it is installed, and elsewhere the
// heaviest face of its substitute, not a thin regular one.
QFont blackFont(qreal points)
{
    QFont f = namedFont(QStringLiteral("Arial Black"), points);
    f.setWeight(QFont::Black);
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

struct LabelStyle {
    QFont font;
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
    l->setFont(style.font);
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

// The marker shapes by level, S1 for level 1 up to S15.
Shape* frmQuiz::* const kMarkers[15] = {
    &frmQuiz::S1,  &frmQuiz::S2,  &frmQuiz::S3,  &frmQuiz::S4,  &frmQuiz::S5,
    &frmQuiz::S6,  &frmQuiz::S7,  &frmQuiz::S8,  &frmQuiz::S9,  &frmQuiz::S10,
    &frmQuiz::S11, &frmQuiz::S12, &frmQuiz::S13, &frmQuiz::S14, &frmQuiz::S15,
};

} // namespace

// A fixed dialog frame with a title and a close box: no maximise or minimise
// button, on X11 and Wayland alike.
frmQuiz::frmQuiz() : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                          | Qt::WindowCloseButtonHint)
{
    platform::useFontSubstitutes();
    useScreenReaderParts();
    setObjectName(QStringLiteral("frmQuiz"));
    setWindowTitle(QStringLiteral("Plomberg - QUIZ nach Horst Mertigs Goldene Leiter"));
    setWindowIcon(platform::programIcon());
    setFixedSize(platform::px(15330), platform::px(6225));
    buildLayout();
    offerFullScreen();
}

frmQuiz::~frmQuiz() = default;

void frmQuiz::buildLayout()
{
    using platform::twipsRect;

    // --- Status bar: four transparent labels with a single-line border.
    const LabelStyle status{blackFont(11.25), kGreen, Qt::AlignCenter};
    auto statusLabel = [&](const QString& name, const QString& caption, int left, int width) {
        QLabel* l = makeLabel(this, name, caption, twipsRect(left, 0, width, 375), status);
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
        l->setLineWidth(1);
        return l;
    };
    lblTime = statusLabel(QStringLiteral("lblTime"), QStringLiteral("00:00:00"), 0, 1335);
    lblDate = statusLabel(QStringLiteral("lblDate"), QStringLiteral("00:00:0000"), 1320, 1695);
    lblStatus = statusLabel(QStringLiteral("lblStatus"), QStringLiteral("Status"), 3000, 5895);
    lblSicher = statusLabel(QStringLiteral("lblSicher"), QStringLiteral("Sicher: 0,- €"), 8880, 3135);

    // --- Game buttons.
    cmdNeu = makeButton(this, QStringLiteral("cmdNeu"), QStringLiteral("&Neu"), twipsRect(240, 600, 855, 375));
    cmdEdit = makeButton(this, QStringLiteral("cmdEdit"), QStringLiteral("&Editieren"),
                         twipsRect(1080, 600, 855, 375));
    cmdEnd = makeButton(this, QStringLiteral("cmdEnd"), QStringLiteral("&Ende"), twipsRect(1920, 600, 855, 375));

    // --- Player name.
    lblKandidatenname = makeLabel(this, QStringLiteral("lblKandidatenname"), QStringLiteral("Kandidatenname"),
                                  twipsRect(8640, 720, 3615, 255),
                                  {namedFont(QStringLiteral("Conga"), 12, true), kCyan,
                                   Qt::AlignHCenter | Qt::AlignTop});
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(twipsRect(8640, 1080, 3615, 495));
    txtName->setFont(namedFont(QStringLiteral("Kauflinn"), 18, true, true));
    txtName->setAlignment(Qt::AlignCenter);
    {
        QPalette pal = txtName->palette();
        pal.setColor(QPalette::Base, kLightBlue);
        txtName->setPalette(pal);
    }
    txtName->setText(QStringLiteral("Ihr Name Bitte"));

    // --- Jokers: a black frame with a green caption around three buttons.
    frmJoker = new ClassicFrame(QStringLiteral("Joker"), this);
    frmJoker->setObjectName(QStringLiteral("frmJoker"));
    frmJoker->setGeometry(twipsRect(9600, 1680, 1695, 1695));
    frmJoker->setFont(namedFont(QStringLiteral("Helmet"), 9.75, true, true));
    {
        QPalette pal = frmJoker->palette();
        pal.setColor(QPalette::Window, kBlack);
        pal.setColor(QPalette::WindowText, kDarkGreen);
        pal.setColor(QPalette::Text, kDarkGreen);
        frmJoker->setPalette(pal);
    }
    frmJoker->setAutoFillBackground(true);
    cmdPublikum = makeButton(frmJoker, QStringLiteral("cmdPublikum"), QStringLiteral("&Publikum"),
                             twipsRect(240, 360, 1215, 375));
    cmdHalb = makeButton(frmJoker, QStringLiteral("cmdHalb"), QStringLiteral("&Zwei weg"),
                         twipsRect(240, 720, 1215, 375));
    cmdHandy = makeButton(frmJoker, QStringLiteral("cmdHandy"), QStringLiteral("&Handy"),
                          twipsRect(240, 1080, 1215, 375));
    for (QPushButton* b : {cmdPublikum, cmdHalb, cmdHandy}) {
        // The buttons keep the ordinary button look inside the black frame.
        b->setPalette(QApplication::palette(b));
    }

    // --- Question and answers.
    lblFrage = makeLabel(this, QStringLiteral("lblFrage"), QStringLiteral("Fragetext"),
                         twipsRect(240, 2400, 9135, 1695),
                         {namedFont(QStringLiteral("Times New Roman"), 20.25, true), kDarkRed,
                          Qt::AlignHCenter | Qt::AlignTop});
    lblFrage->setWordWrap(true);
    cmdA = makeButton(this, QStringLiteral("cmdA"), QStringLiteral("A"), twipsRect(1080, 4320, 3615, 615));
    cmdB = makeButton(this, QStringLiteral("cmdB"), QStringLiteral("B"), twipsRect(4920, 4320, 3615, 615));
    cmdC = makeButton(this, QStringLiteral("cmdC"), QStringLiteral("C"), twipsRect(1080, 5160, 3615, 615));
    cmdD = makeButton(this, QStringLiteral("cmdD"), QStringLiteral("D"), twipsRect(4920, 5160, 3615, 615));

    // --- Audience graph: four bars growing up from 5535 and their labels below.
    struct AudienceColumn {
        Shape* frmQuiz::*bar;
        QLabel* frmQuiz::*label;
        QChar letter;
        int barLeft;
    };
    const AudienceColumn columns[] = {
        {&frmQuiz::ShpPubA, &frmQuiz::lblPublikumA, QLatin1Char('A'), 9240},
        {&frmQuiz::ShpPubB, &frmQuiz::lblPublikumB, QLatin1Char('B'), 10200},
        {&frmQuiz::ShpPubC, &frmQuiz::lblPublikumC, QLatin1Char('C'), 11160},
        {&frmQuiz::ShpPubD, &frmQuiz::lblPublikumD, QLatin1Char('D'), 12120},
    };
    const LabelStyle audience{blackFont(9.75), kYellow, Qt::AlignCenter, false,
                              kAudienceBlue};
    for (const AudienceColumn& c : columns) {
        this->*c.bar = makeShape(this, QStringLiteral("ShpPub") + c.letter, c.barLeft, 5520, 375, 15, kOrange,
                                 kYellow, kWhite);
        QLabel* l = makeLabel(this, QStringLiteral("lblPublikum") + c.letter, QString(c.letter) + QStringLiteral(": 00%"),
                              twipsRect(c.barLeft - 240, 5640, 855, 255), audience);
        l->hide();
        this->*c.label = l;
    }

    // --- Prize ladder: level 1 at the bottom, 360 twips per row.
    QLabel* frmQuiz::* const numberLabels[15] = {
        &frmQuiz::Label37, &frmQuiz::Label36, &frmQuiz::Label35, &frmQuiz::Label34, &frmQuiz::Label33,
        &frmQuiz::Label32, &frmQuiz::Label31, &frmQuiz::Label30, &frmQuiz::Label29, &frmQuiz::Label28,
        &frmQuiz::Label27, &frmQuiz::Label26, &frmQuiz::Label25, &frmQuiz::Label24, &frmQuiz::Label23,
    };
    QLabel* frmQuiz::* const amountLabels[15] = {
        &frmQuiz::Label22, &frmQuiz::Label21, &frmQuiz::Label20, &frmQuiz::Label19, &frmQuiz::Label18,
        &frmQuiz::Label17, &frmQuiz::Label16, &frmQuiz::Label15, &frmQuiz::Label14, &frmQuiz::Label13,
        &frmQuiz::Label12, &frmQuiz::Label11, &frmQuiz::Label10, &frmQuiz::Label9,  &frmQuiz::Label8,
    };
    struct Amount {
        const char* caption;
        int left;
    };
    static const Amount amounts[15] = {
        {"50 €", 13320},      {"100 €", 13200},     {"200 €", 13200},     {"300 €", 13200},
        {"500 €", 13080},     {"1.000 €", 13080},   {"2.000 €", 13080},   {"4.000 €", 13080},
        {"8.000 €", 12960},   {"16.000 €", 12960},  {"32.000 €", 12960},  {"64.000 €", 12840},
        {"125.000 €", 12840}, {"500.000 €", 12840}, {"1.000.000 €", 12600},
    };
    constexpr int kAmountRight = 13815; // every amount ends here, 105 twips left of the markers
    const QFont ladderFont = namedFont(QStringLiteral("Arial"), 11.25, true);
    for (int level = 1; level <= 15; ++level) {
        const int top = 5520 - 360 * (level - 1);
        this->*numberLabels[level - 1] =
            makeLabel(this, QStringLiteral("Label%1").arg(38 - level), QString::number(level),
                      twipsRect(14400, top, 255, 255), {ladderFont, kYellow, Qt::AlignLeft | Qt::AlignTop});
        const Amount& a = amounts[level - 1];
        this->*amountLabels[level - 1] =
            makeLabel(this, QStringLiteral("Label%1").arg(23 - level), QString::fromUtf8(a.caption),
                      twipsRect(a.left, top, kAmountRight - a.left, 255),
                      {ladderFont, kYellow, Qt::AlignRight | Qt::AlignTop});
        Shape* marker = makeShape(this, QStringLiteral("S%1").arg(level), 13920, top, 375, 375, kDarkGreen,
                                  kMarkerBorder, kDarkGreen);
        marker->setAccessibleName(QStringLiteral("Stufe %1: %2").arg(level).arg(QString::fromUtf8(a.caption)));
        this->*kMarkers[level - 1] = marker;
    }

    // --- Timers: the clock and the audience animation run from the start, the
    // phone countdown waits for its joker.
    Timer1000 = makeTimer(this, QStringLiteral("Timer1000"), 1000, true);
    TimerCountdown = makeTimer(this, QStringLiteral("TimerCountdown"), 1000, false);
    TimerPub = makeTimer(this, QStringLiteral("TimerPub"), 50, true);
    connect(Timer1000, &QTimer::timeout, this, &frmQuiz::Timer1000_Timer);
    connect(Timer1000, &QTimer::timeout, this, &frmQuiz::keepClockMidSecond);
    connect(TimerCountdown, &QTimer::timeout, this, &frmQuiz::TimerCountdown_Timer);
    connect(TimerPub, &QTimer::timeout, this, &frmQuiz::TimerPub_Timer);

    // --- Buttons.
    connect(cmdA, &QPushButton::clicked, this, &frmQuiz::cmdA_Click);
    connect(cmdB, &QPushButton::clicked, this, &frmQuiz::cmdB_Click);
    connect(cmdC, &QPushButton::clicked, this, &frmQuiz::cmdC_Click);
    connect(cmdD, &QPushButton::clicked, this, &frmQuiz::cmdD_Click);
    connect(cmdNeu, &QPushButton::clicked, this, &frmQuiz::cmdNeu_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmQuiz::cmdEdit_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmQuiz::cmdEnd_Click);
    connect(cmdPublikum, &QPushButton::clicked, this, &frmQuiz::cmdPublikum_Click);
    connect(cmdHalb, &QPushButton::clicked, this, &frmQuiz::cmdHalb_Click);
    connect(cmdHandy, &QPushButton::clicked, this, &frmQuiz::cmdHandy_Click);

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

    describeForScreenReaders();
    cmdA->setFocus(Qt::OtherFocusReason);
}

Shape* frmQuiz::marker(int level) const
{
    if (level < 1 || level > 15)
        return nullptr;
    return this->*kMarkers[level - 1];
}

QLabel* frmQuiz::ladderNumber(int level) const
{
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(38 - level), Qt::FindDirectChildrenOnly);
}

QLabel* frmQuiz::ladderAmount(int level) const
{
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(23 - level), Qt::FindDirectChildrenOnly);
}

void frmQuiz::keyPressEvent(QKeyEvent* event)
{
    // A key typed while one of the controls has the focus belongs to that
    // control; only keys that reach the window itself are judged.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != this && isAncestorOf(focus)) {
        event->ignore();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() > 0xFF || !text.at(0).isPrint()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Form_KeyPress(text.at(0).unicode());
}

void frmQuiz::closeEvent(QCloseEvent* event)
{
    // Closing through the frame ends the program at once: no question, and
    // the question file is left to be closed by the end of the process.
    event->accept();
}
