// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The message boxes and the name prompt: real, modal Qt dialogs, shown over
// the window they come from, with plain text and words on their buttons.
#include "platform/platform.h"
#include "widgets/FocusFrameStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleHints>
#include <QTimer>
#include <algorithm>

namespace platform {
namespace {
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

// A dialog takes no answer in the first moments it is up: the second press of
// a double press on "Ende", or on the answer that lost the game, would
// otherwise answer a question the player has not yet seen (quit the program,
// take a second chance) the moment it appears. Presses that would answer it,
// by key, access key or mouse, are dropped until the platform's double-click
// interval has passed since it was shown, and so are the repeats of a held
// key at any time; typing into the name box goes on.
class AnswersNoEarlyPress : public QObject {
public:
    explicit AnswersNoEarlyPress(QWidget& dialog) : QObject(&dialog), m_dialog(dialog)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            m_shown.start();
            for (QWidget* child : m_dialog.findChildren<QWidget*>())
                child->installEventFilter(this);
            return false;
        }
        if (!answers(watched, event))
            return false;
        const bool early =
            !m_shown.isValid() || m_shown.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
        const auto* key = event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event) : nullptr;
        if (!early && !(key && key->isAutoRepeat()))
            return false;
        event->accept();
        return true;
    }

private:
    static bool answers(const QObject* watched, const QEvent* event)
    {
        const bool onButton = qobject_cast<const QAbstractButton*>(watched) != nullptr;
        switch (event->type()) {
        case QEvent::Shortcut: // an access key: Alt+J, Alt+N
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return onButton;
        case QEvent::KeyPress: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)
                return true;
            // Space presses a button; a message box takes a letter for its
            // buttons' access keys.
            const bool takesLetters = onButton || qobject_cast<const QMessageBox*>(watched);
            return takesLetters && !key->text().isEmpty();
        }
        default:
            return false;
        }
    }

    QWidget& m_dialog;
    QElapsedTimer m_shown;
};

// The dialog's buttons and text box show the focus as the game's controls do,
// with a frame as much larger as the dialog's text: which button Space
// presses is plain on a television too.
void showFocusFrame(QWidget& dialog)
{
    auto* style = new FocusFrameStyle;
    style->setParent(&dialog);
    style->setScale(dialogScale());
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w))
            w->setStyle(style);
    }
}

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
} // namespace

void msgBox(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Ok, dialogParent(), kDialogFlags);
    showPlain(box);
    new StaysOnScreen(box);
    new AnswersNoEarlyPress(box);
    scaleDialogText(box);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    showFocusFrame(box);
    box.exec();
}

bool askYesNo(const QString& text, const QString& title)
{
    YesNoBox box(titleOr(title), text);
    showPlain(box);
    new StaysOnScreen(box);
    new AnswersNoEarlyPress(box);
    scaleDialogText(box);
    // The texts of Qt's German translation, here also without it; J and N
    // answer the box as access keys.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(QMessageBox::Yes);
    showFocusFrame(box);
    return box.exec() == QMessageBox::Yes;
}

QString inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(dialogParent(), kDialogFlags);
    new StaysOnScreen(dialog);
    new AnswersNoEarlyPress(dialog);
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
    showFocusFrame(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace platform
