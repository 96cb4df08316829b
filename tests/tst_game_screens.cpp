// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of the stage whole on every screen: laid out as full screen lays
// it out for a screen's size, no text stands out of its box further than it
// does in the window, grown by the same factor.
#include "game/frmQuiz.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <memory>

namespace {

// How far the ink of a label's text stands out of the label, where it is
// cut off, in pixels, on the side it stands out most: across for a line, down
// for a text that wraps.
int overhang(const QLabel* label)
{
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
        const QRect text = metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text());
        return std::max(0, text.bottom() - label->rect().bottom());
    }
    const int advance = metrics.horizontalAdvance(label->text());
    int start = room.left(); // the pen's start, as the label aligns the line
    if (label->alignment() & Qt::AlignRight)
        start = room.right() + 1 - advance;
    else if (label->alignment() & Qt::AlignHCenter)
        start = room.left() + (room.width() - advance) / 2;
    const QRect ink = metrics.tightBoundingRect(label->text()).translated(start, 0);
    return std::max({0, -ink.left(), ink.right() - label->rect().right()});
}

} // namespace

class TestGameScreens : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private Q_SLOTS:
    void init() { testsupport::catchEndProgram(); }

    void everyTextWhole_data()
    {
        QTest::addColumn<QSize>("screen");
        for (const QSize s : {QSize(1024, 768), QSize(1280, 1024), QSize(1366, 768), QSize(1400, 900),
                              QSize(1440, 900), QSize(1600, 1200), QSize(1920, 1080), QSize(1920, 1200),
                              QSize(2560, 1080), QSize(2560, 1440), QSize(2560, 1600), QSize(3840, 2160)})
            QTest::addRow("%dx%d", s.width(), s.height()) << s;
    }

    void everyTextWhole()
    {
        QFETCH(QSize, screen);
        const testsupport::ProgramFolder dir(testsupport::sampleRecords(3));
        frmQuiz w;
        {
            testsupport::DialogAnswerer answer({QStringLiteral("input:Horst Mertig")});
            w.Form_Load();
        }
        // The audience's shares and a long status line, as the game shows them.
        w.Publikum();
        w.lblStatus->setText(QStringLiteral("Kontostand ihres Kartells: 1.000.000,- €"));
        const QList<QLabel*> labels = w.findChildren<QLabel*>();
        QHash<QLabel*, int> inWindow;
        for (QLabel* l : labels)
            inWindow[l] = overhang(l);

        const qreal factor = frmQuiz::fullScreenFactor(screen);
        w.setStageScale(factor);
        for (QLabel* l : labels) {
            QVERIFY2(overhang(l) <= inWindow[l] * factor + 1,
                     qPrintable(QStringLiteral("%1 „%2“ stands out by %3 px at %4 (in the window by %5 px)")
                                    .arg(l->objectName(), l->text())
                                    .arg(overhang(l))
                                    .arg(factor)
                                    .arg(inWindow[l])));
        }
    }
};

QTEST_MAIN(TestGameScreens)
#include "tst_game_screens.moc"
