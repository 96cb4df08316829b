// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game window from its creation to the first question on screen: the stage
// at start, start-up on a good question file and on every kind of unusable one,
// showing the current question, the clock around midnight, and the German
// patterns the window writes with.
#include "game/frmQuiz.h"
#include "game/stagescaler.h"
#include "platform/Shape.h"
#include "platform/platform.h"
#include "platform/questionfile.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"
#include "widgets/CaptionButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>
#include <sqlite3.h>

using testsupport::DialogAnswerer;
using testsupport::ProgramEnded;
using testsupport::Record;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// The first message of a failed start-up, for a program in `dir`.
QString missingFileText(const QString& dir)
{
    const QString file = QDir::toNativeSeparators(dir + QStringLiteral("/Zada-VI-VOZ.mdb"));
    return QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ") + file
        + QStringLiteral(" vorhanden ist. Die Datenbank kann unter ")
        + platform::questionSource(file, QStringLiteral("Zada-VI-VOZ.mdb")) + QStringLiteral(" geladen werden.");
}

void writeRawFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// An SQLite file that holds some other table, but not the question table.
void writeFileWithoutQuestionTable(const QString& path)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "CREATE TABLE \"Fragen\" (\"Frage\" TEXT); INSERT INTO \"Fragen\" VALUES ('x')",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
}

} // namespace

class TestGameStartup : public QObject {
    Q_OBJECT

public:
    // A screen of 1920 x 1080, where full screen scales the stage as on a TV set.
    static void initMain() { testsupport::useOwnDisplay(QSize(1920, 1080)); }

private:
    std::unique_ptr<testsupport::ProgramFolder> m_dir;
    std::unique_ptr<frmQuiz> m_w;

    QString filePath() const { return m_dir->questionFile(); }

    // A window over a question file with `records`, started without the name
    // prompt (the name box already holds a name).
    void startWith(const QList<Record>& records, const QDateTime& when = at(2026, 12, 7, 12, 0, 0))
    {
        m_dir = std::make_unique<testsupport::ProgramFolder>(records);
        platform::setClock([when] { return when; });
        m_w = std::make_unique<frmQuiz>();
        m_w->txtName->setText(QStringLiteral("Anna"));
        m_w->Form_Load();
    }

    void tick(const QDateTime& when)
    {
        platform::setClock([when] { return when; });
        QVERIFY(QMetaObject::invokeMethod(m_w->Timer1000, "timeout"));
    }

private Q_SLOTS:
    void initTestCase() { testsupport::catchEndProgram(); }

    void cleanup()
    {
        m_w.reset();
        m_dir.reset();
        platform::setClock({});
        platform::setProgramDirectory(QString());
        platform::setDialogScale(1); // a row that failed in full screen left it there
    }

    // --- The stage before start-up.

