// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The message boxes and the name prompt as the window manager sees them: a
// title bar without minimise and maximise buttons, the window they were
// opened from as their parent (so they stay above it), and a name prompt
// wide enough for its whole title.
#include "platform/QuizApplication.h"
#include "platform/platform.h"
#include "support/display.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

struct Seen {
    Qt::WindowFlags flags;
    QPointer<QWidget> parent;
    int width = 0;
    QSize minimumSize;
    QSize maximumSize;
    QFont font;
    bool opened = false;
    int buttonsWithIcon = 0;
};

// Runs `open` (which shows a modal dialog) and reads the dialog while it is
// up, then answers it with Enter.
Seen whileOpen(const std::function<void()>& open)
{
    Seen seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || seen.opened)
            return;
        seen = {dialog->windowFlags(), dialog->parentWidget(), dialog->width(), dialog->minimumSize(),
                dialog->maximumSize(), dialog->font(), true};
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            seen.buttonsWithIcon += !button->icon().isNull();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    poll.start();
    open();
    return seen;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private Q_SLOTS:
    void dialogsAreDialogs_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("windowShown");
        for (const char* kind : {"message", "question", "name prompt"}) {
            QTest::addRow("%s over the game window", kind) << QString::fromLatin1(kind) << true;
            QTest::addRow("%s before any window", kind) << QString::fromLatin1(kind) << false;
        }
    }

    void dialogsAreDialogs()
    {
        QFETCH(QString, kind);
        QFETCH(bool, windowShown);
        QWidget game;
        game.resize(400, 300);
        if (windowShown) {
            game.show();
            game.activateWindow();
            QVERIFY(QTest::qWaitForWindowExposed(&game));
        }
        const Seen seen = whileOpen([&] {
            if (kind == QLatin1String("message"))
                platform::msgBox(QStringLiteral("Text"));
            else if (kind == QLatin1String("question"))
                platform::askYesNo(QStringLiteral("Neue Runde?"));
            else
                platform::inputBox(QStringLiteral("Name?"), QStringLiteral("Wie heissen Sie denn?"), QString());
        });
        QVERIFY(seen.opened);
        QCOMPARE(seen.flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY2(seen.flags.testFlag(Qt::CustomizeWindowHint), "the window manager would add every button");
        QVERIFY(!seen.flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!seen.flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(seen.parent.data(), windowShown ? &game : nullptr);
        // A window that cannot grow gets no maximise button from the window manager.
        QCOMPARE(seen.minimumSize, seen.maximumSize);
    }

    // The game's style keeps words alone on dialog buttons, also where the
    // desktop's style would put stock icons on them (Qt's generic X11 one).
    void dialogButtonsCarryWordsOnly()
    {
        class StockIcons : public QProxyStyle {
        public:
            int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* data) const override
            {
                return hint == SH_DialogButtonBox_ButtonsHaveIcons ? 1
                                                                    : QProxyStyle::styleHint(hint, option, widget, data);
            }
        };
        QApplication::setStyle(QuizApplication::withPlainDialogButtons(new StockIcons));
        for (const auto& open : std::initializer_list<std::function<void()>>{
                 [] { platform::msgBox(QStringLiteral("Text")); },
                 [] { platform::inputBox(QStringLiteral("Name?"), QStringLiteral("Titel"), QString()); }}) {
            const Seen seen = whileOpen(open);
            QVERIFY(seen.opened);
            QCOMPARE(seen.buttonsWithIcon, 0);
        }
    }

    void namePromptFitsItsTitle()
    {
        const QString title = QStringLiteral("Wie heissen Sie denn?");
        const Seen seen = whileOpen([&] { platform::inputBox(QStringLiteral("Bitte geben Sie ihren Namen an..."), title,
                                                              QStringLiteral("Horst Mertig")); });
        QVERIFY(seen.opened);
        QFont bold = seen.font;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QVERIFY2(seen.width >= metrics.horizontalAdvance(title) + 8 * metrics.height(),
                 qPrintable(QString::number(seen.width)));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
