// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {
std::function<void()> g_endHandler;
std::function<QDateTime()> g_clock;

QString titleOr(const QString& title) { return title.isEmpty() ? kAppTitle : title; }

// A dialog's title bar holds its title and at most a close box: a message box
// that could be minimised would leave the window under it waiting for an
// answer nobody sees.
constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The window a dialog belongs to: the active one (the game window or the
// editor), else the first ordinary window on screen; none before the game
// window is shown. The window system keeps the dialog above it and places it
// over it (a transient window on X11, the parent of the toplevel on Wayland).
QWidget* dialogParent()
{
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active->window();
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto shown = std::find_if(windows.begin(), windows.end(), [](const QWidget* w) {
        return w->isVisible() && w->windowType() == Qt::Window;
    });
    return shown == windows.end() ? nullptr : *shown;
}

// Some window managers (Openbox among them) draw a minimise button on every
// window, whatever its hints say, and take the window it belongs to along: the
// game would vanish with a question open. A dialog that is minimised comes
// straight back with that window, and keeps the keyboard.
class StaysOnScreen : public QObject {
public:
    explicit StaysOnScreen(QWidget& dialog) : QObject(&dialog), m_dialog(dialog) { dialog.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::WindowStateChange && m_dialog.isMinimized())
            QTimer::singleShot(0, this, [this] { restore(); });
        return false;
    }

private:
    void restore()
    {
        if (QWidget* owner = m_dialog.parentWidget())
            owner->window()->setWindowState(owner->window()->windowState() & ~Qt::WindowMinimized);
        m_dialog.setWindowState(m_dialog.windowState() & ~Qt::WindowMinimized);
        m_dialog.activateWindow();
    }

    QWidget& m_dialog;
};

// A box's text may hold an answer from the question file or the player's name:
// it is always plain text. Qt's automatic rich-text detection would otherwise
// read "<img src=...>" as an image to load (from any file, /dev/zero included).
void showPlain(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
}

// A question is answered with one of its two buttons and nothing else: Escape
// and a request to close the window do nothing, and the title bar has no
// close box. (A plain QMessageBox takes both for "Nein".)
class YesNoBox : public QMessageBox {
public:
    YesNoBox(const QString& title, const QString& text)
        : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, dialogParent())
    {
        // QMessageBox adds the close box to any flags it is given.
        setWindowFlags((kDialogFlags & ~Qt::WindowCloseButtonHint) | Qt::MSWindowsFixedSizeDialogHint);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

// "1234567" -> "1.234.567"; the sign stays in front.
QString groupThousands(qint64 value)
{
    // German grouping whatever the player's own locale: 1.000.000.
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(value);
}
} // namespace

void endProgram() { endProgram(0); }

void endProgram(int exitStatus)
{
    if (g_endHandler)
        g_endHandler();          // a test's handler throws and never comes back here
    std::exit(exitStatus);
}

void setEndProgramHandler(std::function<void()> handler) { g_endHandler = std::move(handler); }

QDateTime now() { return g_clock ? g_clock() : QDateTime::currentDateTime(); }

void setClock(std::function<QDateTime()> clock) { g_clock = std::move(clock); }

void msgBox(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Ok, dialogParent(), kDialogFlags);
    showPlain(box);
    new StaysOnScreen(box);
    scaleDialogText(box);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool askYesNo(const QString& text, const QString& title)
{
    YesNoBox box(titleOr(title), text);
    showPlain(box);
    new StaysOnScreen(box);
    scaleDialogText(box);
    // The texts of Qt's German translation, here also without it; J and N
    // answer the box as access keys.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(dialogParent(), kDialogFlags);
    new StaysOnScreen(dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    // The prompt is a label like a message box's text: plain, never markup.
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(defaultText);
    scaleDialogText(dialog);
    // The title bar shows the whole title, in bold as window managers write
    // it (a fifth wider than the dialog's own face, which is loaded already;
    // loading the bold one would cost start-up time), beside their icon and
    // buttons (about eight lines' height). The size is fixed: a window
    // manager offers no maximise for a window that cannot grow.
    const QFontMetrics metrics(dialog.font());
    dialog.sizeHint(); // builds the dialog's layout
    if (QLineEdit* box = dialog.findChild<QLineEdit*>())
        box->setMinimumWidth(metrics.horizontalAdvance(title) * 6 / 5 + 8 * metrics.height());
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

namespace {

struct Substitute {
    const char* face;
    QStringList standIns; // the first that is installed serves
};

// Qt asks for a substitute only when the named face itself is not installed.
// The weight and style come from the font as the window asks for it.
const std::vector<Substitute>& substituteTable()
{
    using namespace Qt::StringLiterals;
    static const std::vector<Substitute> table = {
        // Metric-compatible faces, so that texts take the room they were laid out for.
        {"Arial", {u"Liberation Sans"_s, u"DejaVu Sans"_s}},
        {"Times New Roman", {u"Liberation Serif"_s, u"DejaVu Serif"_s}},
        // A wide, heavy sans; the status bar asks for it at black weight, and
        // DejaVu Sans Bold is the heaviest face installed.
        {"Arial Black", {u"DejaVu Sans"_s, u"Liberation Sans"_s}},
        // The caption over the name box: a broad sans in bold, a show caption
        // rather than a text face.
        {"Conga", {u"DejaVu Sans"_s}},
        // The player's name in bold italic: a serif italic has the written
        // look, and its line fits the 33-pixel name box at 18 points.
        {"Kauflinn", {u"Liberation Serif"_s, u"DejaVu Serif"_s}},
        // A Helvetica look-alike: Liberation Sans is as plain and as wide.
        {"Helmet", {u"Liberation Sans"_s, u"DejaVu Sans"_s}},
    };
    return table;
}

} // namespace

void useFontSubstitutes()
{
    for (const Substitute& s : substituteTable())
        QFont::insertSubstitutions(QString::fromLatin1(s.face), s.standIns);
}

QString installedFace(const QString& face)
{
    // Qt's own lookup of a face it does not have first asks the font system
    // for that face's fallbacks, which are never used when a substitute is
    // installed: about 0.4 ms a face at start-up.
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(face, Qt::CaseInsensitive))
        return face;
    for (const Substitute& s : substituteTable()) {
        if (face.compare(QLatin1String(s.face), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& standIn : s.standIns) {
            if (installed.contains(standIn, Qt::CaseInsensitive))
                return standIn;
        }
    }
    return face;
}

void centreOnScreen(QWidget& window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QString formatDate(const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy")); }

QString formatTime(const QDateTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

QString formatSecured(qint64 euros) { return groupThousands(euros) + QStringLiteral(",-"); }

QString formatGrouped(qint64 euros) { return groupThousands(euros); }

QString formatWhole(double value) { return QString::number(static_cast<qint64>(std::llround(value))); }

QRect twipsRect(int left, int top, int width, int height, qreal factor)
{
    // At factor 1 the same whole pixels as px().
    const auto at = [factor](int twips) { return int(std::floor(twips * factor / kTwipsPerPixel)); };
    const int x = at(left), y = at(top);
    return QRect(x, y, at(left + width) - x, at(top + height) - y);
}

void reportToTerminal(const QString& line)
{
    std::fputs((QStringLiteral(QUIZ_PROGRAM ": ") + line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void reportUncaughtFailure(const QString& what)
{
    reportToTerminal(what);
    msgBox(QStringLiteral("Unerwarteter Fehler: %1\nDas Programm wird beendet.").arg(what));
    endProgram(1);
}

} // namespace platform