    void stageAtStart()
    {
        frmQuiz w;
        for (int level = 1; level <= 15; ++level)
            QVERIFY2(w.marker(level)->isHidden(), qPrintable(QStringLiteral("S%1 lit").arg(level)));
        for (QWidget* hidden : std::initializer_list<QWidget*>{w.ShpPubA, w.ShpPubB, w.ShpPubC, w.ShpPubD,
                                                               w.lblPublikumA, w.lblPublikumB, w.lblPublikumC,
                                                               w.lblPublikumD})
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
        // Everything else stands on the stage and can be used.
        for (QWidget* child : w.findChildren<QWidget*>()) {
            if (qobject_cast<Shape*>(child) || child->objectName().startsWith(QLatin1String("lblPublikum"))
                || child->objectName().isEmpty() || child->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QVERIFY2(!child->isHidden() && child->isEnabled(), qPrintable(child->objectName()));
        }
        QCOMPARE(w.lblSicher->text(), QStringLiteral("Sicher: 0,- €"));
        QCOMPARE(w.txtName->text(), QStringLiteral("Ihr Name Bitte"));
        QCOMPARE(w.focusWidget(), w.cmdA);
    }

    void amountsLineUpAtTheRight()
    {
        frmQuiz w;
        for (int n = 8; n <= 22; ++n) {
            auto* amount = w.findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
            QVERIFY2(amount, qPrintable(QStringLiteral("Label%1").arg(n)));
            QCOMPARE(amount->geometry().right() + 1, 13815 / 15);
            QVERIFY(amount->alignment() & Qt::AlignRight);
            QVERIFY(amount->geometry().right() < w.S1->geometry().left());
        }
    }

    void barsStandAboveTheirLabels()
    {
        frmQuiz w;
        const std::pair<Shape*, QLabel*> columns[] = {
            {w.ShpPubA, w.lblPublikumA}, {w.ShpPubB, w.lblPublikumB},
            {w.ShpPubC, w.lblPublikumC}, {w.ShpPubD, w.lblPublikumD}};
        for (const auto& [bar, label] : columns) {
            QVERIFY(bar->geometry().bottom() < label->geometry().top());
            QCOMPARE(bar->geometry().center().x(), label->geometry().center().x());
        }
    }

    void windowCannotBeResized()
    {
        frmQuiz w;
        QCOMPARE(w.size(), QSize(1022, 415));
        QCOMPARE(w.minimumSize(), QSize(1022, 415));
        QCOMPARE(w.maximumSize(), QSize(1022, 415));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(w.windowTitle(), QStringLiteral("Plomberg - QUIZ nach Horst Mertigs Goldene Leiter"));
        QVERIFY(!w.windowIcon().isNull());
    }

    void timersAtStart()
    {
        frmQuiz w;
        const struct {
            const char* name;
            int interval;
            bool running;
        } expected[] = {{"Timer1000", 1000, true}, {"TimerCountdown", 1000, false}, {"TimerPub", 50, true}};
        for (const auto& e : expected) {
            auto* t = w.findChild<QTimer*>(QString::fromLatin1(e.name));
            QVERIFY2(t, e.name);
            QCOMPARE(t->interval(), e.interval);
            QCOMPARE(t->isActive(), e.running);
            QCOMPARE(t->timerType(), Qt::PreciseTimer);
        }
    }

    // The picture is drawn unscaled from the top-left corner, and the
    // transparent labels let it through.
    void backgroundPicture_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("colour");
        const QColor black(0, 0, 0), white(255, 255, 255);
        QTest::newRow("left border column") << QPoint(1, 100) << white;
        QTest::newRow("stage") << QPoint(2, 262) << black;
        QTest::newRow("right border column") << QPoint(1021, 100) << white;
        // On the floor a point is the floor's blue or one of its grid lines.
        QTest::newRow("floor below the edge") << QPoint(300, 264) << QColor();
        QTest::newRow("through the amount label 50 €") << QPoint(13320 / 15, 5520 / 15 + 15) << QColor();
        QTest::newRow("through the level number 1") << QPoint(14400 / 15 + 14, 5520 / 15 + 15) << QColor();
        QTest::newRow("through the status label") << QPoint(3030 / 15, 2) << black;
    }

    void backgroundPicture()
    {
        QFETCH(QPoint, point);
        QFETCH(QColor, colour);
        frmQuiz w;
        const QImage shot = w.grab().toImage();
        QCOMPARE(shot.size(), QSize(1022, 415));
        if (colour.isValid())
            QCOMPARE(shot.pixelColor(point), colour);
        else
            QVERIFY2(shot.pixelColor(point) == QColor(0, 0, 102) || shot.pixelColor(point) == QColor(102, 102, 255),
                     qPrintable(shot.pixelColor(point).name()));
    }

    // Behind the controls the window shows the shipped picture, pixel for pixel.
    void backgroundAsShipped()
    {
        frmQuiz w;
        for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            c->hide();
        const QImage shipped = QImage(QStringLiteral(":/background.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(w.grab().toImage().convertToFormat(QImage::Format_RGB32), shipped.copy(0, 0, 1022, 415));
    }

    // Every face the layout names shows in its weight and style: the face itself
    // where it is installed, else one of its substitutes, never a thin regular
    // stand-in for a bold or black face.
    void namedFaces_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("italic");
        QTest::newRow("status bar") << "lblStatus" << "Arial Black" << false;
        QTest::newRow("audience label") << "lblPublikumA" << "Arial Black" << false;
        QTest::newRow("name caption") << "lblKandidatenname" << "Conga" << false;
        QTest::newRow("name box") << "txtName" << "Kauflinn" << true;
        QTest::newRow("joker frame") << "frmJoker" << "Helmet" << true;
        QTest::newRow("question") << "lblFrage" << "Times New Roman" << false;
        QTest::newRow("ladder") << "Label8" << "Arial" << false;
    }

    void namedFaces()
    {
        QFETCH(QString, control);
        QFETCH(QString, face);
        QFETCH(bool, italic);
        frmQuiz w;
        const QWidget* c = w.findChild<QWidget*>(control);
        QVERIFY(c);
        // Asked for by its own name where installed, else by its substitute's.
        const QString asked = c->font().family();
        if (QFontDatabase::families().contains(face, Qt::CaseInsensitive))
            QCOMPARE(asked, face);
        else
            QVERIFY2(QFont::substitutes(face).contains(asked, Qt::CaseInsensitive), qPrintable(asked));
        const QFontInfo shown(c->font());
        QVERIFY2(shown.family() == face || QFont::substitutes(face).contains(shown.family(), Qt::CaseInsensitive),
                 qPrintable(shown.family()));
        QVERIFY2(shown.weight() >= QFont::Bold, qPrintable(QString::number(shown.weight())));
        QCOMPARE(shown.italic(), italic);
    }

    // An answer of up to 40 characters is shown whole on its button, letter
    // included: wrapped, and smaller where it must be, but readable and never
    // cut. A question of 110 characters fits its label as well.
    void captionsShownWhole_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("fullSize");
        QTest::newRow("one character") << "7" << true;
        QTest::newRow("20, words") << "Ludwig van Beethoven" << true;
        QTest::newRow("39, words") << "Max Weber, Wilhelm Wundt und Ernst Mach" << false;
        QTest::newRow("40, words") << "Johann Wolfgang von Goethe aus Frankfurt" << false;
        QTest::newRow("40, one compound word") << "Rinderkennzeichnungsfleischetikettierung" << false;
        QTest::newRow("40, wide letters") << "WMW MWM WWM MMW WMW MWM WWW MMM WMW MWMW" << false;
    }

