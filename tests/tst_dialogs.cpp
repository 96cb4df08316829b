// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The message boxes and the name prompt as the window manager sees them: a
// title bar without minimise and maximise buttons and a size that cannot
// grow, the window they were opened from as their parent (so they stay above
// it, and back on screen when minimised), answered by no press in the first
// moment (a double-click interval) nor by a held key, buttons with words only
// and the game's focus frame, and a name prompt as wide as its title.
#include "platform/QuizApplication.h"
#include "platform/platform.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPointer>
#include <QProxyStyle>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

// A style that puts stock icons on dialog buttons, as Qt's generic X11 one does.
class StockIcons : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

class TestDialogs : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QuizApplication::withPlainDialogButtons(new StockIcons)); }

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
        if (windowShown) {
            game.show();
            QVERIFY(QTest::qWaitForWindowExposed(&game));
        }
        // Read while the dialog is up, then answered; judged once it is closed.
        const QString title = QStringLiteral("Wie heissen Sie denn?");
        bool opened = false;
        QPointer<QWidget> parent;
        QFont font;
        Qt::WindowFlags flags;
        QSize minimum, maximum;
        int width = 0, buttonsWithIcon = 0;
        bool comesBack = false, answeredAtOnce = false, answeredByRepeat = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = true;
                // The second press of a double press comes at once; a held
                // key repeats.
                QTest::keyClick(dialog, Qt::Key_Return);
                answeredAtOnce = !dialog->isVisible();
                // Minimised as a window manager that draws the button anyway
                // does it: with the window it belongs to.
                if (windowShown)
                    game.showMinimized();
                dialog->showMinimized();
                comesBack = QTest::qWaitFor([&] { return !dialog->isMinimized() && !game.isMinimized(); });
                parent = dialog->parentWidget();
                font = dialog->font();
                flags = dialog->windowFlags();
                minimum = dialog->minimumSize();
                maximum = dialog->maximumSize();
                width = dialog->width();
                for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                    buttonsWithIcon += !button->icon().isNull();
                QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
                QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(dialog, &held);
                answeredByRepeat = !dialog->isVisible();
                QTest::keyClick(dialog, Qt::Key_Return);
            }
        });
        if (kind == QLatin1String("message"))
            platform::msgBox(QStringLiteral("Text"));
        else if (kind == QLatin1String("question"))
            platform::askYesNo(QStringLiteral("Neue Runde?"));
        else
            platform::inputBox(QStringLiteral("Bitte geben Sie ihren Namen an..."), title, QStringLiteral("Horst Mertig"));
        QVERIFY(opened);
        QVERIFY2(!answeredAtOnce && !answeredByRepeat, "a press the player could not mean answered the dialog");
        QVERIFY2(comesBack, "a minimised dialog stays hidden, and the game with it");
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint), "the window manager would add every button");
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(minimum, maximum); // a window manager offers no maximise for what cannot grow
        QCOMPARE(parent.data(), windowShown ? &game : nullptr);
        QCOMPARE(buttonsWithIcon, 0);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        if (kind == QLatin1String("name prompt"))
            QVERIFY2(width >= metrics.horizontalAdvance(title) + 8 * metrics.height(), qPrintable(QString::number(width)));
    }

    // The buttons show the game's solid focus frame, two pixels wide, and as
    // much wider as the dialogs' text over the full-screen stage.
    void focusFrameAsInTheGame_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }

    void focusFrameAsInTheGame()
    {
        QFETCH(qreal, scale);
        platform::setDialogScale(scale);
        int changed = -1, outline = 0;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QVERIFY(QTest::qWaitForWindowActive(box));
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                outline = 2 * (yes->width() + yes->height());
                changed = testsupport::focusFramePixels(yes, box->button(QMessageBox::No));
                yes->click();
            }
        });
        platform::askYesNo(QStringLiteral("Neue Runde?"));
        platform::setDialogScale(1);
        QVERIFY2(changed >= outline * (2 * scale - 1), qPrintable(QString::number(changed)));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