    void captionsShownWhole()
    {
        QFETCH(QString, answer);
        QFETCH(bool, fullSize);
        const QString question = QStringLiteral("Welcher deutsche Dichter schrieb im achtzehnten Jahrhundert das "
                                                "Drama, in dem ein Gelehrter die Seele verkauft");
        QCOMPARE(question.size(), 110);
        Record r = testsupport::sampleRecord(1);
        r[store::field::Frage] = question;
        r[store::field::AntwortA] = answer;
        startWith({r});

        auto* button = qobject_cast<CaptionButton*>(m_w->cmdA);
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("A:   ") + answer);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFont shown = button->captionFont();
        const QRect needed = QFontMetrics(shown).boundingRect(
            contents, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, button->text());
        QVERIFY(contents.contains(needed));
        QCOMPARE(QFontInfo(shown).family(), QFontInfo(button->font()).family());
        QVERIFY(QFontInfo(shown).pixelSize() >= 9);
        if (fullSize)
            QCOMPARE(QFontInfo(shown).pixelSize(), QFontInfo(button->font()).pixelSize());

        const QRect label = m_w->lblFrage->contentsRect();
        const QRect text = QFontMetrics(m_w->lblFrage->font()).boundingRect(
            label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_w->lblFrage->text());
        QVERIFY(label.contains(text));
    }

    // The control that has the focus shows it with a frame that stands out
    // on the black stage, on the blue floor and inside the joker frame.
    void focusFrameShowsOnEveryBackground_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("answer on the floor") << "cmdA";
        QTest::newRow("button on the stage") << "cmdNeu";
        QTest::newRow("joker in its frame") << "cmdPublikum";
        QTest::newRow("name box") << "txtName";
    }

    void focusFrameShowsOnEveryBackground()
    {
        QFETCH(QString, control);
        startWith(testsupport::sampleRecords(2));
        m_w->show();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        auto* c = m_w->findChild<QWidget*>(control);
        QVERIFY(c);
        const int changed = testsupport::focusFramePixels(c, m_w->cmdEnd);
        QVERIFY2(changed >= 2 * (c->width() + c->height()), qPrintable(QString::number(changed)));
    }

    // The joker frame and the audience bars as they are drawn: the frame's light
    // outline runs round its whole 113 x 113 area with the caption on its top
    // edge; a 0 % bar is its one-pixel baseline, a 3 % bar five pixels.
    void stageAsDrawn()
    {
        Record r = testsupport::sampleRecord(1);
        r[store::field::PublikumA] = QStringLiteral("0");
        r[store::field::PublikumB] = QStringLiteral("3");
        r[store::field::PublikumC] = QStringLiteral("50");
        r[store::field::PublikumD] = QStringLiteral("47");
        startWith({r});
        m_w->cmdPublikum_Click();
        while (m_w->TimerPub->isActive())
            QVERIFY(QMetaObject::invokeMethod(m_w->TimerPub, "timeout"));

        const QImage stage = m_w->grab().toImage();
        const auto barRows = [&stage](const Shape* bar) { // painted rows down to the labels
            int rows = 0;
            for (int y = 0; y < 5640 / 15; ++y) {
                const QColor c = stage.pixelColor(bar->geometry().center().x(), y);
                rows += c == QColor(255, 255, 0) || c == QColor(255, 128, 0);
            }
            return rows;
        };
        QCOMPARE(barRows(m_w->ShpPubA), 1);
        QCOMPARE(barRows(m_w->ShpPubB), 5);

        const QImage frame = m_w->frmJoker->grab().toImage();
        QCOMPARE(frame.size(), QSize(113, 113));
        const auto light = [&frame](int x, int y) { return qGray(frame.pixel(x, y)) >= 100; };
        int top = 0; // the top edge, right of the caption
        while (top < 15 && !light(110, top))
            ++top;
        for (int i = top + 2; i <= 110; ++i)
            QVERIFY2(light(0, i) && light(112, i) && light(i, 112), qPrintable(QString::number(i)));
        // The caption, in its green, stands across the top edge.
        const auto green = [&frame](int y) {
            for (int x = 0; x < frame.width(); ++x)
                if (frame.pixelColor(x, y) == QColor(0, 192, 0))
                    return true;
            return false;
        };
        QVERIFY(top < 15 && green(top - 2) && green(top + 2));
    }

    // The whole stage at one scale: in a window of that size, and in full
    // screen (F11) on the 1920 x 1080 screen the test runs on. Every control
    // keeps its place, size and font size relative to the stage; the floor is
    // drawn for the pixels it covers, with detail that the 100 % picture
    // enlarged lacks; going back gives the window exactly as it was.
    void stageAtScale_data()
    {
        QTest::addColumn<qreal>("factor"); // 0: full screen, as large as fits
        QTest::addColumn<int>("backKey");
        QTest::newRow("100 %") << 1.0 << 0;
        QTest::newRow("150 %") << 1.5 << 0;
        QTest::newRow("200 %") << 2.0 << 0;
        QTest::newRow("full screen, back by F11") << 0.0 << int(Qt::Key_F11);
        QTest::newRow("full screen, back by Escape") << 0.0 << int(Qt::Key_Escape);
    }

    void stageAtScale()
    {
        QFETCH(qreal, factor);
        QFETCH(int, backKey);
        startWith(testsupport::sampleRecords(2));
        const auto messageText = [] { // the text size of a message box shown now
            int pixels = 0;
            QTimer::singleShot(0, [&pixels] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                pixels = QFontInfo(box->font()).pixelSize();
                box->accept();
            });
            platform::msgBox(QStringLiteral("Hallo"));
            return pixels;
        };
        const int builtMessageText = messageText();
        frmQuiz& w = *m_w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QList<QWidget*> controls = w.findChildren<QWidget*>();
        QHash<QWidget*, QRect> built;
        QHash<QWidget*, int> builtFont;
        for (QWidget* c : controls) {
            built[c] = QRect(c->mapTo(&w, QPoint()), c->size());
            builtFont[c] = QFontInfo(c->font()).pixelSize();
        }
        const QRect window = w.geometry();
        const QImage before = w.grab().toImage();

        if (factor == 0) {
            QTest::keyClick(&w, Qt::Key_F11);
            QCoreApplication::processEvents(); // the window system's new size
            QCOMPARE(w.size(), QSize(1920, 1080));
            factor = 1920 / 1022.0; // the width is what limits a 16:9 screen
            QCOMPARE(w.stageRect().center(), w.rect().center());
            QVERIFY(std::abs(messageText() - builtMessageText * factor) <= factor);
            QApplication::setActiveWindow(&w);
        } else {
            w.setStageScale(factor);
        }
        QCOMPARE(w.findChild<StageScaler*>()->factor(), factor);
        const QPoint origin = w.stageRect().topLeft();
        for (QWidget* c : controls) {
            const QRect now(c->mapTo(&w, QPoint()) - origin, c->size());
            const QRect want = built[c];
            const auto near = [factor](int got, int at100) { return std::abs(got - at100 * factor) <= factor + 1; };
            QVERIFY2(near(now.left(), want.left()) && near(now.top(), want.top()) && near(now.right() + 1, want.right() + 1)
                         && near(now.bottom() + 1, want.bottom() + 1),
                     qPrintable(c->objectName()));
            QVERIFY2(qobject_cast<Shape*>(c) || std::abs(QFontInfo(c->font()).pixelSize() - builtFont[c] * factor) <= factor,
                     qPrintable(c->objectName()));
        }

        // The joker frame's etched outline, grey then white, grows with the stage.
        const QImage jokers = w.frmJoker->grab().toImage();
        const auto run = [&jokers](int from, const QColor& colour) {
            int x = from;
            while (x < jokers.width() && jokers.pixelColor(x, jokers.height() / 2) == colour)
                ++x;
            return x - from;
        };
        const int line = qMax(1, qRound(factor));
        QCOMPARE(run(0, QColor(128, 128, 128)), line);
        QCOMPARE(run(line, Qt::white), line);

        // The floor left of and below the answer buttons: one-pixel grid lines
        // where the enlarged 100 % picture has lines `factor` pixels wide.
        const QImage shot = w.grab().toImage();
        const QRect floor(2, w.cmdA->geometry().top(), w.cmdC->geometry().left() - 2,
                          w.stageRect().bottom() - w.cmdA->geometry().top());
        int differing = 0;
        for (int y = floor.top(); y <= floor.bottom(); ++y)
            for (int x = floor.left(); x <= floor.right(); ++x)
                differing += shot.pixel(x, y)
                             != before.pixel(int((x - origin.x()) / factor), int((y - origin.y()) / factor));
        if (factor == 1)
            QCOMPARE(differing, 0);
        else
            QVERIFY2(differing > floor.width() * floor.height() / 20, qPrintable(QString::number(differing)));

        if (backKey) {
            QTest::keyClick(&w, Qt::Key(backKey));
            QCoreApplication::processEvents();
            QVERIFY(!w.isFullScreen());
        } else {
            w.setStageScale(1);
        }
        QCOMPARE(w.geometry(), window);
        QCOMPARE(w.minimumSize(), window.size());
        QCOMPARE(w.maximumSize(), window.size());
        QCOMPARE(w.grab().toImage(), before);
        QCOMPARE(messageText(), builtMessageText);
    }

    void audienceLabelPaintsItsBlue()
    {
        frmQuiz w;
        w.lblPublikumA->show();
        const QImage shot = w.grab().toImage();
        QCOMPARE(shot.pixelColor(w.lblPublikumA->geometry().topLeft() + QPoint(1, 1)), QColor(0, 0, 192));
    }

    // Alt with the underlined letter presses the button, inside the joker frame too.
    void accessKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("Alt+N") << int(Qt::Key_N) << QStringLiteral("cmdNeu");
        QTest::newRow("Alt+H") << int(Qt::Key_H) << QStringLiteral("cmdHandy");
        QTest::newRow("Alt+Z") << int(Qt::Key_Z) << QStringLiteral("cmdHalb");
    }

    void accessKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, button);
        frmQuiz w;
        auto* b = w.findChild<QPushButton*>(button);
        QVERIFY(b);
        // Only the press itself is of interest here, not what the game does with it.
        QObject::disconnect(b, &QPushButton::clicked, &w, nullptr);
        QSignalSpy pressed(b, &QPushButton::clicked);
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key(key), Qt::AltModifier);
        // The button goes down at once and reports its click when it comes up.
        QVERIFY(b->isDown());
        QVERIFY(pressed.count() == 1 || pressed.wait());
        QCOMPARE(pressed.count(), 1);
    }

    // "&Editieren" and "&Ende" share their letter: Alt+E goes from one to the
    // other and presses neither, so a slip of the finger never ends the game.
    void sharedAccessKeyOnlyMovesTheFocus()
    {
        frmQuiz w;
        QObject::disconnect(w.cmdEdit, &QPushButton::clicked, &w, nullptr);
        QObject::disconnect(w.cmdEnd, &QPushButton::clicked, &w, nullptr);
        QSignalSpy edit(w.cmdEdit, &QPushButton::clicked);
        QSignalSpy end(w.cmdEnd, &QPushButton::clicked);
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier);
        const QWidget* first = QApplication::focusWidget();
        QVERIFY(first == w.cmdEdit || first == w.cmdEnd);
        QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier);
        const QWidget* second = QApplication::focusWidget();
        QVERIFY(second == w.cmdEdit || second == w.cmdEnd);
        QVERIFY(first != second);
        QVERIFY(!w.cmdEdit->isDown() && !w.cmdEnd->isDown());
        QCOMPARE(edit.count() + end.count(), 0);
    }

    // --- Start-up on a good file.

    void startUp_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name");
        QTest::newRow("name typed") << QStringLiteral("input:Zoë Beispiel") << QStringLiteral("Zoë Beispiel");
        QTest::newRow("default taken") << QStringLiteral("ok") << QStringLiteral("Horst Mertig");
        QTest::newRow("cancelled") << QStringLiteral("cancel") << QString();
    }

    void startUp()
    {
        QFETCH(QString, action);
        QFETCH(QString, name);
        m_dir = std::make_unique<testsupport::ProgramFolder>(testsupport::sampleRecords(3));
        platform::setClock([] { return at(2003, 3, 24, 21, 5, 9); });
        frmQuiz w;
        w.Timer1000->stop(); // the clock ticks only when this test says so
        DialogAnswerer answer({action});
        w.Form_Load();

        QCOMPARE(answer.seen().size(), 1);
        const auto& prompt = answer.seen().first();
        QCOMPARE(prompt.title, QStringLiteral("Wie heissen Sie denn?"));
        QCOMPARE(prompt.text, QStringLiteral("Bitte geben Sie ihren Namen an..."));
        QCOMPARE(prompt.input, QStringLiteral("Horst Mertig"));
        QCOMPARE(w.txtName->text(), name);

        QCOMPARE(w.lblStatus->text(), QStringLiteral("Wilkommen zum Plomberg-Quiz"));
        QCOMPARE(w.lblDate->text(), QStringLiteral("24.03.2003"));
        QCOMPARE(w.lblTime->text(), QStringLiteral("00:00:00")); // until the first tick
        QCOMPARE(w.lblFrage->text(), QStringLiteral("Frage 1"));
        QCOMPARE(w.cmdA->text(), QStringLiteral("A:   Antwort A1"));
        QCOMPARE(w.cmdB->text(), QStringLiteral("B:   Antwort B1"));
        QCOMPARE(w.cmdC->text(), QStringLiteral("C:   Antwort C1"));
        QCOMPARE(w.cmdD->text(), QStringLiteral("D:   Antwort D1"));

        // A fresh game: everything usable, nothing reached, nothing secured.
        for (QPushButton* b : {w.cmdA, w.cmdB, w.cmdC, w.cmdD, w.cmdPublikum, w.cmdHalb, w.cmdHandy})
            QVERIFY(b->isEnabled());
        for (int level = 1; level <= 15; ++level)
            QVERIFY(w.marker(level)->isHidden());
        QCOMPARE(w.lblSicher->text(), QStringLiteral("Sicher: 0,- €"));
        QCOMPARE(w.Level, qint16(0));
        QVERIFY(!w.isVisible()); // main shows it only after start-up
    }

    void noPromptOnceTheNameBoxHoldsAName()
    {
        m_dir = std::make_unique<testsupport::ProgramFolder>(testsupport::sampleRecords(1));
        frmQuiz w;
        w.txtName->setText(QStringLiteral("ihr Name bitte")); // not the design text: case counts
        DialogAnswerer answer({QStringLiteral("cancel")});
        w.Form_Load();
        QCOMPARE(answer.seen().size(), 0);
        QCOMPARE(w.txtName->text(), QStringLiteral("ihr Name bitte"));
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Wilkommen zum Plomberg-Quiz"));
    }

    // --- Start-up on a file that cannot be used: two messages, then the end.

    void fatalStartUp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no file") << QStringLiteral("missing");
        QTest::newRow("empty file") << QStringLiteral("empty file");
        QTest::newRow("no database") << QStringLiteral("text");
        QTest::newRow("no question table") << QStringLiteral("other table");
        QTest::newRow("no records") << QStringLiteral("empty table");
        QTest::newRow("first question without text") << QStringLiteral("null question");
    }

    void fatalStartUp()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(store::kFileName);
        if (kind == QLatin1String("empty file")) {
            writeRawFile(path, QByteArray());
        } else if (kind == QLatin1String("text")) {
            writeRawFile(path, QByteArrayLiteral("Frage;Antwort\nWer?;Ich\n").repeated(100));
        } else if (kind == QLatin1String("other table")) {
            writeFileWithoutQuestionTable(path);
        } else if (kind == QLatin1String("empty table")) {
            testsupport::writeQuestionFile(path, {});
        } else if (kind == QLatin1String("null question")) {
            QList<Record> records = testsupport::sampleRecords(2);
            records[0][QStringLiteral("Frage")] = QVariant();
            testsupport::writeQuestionFile(path, records);
        }
        QByteArray before;
        if (QFile f(path); f.open(QIODevice::ReadOnly))
            before = f.readAll();
        platform::setProgramDirectory(dir.path());

        frmQuiz w;
        DialogAnswerer answer({QStringLiteral("ok"), QStringLiteral("ok"), QStringLiteral("cancel")});
        bool ended = false;
        try {
            w.Form_Load();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        QVERIFY(ended);
        QCOMPARE(answer.seen().size(), 2); // no name prompt after the failure
        QCOMPARE(answer.seen().at(0).title, QStringLiteral("das Plomberg-Quiz"));
        QCOMPARE(answer.seen().at(0).text, missingFileText(dir.path()));
        QCOMPARE(answer.seen().at(0).buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(answer.seen().at(1).title, QStringLiteral("das Plomberg-Quiz"));
        QCOMPARE(answer.seen().at(1).text, QStringLiteral("Das Quiz wird wegen eines Fehlers beendet."));
        QCOMPARE(answer.seen().at(1).buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(!w.isVisible());
        QVERIFY(w.lblStatus->text() != QStringLiteral("Wilkommen zum Plomberg-Quiz"));

        // The program never makes or mends the file it could not use.
        QCOMPARE(QFile::exists(path), kind != QLatin1String("missing"));
        if (QFile f(path); f.open(QIODevice::ReadOnly))
            QCOMPARE(f.readAll(), before);
    }

    // --- Showing the current question.

    void questionsWrapAroundAfterTheLast()
    {
        startWith(testsupport::sampleRecords(3));
        QCOMPARE(m_w->lblFrage->text(), QStringLiteral("Frage 1"));
        for (const char* expected : {"Frage 2", "Frage 3", "Frage 1", "Frage 2"}) {
            m_w->QuizRecords->MoveNext();
            m_w->PufferInForm();
            QCOMPARE(m_w->lblFrage->text(), QString::fromLatin1(expected));
            QCOMPARE(m_w->cmdD->text(), QStringLiteral("D:   Antwort D") + QString::fromLatin1(expected).right(1));
        }
    }

    void oneRecordComesBackEveryTime()
    {
        startWith(testsupport::sampleRecords(1));
        for (int i = 0; i < 3; ++i) {
            m_w->QuizRecords->MoveNext();
            m_w->PufferInForm();
            QCOMPARE(m_w->lblFrage->text(), QStringLiteral("Frage 1"));
            QCOMPARE(m_w->cmdA->text(), QStringLiteral("A:   Antwort A1"));
        }
    }

    void newQuestionClearsWhatTheJokersLeft()
    {
        startWith(testsupport::sampleRecords(2));
        for (QWidget* shown : std::initializer_list<QWidget*>{m_w->ShpPubA, m_w->ShpPubB, m_w->ShpPubC, m_w->ShpPubD,
                                                              m_w->lblPublikumA, m_w->lblPublikumB,
                                                              m_w->lblPublikumC, m_w->lblPublikumD})
            shown->show();
        m_w->TimerCountdown->start();
        m_w->CountdownElapsed = 12;
        m_w->cmdB->setEnabled(false);
        m_w->lblStatus->setText(QStringLiteral("Handy"));

        m_w->QuizRecords->MoveNext();
        m_w->PufferInForm();

        QCOMPARE(m_w->lblFrage->text(), QStringLiteral("Frage 2"));
        for (QWidget* hidden : std::initializer_list<QWidget*>{m_w->ShpPubA, m_w->ShpPubB, m_w->ShpPubC,
                                                               m_w->ShpPubD, m_w->lblPublikumA, m_w->lblPublikumB,
                                                               m_w->lblPublikumC, m_w->lblPublikumD})
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
        QVERIFY(!m_w->TimerCountdown->isActive());
        // The rest is the callers' business.
        QCOMPARE(m_w->CountdownElapsed, 12.0f);
        QVERIFY(!m_w->cmdB->isEnabled());
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Handy"));
        QVERIFY(m_w->TimerPub->isActive());
    }

    // A field without a value shows as the empty text, never as a failure.
    void fieldsWithoutValue_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("answer A without value") << 1 << QStringLiteral("AntwortA") << QVariant() << QStringLiteral("cmdA")
                                                << QStringLiteral("A:   ");
        QTest::newRow("answer D empty") << 1 << QStringLiteral("AntwortD") << QVariant(QString(""))
                                        << QStringLiteral("cmdD") << QStringLiteral("D:   ");
        QTest::newRow("later question without value") << 2 << QStringLiteral("Frage") << QVariant()
                                                      << QStringLiteral("lblFrage") << QString();
        QTest::newRow("first question empty") << 1 << QStringLiteral("Frage") << QVariant(QString(""))
                                               << QStringLiteral("lblFrage") << QString();
    }

    void fieldsWithoutValue()
    {
        QFETCH(int, record);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        QList<Record> records = testsupport::sampleRecords(2);
        records[record - 1][field] = value;
        startWith(records);
        QCOMPARE(m_w->lblStatus->text(), QStringLiteral("Wilkommen zum Plomberg-Quiz"));
        if (record == 2) {
            m_w->QuizRecords->MoveNext();
            m_w->PufferInForm();
        }
        QWidget* c = m_w->findChild<QWidget*>(control);
        QVERIFY(c);
        const QString text = qobject_cast<QLabel*>(c) ? qobject_cast<QLabel*>(c)->text()
                                                      : qobject_cast<QPushButton*>(c)->text();
        QCOMPARE(text, shown);
    }

    // Texts from the file are shown as they are: an "&" gives no access key
    // and markup is not interpreted.
    void textsShowAsWritten()
    {
        QList<Record> records = testsupport::sampleRecords(1);
        records[0][QStringLiteral("AntwortB")] = QStringLiteral("Kraut & Rüben");
        records[0][QStringLiteral("Frage")] = QStringLiteral("Was heißt <b>fett</b>?");
        startWith(records);
        QVERIFY(QKeySequence::mnemonic(m_w->cmdB->text()).isEmpty());
        QVERIFY(m_w->cmdB->text().contains(QLatin1String("Kraut &")));
        QCOMPARE(m_w->lblFrage->textFormat(), Qt::PlainText);
        QCOMPARE(m_w->lblFrage->text(), QStringLiteral("Was heißt <b>fett</b>?"));
    }

    // --- The clock.

    void clock_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("tickAt");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("evening") << at(2003, 3, 24, 21, 5, 8) << at(2003, 3, 24, 21, 5, 9) << "21:05:09"
                                 << "24.03.2003";
        QTest::newRow("last second of the day") << at(2026, 12, 7, 23, 59, 58) << at(2026, 12, 7, 23, 59, 59)
                                                << "23:59:59" << "07.12.2026";
        QTest::newRow("midnight") << at(2026, 12, 7, 23, 59, 59) << at(2026, 12, 8, 0, 0, 0) << "00:00:00"
                                  << "08.12.2026";
        QTest::newRow("tick that skips midnight") << at(2026, 12, 7, 23, 59, 59, 600) << at(2026, 12, 8, 0, 0, 1, 20)
                                                  << "00:00:01" << "08.12.2026";
        QTest::newRow("new year") << at(2026, 12, 31, 23, 59, 59) << at(2027, 1, 1, 0, 0, 0) << "00:00:00"
                                  << "01.01.2027";
        QTest::newRow("one second past midnight") << at(2026, 12, 8, 0, 0, 0) << at(2026, 12, 8, 0, 0, 1)
                                                  << "00:00:01" << "08.12.2026";
        QTest::newRow("morning") << at(2026, 3, 1, 9, 5, 3) << at(2026, 3, 1, 9, 5, 4) << "09:05:04" << "01.03.2026";
    }

    void clock()
    {
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, tickAt);
        QFETCH(QString, time);
        QFETCH(QString, date);
        startWith(testsupport::sampleRecords(1), start);
        QCOMPARE(m_w->lblDate->text(), start.toString(QStringLiteral("dd.MM.yyyy")));
        tick(tickAt);
        QCOMPARE(m_w->lblTime->text(), time);
        QCOMPARE(m_w->lblDate->text(), date);
    }

    void clockKeepsGoingAcrossSeveralDays()
    {
        startWith(testsupport::sampleRecords(1), at(2026, 12, 7, 23, 59, 59));
        tick(at(2026, 12, 8, 0, 0, 2)); // midnight skipped
        tick(at(2026, 12, 8, 12, 0, 0));
        QCOMPARE(m_w->lblDate->text(), QStringLiteral("08.12.2026"));
        tick(at(2026, 12, 9, 0, 0, 0));
        QCOMPARE(m_w->lblDate->text(), QStringLiteral("09.12.2026"));
        QCOMPARE(m_w->lblTime->text(), QStringLiteral("00:00:00"));
    }

    // --- Keys and closing.

    void keysOfAFocusedControlAreNotJudged()
    {
        QList<Record> records = testsupport::sampleRecords(2); // record 1: "A" is right
        startWith(records);
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        m_w->cmdC->setFocus();
        QTest::keyClick(m_w->cmdC, Qt::Key_A, Qt::NoModifier);
        QCOMPARE(m_w->lblFrage->text(), QStringLiteral("Frage 1"));
        QCOMPARE(m_w->Level, qint16(0));
    }

    void closingThroughTheFrameAsksNothing()
    {
        startWith(testsupport::sampleRecords(1));
        m_w->show();
        DialogAnswerer answer({QStringLiteral("no")});
        QVERIFY(m_w->close());
        QCOMPARE(answer.seen().size(), 0);
        QVERIFY(!m_w->isVisible());
    }

    // --- The German patterns the window writes with.

    void patterns_data()
    {
        QTest::addColumn<QString>("rendered");
        QTest::addColumn<QString>("expected");
        const QDateTime evening = at(2003, 3, 24, 21, 5, 9);
        QTest::newRow("date") << platform::formatDate(evening) << "24.03.2003";
        QTest::newRow("date, one-digit day and month") << platform::formatDate(at(2026, 1, 2, 0, 0, 0)) << "02.01.2026";
        QTest::newRow("time") << platform::formatTime(evening) << "21:05:09";
        QTest::newRow("time at midnight") << platform::formatTime(at(2026, 1, 2, 0, 0, 0)) << "00:00:00";
        QTest::newRow("secured 0") << platform::formatSecured(0) << "0,-";
        QTest::newRow("secured 1000") << platform::formatSecured(1000) << "1.000,-";
        QTest::newRow("secured 32000") << platform::formatSecured(32000) << "32.000,-";
        QTest::newRow("secured 1000000") << platform::formatSecured(1000000) << "1.000.000,-";
        QTest::newRow("grouped 32000") << platform::formatGrouped(32000) << "32.000";
        QTest::newRow("grouped 500") << platform::formatGrouped(500) << "500";
        QTest::newRow("grouped 1000000") << platform::formatGrouped(1000000) << "1.000.000";
        QTest::newRow("whole 29") << platform::formatWhole(29) << "29";
        QTest::newRow("whole 0") << platform::formatWhole(0) << "0";
        QTest::newRow("whole 1000") << platform::formatWhole(1000) << "1000";
    }

    void patterns()
    {
        QFETCH(QString, rendered);
        QFETCH(QString, expected);
        QCOMPARE(rendered, expected);
    }
};

QTEST_MAIN(TestGameStartup)
#include "tst_game_startup.moc"
