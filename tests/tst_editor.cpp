// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The question editor over a real question file in a temporary directory: what
// the boxes and the status line show, and what really ends up in the file.
#include "editor/boxtext.h"
#include "editor/frmEditor.h"
#include "game/frmQuiz.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <clocale>
#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

using testsupport::DialogAnswerer;
using testsupport::Record;
using testsupport::sampleRecords;

namespace {

QString fieldOf(const Record& r, const QString& field) { return r.value(field).toString(); }

// Sets or clears the file's immutable flag: the one way to make a file
// read-only for root. False when the file system does not allow it.
bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// What a test saw inside the modal editor opened from the game window.
struct EditorVisit {
    bool seen = false;
    bool modal = false;
    bool focusOnUnload = false;
    QString frage;
    QString status;
};

// Runs `body` on the editor as soon as it is shown modally, then closes it.
void whenEditorOpens(EditorVisit* visit, std::function<void(frmEditor*)> body = {})
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, visit, body] {
        auto* editor = qobject_cast<frmEditor*>(QApplication::activeModalWidget());
        if (!editor || !editor->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        visit->seen = true;
        visit->modal = editor->windowModality() == Qt::ApplicationModal;
        visit->focusOnUnload = editor->focusWidget() == editor->cmdUnload;
        visit->frage = editor->txtFrage->text();
        visit->status = editor->lblStatus->text();
        if (body)
            body(editor);
        editor->cmdUnload_Click();
    });
    timer->start();
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    QTemporaryDir m_dir;
    QString m_file;

    void writeFile(const QList<Record>& records)
    {
        QFile::remove(m_file);
        testsupport::writeQuestionFile(m_file, records);
    }
    QList<Record> onDisk() const { return testsupport::readQuestionFile(m_file); }

    static void setPublikum(frmEditor& ed, const QStringList& values)
    {
        ed.txtPubA->setText(values.value(0));
        ed.txtPubB->setText(values.value(1));
        ed.txtPubC->setText(values.value(2));
        ed.txtPubD->setText(values.value(3));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(store::kFileName);
        platform::setProgramDirectory(m_dir.path());
        testsupport::catchEndProgram();
    }

    void init() { writeFile(sampleRecords(3)); }

    // --- Window and loading.

    void windowBeforeAndAfterLoad()
    {
        frmEditor ed;
        QCOMPARE(ed.windowTitle(), QStringLiteral("Editieren der Datenbank"));
        QCOMPARE(ed.size(), QSize(466, 354));
        QCOMPARE(ed.minimumSize(), ed.maximumSize()); // cannot be resized
        QVERIFY(ed.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!ed.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!ed.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(ed.findChild<QPushButton*>(QStringLiteral("cmdLöschen")), ed.cmdLöschen);
        QCOMPARE(ed.findChild<QPushButton*>(QStringLiteral("cmdÄndern")), ed.cmdÄndern);
        QCOMPARE(ed.lblStatus->text(), QString());
        QCOMPARE(ed.txtFrage->text(), QString());
        // No caption is clipped, whatever the system font.
        for (QLabel* label : ed.findChildren<QLabel*>())
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));

        ed.Form_Load();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Die Datenbank ist zum Editieren bereit"));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Frage 1"));
        QCOMPARE(ed.txtAntC->text(), QStringLiteral("Antwort C1"));
        QCOMPARE(ed.txtRichtig->text(), QStringLiteral("A"));
        QCOMPARE(ed.txtFraglich->text(), QStringLiteral("B"));
        QCOMPARE(ed.txtNr->text(), QStringLiteral("1"));
        QCOMPARE(ed.txtPubA->text(), QStringLiteral("40"));
        QCOMPARE(ed.txtPubD->text(), QStringLiteral("10"));
        QCOMPARE(ed.txtJoker->text(), QStringLiteral("Nicht einer"));
    }

    // The editor shows no icon, not even the game's globe that every other
    // window of the program carries.
    void noIcon()
    {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
        frmEditor ed;
        const QImage icon = ed.windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
        QApplication::setWindowIcon(QIcon());
    }

    // A screen reader names every box by its caption and the four navigation
    // buttons in words.
    void screenReaderNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("question") << "txtFrage" << "Frage";
        QTest::newRow("answer D") << "txtAntD" << "Antwort D";
        QTest::newRow("audience A") << "txtPubA" << "Publikum A";
        QTest::newRow("right answer") << "txtRichtig" << "Richtig";
        QTest::newRow("number") << "txtNr" << "Fragen-Nr";
        QTest::newRow("joker") << "txtJoker" << "Joker TV";
        QTest::newRow("first") << "cmdErster" << "Erster Datensatz";
        QTest::newRow("previous") << "cmdVorhergehender" << "Vorheriger Datensatz";
        QTest::newRow("next") << "cmdNächster" << "Nächster Datensatz";
        QTest::newRow("last") << "cmdLetzter" << "Letzter Datensatz";
        QTest::newRow("back") << "cmdUnload" << "Zurück";
    }

    void screenReaderNames()
    {
        QFETCH(QString, control);
        frmEditor ed;
        auto* widget = ed.findChild<QWidget*>(control);
        QVERIFY(widget);
        QTEST(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), "name");
    }

    // Tab goes through the record's boxes as they stand on screen, row by
    // row, then through the buttons, and round again.
    void tabOrderFollowsTheScreen()
    {
        frmEditor ed;
        QStringList order;
        QWidget* w = ed.txtFrage;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != ed.txtFrage);
        QCOMPARE(order, (QStringList{"txtFrage", "txtAntA", "txtPubA", "txtAntB", "txtPubB", "txtAntC", "txtPubC",
                                     "txtAntD", "txtPubD", "txtRichtig", "txtFraglich", "txtNr", "txtJoker",
                                     "cmdHinzufügen", "cmdLöschen", "cmdErster", "cmdVorhergehender", "cmdNächster",
                                     "cmdLetzter", "cmdÄndern", "cmdUnload"}));
    }

    // A screen reader reads a box whole, and its questions at the end of the
    // text, where the caret stands after typing, are answered at once.
    void screenReaderReadsABox_data()
    {
        QTest::addColumn<int>("boundary"); // -1: the run of text attributes
        QTest::addColumn<QString>("read");
        QTest::newRow("attribute run") << -1 << "Horst Bärbel";
        QTest::newRow("word at the end") << int(QAccessible::WordBoundary) << "Bärbel";
        QTest::newRow("sentence at the end") << int(QAccessible::SentenceBoundary) << "Horst Bärbel";
        QTest::newRow("line at the end") << int(QAccessible::LineBoundary) << "Horst Bärbel";
    }

    void screenReaderReadsABox()
    {
        QFETCH(int, boundary);
        frmEditor ed;
        ed.txtJoker->setText(QStringLiteral("Horst Bärbel"));
        QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(ed.txtJoker)->textInterface();
        QVERIFY(text);
        int start = -1, end = -1;
        QString read;
        if (boundary < 0) {
            text->attributes(3, &start, &end);
            read = text->text(start, end);
        } else {
            read = text->textAtOffset(text->characterCount(), QAccessible::TextBoundaryType(boundary), &start, &end);
        }
        QTEST(read, "read");
        QCOMPARE(text->text(start, end), read);
    }

    // After a move a screen reader hears the status line and the record, box
    // by box in the order they stand on screen.
    void moveIsAnnounced()
    {
        frmEditor ed;
        ed.Form_Load();
        ed.cmdLetzter_Click();
        QCoreApplication::sendPostedEvents();
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(ed.lblStatus);
        QCOMPARE(status->child(0)->text(QAccessible::Name),
                 QStringLiteral("Der letzte Datensatz wird angezeigt. Frage: Frage 3. Antwort A: Antwort A3. "
                                "Publikum A: 40. Antwort B: Antwort B3. Publikum B: 30. Antwort C: Antwort C3. "
                                "Publikum C: 20. Antwort D: Antwort D3. Publikum D: 10. Richtig: A. Fraglich: B. "
                                "Fragen-Nr: 3. Joker TV: Nicht einer."));
    }

    // The editor shows the focus with the game window's solid frame, on its
    // buttons as on its boxes, whether it came by Tab, by mouse or at opening;
    // over the full-screen stage, twice as large, the frame twice as wide.
    void focusFrameAsInTheGame_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("button") << "cmdNächster" << 1.0;
        QTest::newRow("box") << "txtAntB" << 1.0;
        QTest::newRow("button at 200 %") << "cmdNächster" << 2.0;
        QTest::newRow("box at 200 %") << "txtAntB" << 2.0;
    }

    void focusFrameAsInTheGame()
    {
        QFETCH(QString, control);
        QFETCH(qreal, scale);
        frmEditor ed;
        ed.setScale(scale);
        ed.show();
        ed.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ed));
        auto* c = ed.findChild<QWidget*>(control);
        const int changed = testsupport::focusFramePixels(c, ed.cmdUnload);
        // Two pixels wide at 100 %: at least the outline, less the corners.
        QVERIFY2(changed >= 2 * (c->width() + c->height()) * (2 * scale - 1), qPrintable(QString::number(changed)));
    }

    void shownValues_data()
    {
        QTest::addColumn<QVariant>("joker");
        QTest::addColumn<QVariant>("pubA");
        QTest::addColumn<QVariant>("nummer");
        QTest::addColumn<QString>("jokerShown");
        QTest::addColumn<QString>("pubAShown");
        QTest::addColumn<QString>("nummerShown");
        QTest::newRow("empty texts") << QVariant(QStringLiteral("")) << QVariant(QStringLiteral("")) << QVariant(QStringLiteral(""))
                                     << "Nicht einer" << "" << "";
        QTest::newRow("no values") << QVariant() << QVariant() << QVariant() << "" << "" << "";
        QTest::newRow("texts") << QVariant(QStringLiteral("Moderator")) << QVariant(QStringLiteral("7"))
                               << QVariant(QStringLiteral("12")) << "Moderator" << "7" << "12";
        QTest::newRow("whole numbers") << QVariant(qint64(0)) << QVariant(qint64(45)) << QVariant(qint64(9))
                                       << "0" << "45" << "9";
    }

    // A field without value shows as an empty box, never as an earlier record's text.
    void shownValues()
    {
        QFETCH(QVariant, joker);
        QFETCH(QVariant, pubA);
        QFETCH(QVariant, nummer);
        QList<Record> records = sampleRecords(2);
        records[1][QStringLiteral("JokerTV")] = joker;
        records[1][QStringLiteral("PublikumA")] = pubA;
        records[1][QStringLiteral("Nummer")] = nummer;
        records[1][QStringLiteral("AntwortB")] = QVariant();
        records[0][QStringLiteral("JokerTV")] = QStringLiteral("Vorher");
        writeFile(records);

        frmEditor ed;
        ed.Form_Load();
        QCOMPARE(ed.txtJoker->text(), QStringLiteral("Vorher"));
        ed.cmdNächster_Click();
        QTEST(ed.txtJoker->text(), "jokerShown");
        QTEST(ed.txtPubA->text(), "pubAShown");
        QTEST(ed.txtNr->text(), "nummerShown");
        QCOMPARE(ed.txtAntB->text(), QString());
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Frage 2"));
    }

    // A question longer than its box shows its start, on loading as after a
    // move: the box's view begins at the first character.
    void longTextShowsItsStart()
    {
        QList<Record> records = sampleRecords(2);
        const QString question = QStringLiteral("Wie heißt die Hauptstadt ") + QString(60, QLatin1Char('x'))
                                 + QStringLiteral(" am Ende?");
        records[0][QStringLiteral("Frage")] = question;
        records[1][QStringLiteral("Frage")] = question;
        writeFile(records);

        frmEditor ed;
        ed.Form_Load();
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        QCOMPARE(ed.txtFrage->text(), question);
        QCOMPARE(ed.txtFrage->cursorPosition(), 0);
        ed.cmdNächster_Click();
        QCOMPARE(ed.txtFrage->cursorPosition(), 0);
    }

    // --- Navigation.

    void navigation_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("before"); // moves made first: f l n p
        QTest::addColumn<QChar>("click");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("frage");
        QTest::newRow("next from first") << 3 << "" << QChar('n') << "Der nächste Datensatz wird angezeigt" << "Frage 2";
        QTest::newRow("next onto last") << 3 << "n" << QChar('n') << "Der nächste Datensatz wird angezeigt" << "Frage 3";
        QTest::newRow("next on last") << 3 << "l" << QChar('n')
                                      << "Der nächste und zugleich auch letzte Datensatz wird angezeigt" << "Frage 3";
        QTest::newRow("previous from last") << 3 << "l" << QChar('p') << "Der vorherige Datensatz wird angezeigt" << "Frage 2";
        QTest::newRow("previous on first") << 3 << "" << QChar('p')
                                           << "Der vorherige und zugleich auch erste Datensatz wird angezeigt" << "Frage 1";
        QTest::newRow("first from last") << 3 << "l" << QChar('f') << "Der erste Datensatz wird angezeigt" << "Frage 1";
        QTest::newRow("first on first") << 3 << "" << QChar('f') << "Der erste Datensatz wird angezeigt" << "Frage 1";
        QTest::newRow("last from first") << 3 << "" << QChar('l') << "Der letzte Datensatz wird angezeigt" << "Frage 3";
        QTest::newRow("last on last") << 3 << "l" << QChar('l') << "Der letzte Datensatz wird angezeigt" << "Frage 3";
        QTest::newRow("back and forth") << 3 << "nnnpp" << QChar('n') << "Der nächste Datensatz wird angezeigt" << "Frage 2";
        QTest::newRow("one record, next") << 1 << "" << QChar('n')
                                          << "Der nächste und zugleich auch letzte Datensatz wird angezeigt" << "Frage 1";
        QTest::newRow("one record, previous") << 1 << "" << QChar('p')
                                              << "Der vorherige und zugleich auch erste Datensatz wird angezeigt" << "Frage 1";
        QTest::newRow("one record, last") << 1 << "" << QChar('l') << "Der letzte Datensatz wird angezeigt" << "Frage 1";
    }

    void navigation()
    {
        QFETCH(int, records);
        QFETCH(QString, before);
        QFETCH(QChar, click);
        writeFile(sampleRecords(records));
        frmEditor ed;
        ed.Form_Load();
        const auto move = [&ed](QChar c) {
            if (c == 'f') ed.cmdErster_Click();
            if (c == 'l') ed.cmdLetzter_Click();
            if (c == 'n') ed.cmdNächster_Click();
            if (c == 'p') ed.cmdVorhergehender_Click();
        };
        for (QChar c : before)
            move(c);
        // Text typed and not saved is gone after any move.
        ed.txtFrage->setText(QStringLiteral("getippt"));
        ed.txtPubA->setText(QStringLiteral("99"));
        move(click);
        QTEST(ed.lblStatus->text(), "status");
        QTEST(ed.txtFrage->text(), "frage");
        QCOMPARE(ed.txtPubA->text(), QStringLiteral("40"));
        QCOMPARE(onDisk(), sampleRecords(records));
    }

    // --- Change with the audience sum.

    void changeSums_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("stored");
        const QStringList none;
        QTest::newRow("25 25 25 25") << QStringList{"25", "25", "25", "25"} << true << QStringList{"25", "25", "25", "25"};
        QTest::newRow("30 30 30 30") << QStringList{"30", "30", "30", "30"} << false << none;
        QTest::newRow("60 40 empty empty") << QStringList{"60", "40", "", ""} << true << QStringList{"60", "40", "", ""};
        QTest::newRow("50% counts 50") << QStringList{"50%", "50", "", ""} << true << QStringList{"50", "50", "", ""};
        QTest::newRow("blanks dropped") << QStringList{"  ", "\t5", "45", "50"} << true << QStringList{"  ", "\t5", "45", "50"};
        QTest::newRow("letters count 0") << QStringList{"ab", "50", "50", ""} << true << QStringList{"ab", "50", "50", ""};
        QTest::newRow("99 and 1") << QStringList{"99", "", "", "1"} << true << QStringList{"99", "", "", "1"};
        // Checked as stored: "5 0" is stored as "5 ", which counts 5.
        QTest::newRow("5 0 stored as 5") << QStringList{"5 0", "50", "", ""} << false << none;
        QTest::newRow("5 0 with 95") << QStringList{"5 0", "95", "", ""} << true << QStringList{"5 ", "95", "", ""};
        // "100" would be stored as "10".
        QTest::newRow("100 refused") << QStringList{"100", "", "", ""} << false << none;
        // "&H32" would be stored as "&H", which counts 0.
        QTest::newRow("&H32 twice refused") << QStringList{"&H32", "&H32", "", ""} << false << none;
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << false << none;
        QTest::newRow("101") << QStringList{"51", "50", "", ""} << false << none;
    }

    void changeSums()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, saved);
        frmEditor ed;
        ed.Form_Load();
        ed.cmdNächster_Click();
        ed.txtFrage->setText(QStringLiteral("Geänderte Frage"));
        setPublikum(ed, typed);

        DialogAnswerer answerer({QStringLiteral("ok")});
        ed.cmdÄndern_Click();

        QList<Record> expected = sampleRecords(3);
        if (saved) {
            QFETCH(QStringList, stored);
            QCOMPARE(answerer.seen().size(), 0);
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
            expected[1][QStringLiteral("Frage")] = QStringLiteral("Geänderte Frage");
            expected[1][QStringLiteral("PublikumA")] = stored.at(0);
            expected[1][QStringLiteral("PublikumB")] = stored.at(1);
            expected[1][QStringLiteral("PublikumC")] = stored.at(2);
            expected[1][QStringLiteral("PublikumD")] = stored.at(3);
            // The empty JokerTV was shown as "Nicht einer" and is written back as shown.
            expected[1][QStringLiteral("JokerTV")] = QStringLiteral("Nicht einer");
        } else {
            QCOMPARE(answerer.seen().size(), 1);
            QCOMPARE(answerer.seen().at(0).text, QStringLiteral("Publikumssumme ertspricht nicht 100!"));
            QCOMPARE(answerer.seen().at(0).title, QStringLiteral("Quiz"));
            QCOMPARE(answerer.seen().at(0).buttons.size(), 1);
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Änderungsvorgang gestört - bitte erneut versuchen"));
        }
        QCOMPARE(onDisk(), expected);
        // The boxes keep what was typed either way.
        QCOMPARE(ed.txtPubA->text(), typed.at(0));
        QCOMPARE(ed.txtPubB->text(), typed.at(1));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Geänderte Frage"));
    }

    void readNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("numericLocale"); // empty: the one the test runs in
        QTest::newRow("plain") << "25" << 25.0 << QByteArray();
        QTest::newRow("empty") << "" << 0.0 << QByteArray();
        QTest::newRow("letters") << "abc" << 0.0 << QByteArray();
        QTest::newRow("percent sign") << "50%" << 50.0 << QByteArray();
        QTest::newRow("blank inside") << "5 0" << 50.0 << QByteArray();
        QTest::newRow("tab and line feed") << "\t4\n2" << 42.0 << QByteArray();
        QTest::newRow("carriage return ends it") << "5\r0" << 5.0 << QByteArray();
        QTest::newRow("decimal point") << "12.5" << 12.5 << QByteArray();
        QTest::newRow("second point ends it") << "1.5.3" << 1.5 << QByteArray();
        QTest::newRow("leading point") << ".5" << 0.5 << QByteArray();
        QTest::newRow("comma is no decimal point") << "1,5" << 1.0 << QByteArray();
        QTest::newRow("minus") << "-7" << -7.0 << QByteArray();
        QTest::newRow("plus") << "+7" << 7.0 << QByteArray();
        QTest::newRow("lone sign") << "-" << 0.0 << QByteArray();
        QTest::newRow("exponent") << "1e2" << 100.0 << QByteArray();
        QTest::newRow("negative exponent") << "2E-1" << 0.2 << QByteArray();
        QTest::newRow("exponent without digits") << "3e" << 3.0 << QByteArray();
        QTest::newRow("hex") << "&H32" << 50.0 << QByteArray();
        QTest::newRow("hex lower case") << "&hff" << 255.0 << QByteArray();
        QTest::newRow("hex without digits") << "&H" << 0.0 << QByteArray();
        QTest::newRow("octal") << "&O62" << 50.0 << QByteArray();
        QTest::newRow("octal stops at 8") << "&O78" << 7.0 << QByteArray();
        QTest::newRow("ampersand alone") << "&12" << 0.0 << QByteArray();
        QTest::newRow("digits then text") << "12abc" << 12.0 << QByteArray();
        QTest::newRow("umlaut ends it") << "3ä4" << 3.0 << QByteArray();
        QTest::newRow("point under a German locale") << "12.5" << 12.5 << QByteArray("de_DE.UTF-8");
    }

    void readNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QByteArray, numericLocale);
        const QByteArray before = setlocale(LC_NUMERIC, nullptr);
        const auto restore = qScopeGuard([&before] { setlocale(LC_NUMERIC, before.constData()); });
        if (!numericLocale.isEmpty() && !setlocale(LC_NUMERIC, numericLocale.constData()))
            QSKIP(QByteArray("This machine lacks the locale " + numericLocale + " (make deps makes it).").constData());
        QCOMPARE(editor::readNumber(text), value);
    }

    // --- Cutting and upper case as stored.

    void cuttingAndUpperCase()
    {
        frmEditor ed;
        ed.Form_Load();
        const QString longQuestion = QString(150, QLatin1Char('x')).replace(109, 1, QStringLiteral("Y"));
        const QString longAnswer = QStringLiteral("0123456789").repeated(5);
        ed.txtFrage->setText(longQuestion);
        ed.txtAntA->setText(longAnswer);
        ed.txtAntD->setText(QString());
        ed.txtRichtig->setText(QStringLiteral("bravo"));
        ed.txtFraglich->setText(QStringLiteral("b"));
        ed.txtNr->setText(QStringLiteral("123"));
        ed.txtJoker->setText(QStringLiteral("Ein sehr langer Jokertext"));
        setPublikum(ed, {QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25")});
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));

        const Record stored = onDisk().at(0);
        QCOMPARE(fieldOf(stored, QStringLiteral("Frage")), longQuestion.left(110));
        QVERIFY(fieldOf(stored, QStringLiteral("Frage")).endsWith(QLatin1Char('Y')));
        QCOMPARE(fieldOf(stored, QStringLiteral("AntwortA")), longAnswer.left(40));
        QCOMPARE(stored.value(QStringLiteral("AntwortD")), QVariant(QStringLiteral(""))); // empty text, not "no value"
        QCOMPARE(fieldOf(stored, QStringLiteral("Richtig")), QStringLiteral("B"));
        QCOMPARE(fieldOf(stored, QStringLiteral("Fraglich")), QStringLiteral("B"));
        QCOMPARE(fieldOf(stored, QStringLiteral("Nummer")), QStringLiteral("12"));
        QCOMPARE(fieldOf(stored, QStringLiteral("JokerTV")), QStringLiteral("Ein sehr langer Joke"));

        // The boxes still show what was typed, uncut and in its case.
        QCOMPARE(ed.txtFrage->text(), longQuestion);
        QCOMPARE(ed.txtRichtig->text(), QStringLiteral("bravo"));
        QCOMPARE(ed.txtFraglich->text(), QStringLiteral("b"));
        QCOMPARE(ed.txtNr->text(), QStringLiteral("123"));

        // Shown again, the record shows what was stored.
        ed.cmdErster_Click();
        QCOMPARE(ed.txtFrage->text(), longQuestion.left(110));
        QCOMPARE(ed.txtRichtig->text(), QStringLiteral("B"));
    }

    // A stored text longer than a box can hold (another tool wrote it) stays
    // whole when another field of its record is changed; typed over, it is
    // cut like any text typed.
    void untouchedLongTextKeptWhole_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("length");
        for (const int length : {204, 32767, 32768, 40000})
            QTest::addRow("Frage of %d characters", length) << "Frage" << length;
        QTest::newRow("AntwortC of 40000 characters") << "AntwortC" << 40000;
    }

    void untouchedLongTextKeptWhole()
    {
        QFETCH(QString, field);
        QFETCH(int, length);
        QList<Record> records = sampleRecords(3);
        const QString stored = QStringLiteral("Lang ") + QString(length - 10, QLatin1Char('x')) + QStringLiteral(" Ende");
        records[0][field] = stored;
        writeFile(records);

        frmEditor ed;
        ed.Form_Load();
        ed.txtAntB->setText(QStringLiteral("Geändert"));
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        QCOMPARE(fieldOf(onDisk().at(0), QStringLiteral("AntwortB")), QStringLiteral("Geändert"));
        QCOMPARE(fieldOf(onDisk().at(0), field).size(), length);
        QCOMPARE(fieldOf(onDisk().at(0), field), stored);

        // Typed over, the box is written cut to its field.
        QLineEdit* box = field == QLatin1String("Frage") ? ed.txtFrage : ed.txtAntC;
        box->setText(QStringLiteral("Neu ") + box->text());
        ed.cmdÄndern_Click();
        QCOMPARE(fieldOf(onDisk().at(0), field), QString(QStringLiteral("Neu ") + stored).left(store::fieldLimit(field)));
    }

    void leftChars()
    {
        // A character outside the basic plane counts once and is never cut in half.
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // musical G clef
        QCOMPARE(editor::leftChars(clef + clef + QStringLiteral("ab"), 2), clef + clef);
        QCOMPARE(editor::leftChars(QStringLiteral("a") + clef, 1), QStringLiteral("a"));
        QVERIFY(!editor::leftChars(QString(), 5).isNull());
    }

    // --- Add.

    void addThenChangeAndDeleteTheAddedRecord()
    {
        frmEditor ed;
        ed.Form_Load(); // record 1 shown
        ed.txtFrage->setText(QStringLiteral("Neue Frage"));
        setPublikum(ed, {QStringLiteral("90"), QStringLiteral("90"), QString(), QString()}); // not checked on add
        ed.cmdHinzufügen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz angehängt"));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Neue Frage"));

        QList<Record> expected = sampleRecords(3);
        Record added = expected.at(0);
        added[QStringLiteral("Frage")] = QStringLiteral("Neue Frage");
        added[QStringLiteral("PublikumA")] = QStringLiteral("90");
        added[QStringLiteral("PublikumB")] = QStringLiteral("90");
        added[QStringLiteral("PublikumC")] = QStringLiteral("");
        added[QStringLiteral("PublikumD")] = QStringLiteral("");
        added[QStringLiteral("JokerTV")] = QStringLiteral("Nicht einer");
        QCOMPARE(onDisk(), expected + QList<Record>{added});

        // The added record is the current one: change acts on it ...
        ed.txtFrage->setText(QStringLiteral("Nochmals geändert"));
        setPublikum(ed, {QStringLiteral("50"), QStringLiteral("50"), QString(), QString()});
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        added[QStringLiteral("Frage")] = QStringLiteral("Nochmals geändert");
        added[QStringLiteral("PublikumA")] = QStringLiteral("50");
        added[QStringLiteral("PublikumB")] = QStringLiteral("50");
        QCOMPARE(onDisk(), expected + QList<Record>{added});

        // ... and next from it finds nothing after it.
        ed.cmdNächster_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Der nächste und zugleich auch letzte Datensatz wird angezeigt"));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Nochmals geändert"));

        // ... and delete removes it, not the record that was last before.
        DialogAnswerer answerer({QStringLiteral("yes")});
        ed.cmdLöschen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz gelöscht"));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Frage 3"));
        QCOMPARE(onDisk(), expected);
    }

    void addWithoutTypingCopiesTheShownRecord()
    {
        frmEditor ed;
        ed.Form_Load();
        ed.cmdNächster_Click();
        ed.cmdHinzufügen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz angehängt"));
        const QList<Record> disk = onDisk();
        QCOMPARE(disk.size(), 4);
        Record copy = sampleRecords(3).at(1);
        copy[QStringLiteral("JokerTV")] = QStringLiteral("Nicht einer");
        QCOMPARE(disk.at(3), copy);
        QCOMPARE(disk.mid(0, 3), sampleRecords(3));
        // Reached with the last button too.
        ed.cmdErster_Click();
        ed.cmdLetzter_Click();
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Frage 2"));
        QCOMPARE(ed.txtJoker->text(), QStringLiteral("Nicht einer"));
    }

    // --- Delete.

    void deleteRecord_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("frage");
        QTest::addColumn<QString>("status");
        QTest::newRow("middle, yes") << "n" << "yes" << QStringList{"Frage 1", "Frage 3"} << "Frage 3" << "Datensatz gelöscht";
        QTest::newRow("first, yes") << "" << "yes" << QStringList{"Frage 2", "Frage 3"} << "Frage 2" << "Datensatz gelöscht";
        QTest::newRow("last, yes") << "l" << "yes" << QStringList{"Frage 1", "Frage 2"} << "Frage 2" << "Datensatz gelöscht";
        QTest::newRow("middle, no") << "n" << "no" << QStringList{"Frage 1", "Frage 2", "Frage 3"} << "Frage 2"
                                    << "Der nächste Datensatz wird angezeigt";
        QTest::newRow("last, no") << "l" << "no" << QStringList{"Frage 1", "Frage 2", "Frage 3"} << "Frage 3"
                                  << "Der letzte Datensatz wird angezeigt";
    }

    void deleteRecord()
    {
        QFETCH(QString, before);
        QFETCH(QString, answer);
        frmEditor ed;
        ed.Form_Load();
        for (QChar c : before)
            c == 'n' ? ed.cmdNächster_Click() : ed.cmdLetzter_Click();
        ed.txtAntA->setText(QStringLiteral("getippt")); // kept on No

        DialogAnswerer answerer({answer});
        ed.cmdLöschen_Click();
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("Satz wirklich Löschen (j/n)?"));
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("Quiz"));
        QCOMPARE(answerer.seen().at(0).buttons.size(), 2);

        QStringList left;
        for (const Record& r : onDisk())
            left << fieldOf(r, QStringLiteral("Frage"));
        QTEST(left, "left");
        QTEST(ed.txtFrage->text(), "frage");
        QTEST(ed.lblStatus->text(), "status");
        QCOMPARE(ed.txtAntA->text() == QStringLiteral("getippt"), answer == QStringLiteral("no"));
    }

    // The delete question is answered with its buttons or their access keys
    // only: Escape and closing the box leave it open and the record in place.
    void deleteAnsweredOnlyByItsButtons_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("left");
        QTest::newRow("Nein") << "escape,close,no" << 3;
        QTest::newRow("key J") << "escape,close,key:j" << 2;
    }

    void deleteAnsweredOnlyByItsButtons()
    {
        QFETCH(QString, actions);
        frmEditor ed;
        ed.Form_Load();
        DialogAnswerer answerer({actions});
        ed.cmdLöschen_Click();
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen().at(0).resisted, (QStringList{"escape", "close"}));
        QVERIFY(!answerer.seen().at(0).closeBox);
        QTEST(int(onDisk().size()), "left");
    }

    void deleteEveryRecordThenAdd()
    {
        writeFile(sampleRecords(2));
        frmEditor ed;
        ed.Form_Load();
        {
            DialogAnswerer answerer({QStringLiteral("yes"), QStringLiteral("yes")});
            ed.cmdLöschen_Click();
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz gelöscht"));
            QCOMPARE(ed.txtFrage->text(), QStringLiteral("Frage 2"));
            ed.cmdLöschen_Click();
            QCOMPARE(answerer.pending(), 0);
        }
        QCOMPARE(onDisk().size(), 0);
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz gelöscht - die Datenbank enthält keinen Datensatz mehr"));
        QCOMPARE(ed.txtFrage->text(), QString());
        QCOMPARE(ed.txtJoker->text(), QString());

        // On the empty table nothing fails and the status line says why nothing moves.
        using Click = void (frmEditor::*)();
        for (Click click : {&frmEditor::cmdErster_Click, &frmEditor::cmdLetzter_Click, &frmEditor::cmdNächster_Click,
                            &frmEditor::cmdVorhergehender_Click}) {
            ed.lblStatus->clear();
            (ed.*click)();
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Die Datenbank enthält keinen Datensatz"));
        }
        {
            DialogAnswerer answerer({QStringLiteral("ok")}); // nothing may ask
            ed.cmdLöschen_Click();
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Kein Datensatz zum Löschen vorhanden"));
            setPublikum(ed, {QStringLiteral("50"), QStringLiteral("50"), QString(), QString()});
            ed.cmdÄndern_Click();
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Kein Datensatz zum Ändern vorhanden - bitte DS Hinzufügen benutzen"));
            QCOMPARE(answerer.seen().size(), 0);
        }
        QCOMPARE(onDisk().size(), 0);

        // Reopened on the empty table.
        ed.Form_Load();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Die Datenbank ist zum Editieren bereit - sie enthält keinen Datensatz"));

        // Add still works, and the new record is the one shown and acted on.
        ed.txtFrage->setText(QStringLiteral("Ganz neu"));
        ed.txtRichtig->setText(QStringLiteral("c"));
        setPublikum(ed, {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("40")});
        ed.cmdHinzufügen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz angehängt"));
        QList<Record> disk = onDisk();
        QCOMPARE(disk.size(), 1);
        QCOMPARE(fieldOf(disk.at(0), QStringLiteral("Frage")), QStringLiteral("Ganz neu"));
        QCOMPARE(fieldOf(disk.at(0), QStringLiteral("Richtig")), QStringLiteral("C"));
        ed.txtFrage->setText(QStringLiteral("Ganz neu, geändert"));
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        QCOMPARE(fieldOf(onDisk().at(0), QStringLiteral("Frage")), QStringLiteral("Ganz neu, geändert"));
        ed.cmdErster_Click();
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Ganz neu, geändert"));
    }

    // --- Store failures: a message naming the failure, nothing saved, next save works.

    void saveOnLockedFile()
    {
        frmEditor ed;
        ed.Form_Load();
        ed.txtFrage->setText(QStringLiteral("Während der Sperre"));
        setPublikum(ed, {QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25")});

        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(m_file.toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        {
            DialogAnswerer answerer({QStringLiteral("ok")});
            ed.cmdÄndern_Click();
            QCOMPARE(answerer.seen().size(), 1);
            const QString text = answerer.seen().at(0).text;
            QVERIFY2(text.startsWith(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("gesperrt")), qPrintable(text));
            QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz nicht geändert - es wurde nichts gespeichert"));
        }
        QCOMPARE(ed.EditorRecords->EditMode(), 0);
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(onDisk(), sampleRecords(3));
        QCOMPARE(ed.txtFrage->text(), QStringLiteral("Während der Sperre"));

        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        QCOMPARE(fieldOf(onDisk().at(0), QStringLiteral("Frage")), QStringLiteral("Während der Sperre"));
    }

    void saveOnReadOnlyFile()
    {
        // Root is not stopped by file permissions; the immutable flag stops everybody.
        if (!setImmutable(m_file, true))
            QSKIP("the file system does not let this test make the file read-only");
        struct Undo {
            QString path;
            ~Undo() { setImmutable(path, false); }
        } undo{m_file};

        frmEditor ed;
        ed.Form_Load();
        ed.cmdNächster_Click();
        ed.txtFrage->setText(QStringLiteral("Schreibgeschützt"));
        setPublikum(ed, {QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25"), QStringLiteral("25")});

        DialogAnswerer answerer({QStringLiteral("ok"), QStringLiteral("ok"), QStringLiteral("yes"), QStringLiteral("ok")});
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz nicht geändert - es wurde nichts gespeichert"));
        ed.cmdHinzufügen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz nicht angehängt - es wurde nichts gespeichert"));
        ed.cmdLöschen_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz nicht gelöscht - es wurde nichts gespeichert"));
        QCOMPARE(answerer.pending(), 0);
        const QList<testsupport::SeenDialog> seen = answerer.seen();
        QVERIFY(seen.at(0).text.startsWith(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:")));
        QVERIFY(seen.at(1).text.startsWith(QStringLiteral("Der Datensatz konnte nicht gespeichert werden:")));
        QVERIFY(seen.at(3).text.startsWith(QStringLiteral("Der Datensatz konnte nicht gelöscht werden:")));
        for (int i : {0, 1, 3})
            QVERIFY2(seen.at(i).text.contains(QStringLiteral("schreibgeschützt")), qPrintable(seen.at(i).text));

        // The record shown is still the one acted on, and still there.
        QCOMPARE(ed.EditorRecords->EditMode(), 0);
        QCOMPARE(ed.EditorRecords->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 2"));
        QCOMPARE(onDisk(), sampleRecords(3));

        QVERIFY(setImmutable(m_file, false));
        ed.Form_Load();
        ed.cmdNächster_Click();
        ed.txtFrage->setText(QStringLiteral("Wieder beschreibbar"));
        ed.cmdÄndern_Click();
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz geändert"));
        QCOMPARE(fieldOf(onDisk().at(1), QStringLiteral("Frage")), QStringLiteral("Wieder beschreibbar"));
    }

    // --- Opened from the game window.

    void openedFromTheGame()
    {
        frmQuiz game;
        {
            DialogAnswerer answerer({QStringLiteral("input:Tester")});
            game.Form_Load();
        }
        game.show();
        const QString question = game.lblFrage->text();
        QCOMPARE(question, QStringLiteral("Frage 1"));

        // First visit: the first record, modal, focus on the back button; page on.
        EditorVisit first;
        whenEditorOpens(&first, [](frmEditor* ed) {
            ed->cmdNächster_Click();
            ed->cmdNächster_Click();
        });
        game.cmdEdit_Click();
        QVERIFY(first.seen);
        QVERIFY(first.modal);
        QVERIFY(first.focusOnUnload);
        QCOMPARE(first.frage, QStringLiteral("Frage 1"));
        QCOMPARE(first.status, QStringLiteral("Die Datenbank ist zum Editieren bereit"));
        QCOMPARE(game.lblStatus->text(), QStringLiteral("Editor geladen"));
        QCOMPARE(game.lblFrage->text(), question);
        QCOMPARE(game.QuizRecords->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 1"));

        // Second visit shows the first record again.
        EditorVisit second;
        whenEditorOpens(&second);
        game.lblStatus->clear();
        game.cmdEdit_Click();
        QVERIFY(second.seen);
        QCOMPARE(second.frage, QStringLiteral("Frage 1"));
        QCOMPARE(game.lblStatus->text(), QStringLiteral("Editor geladen"));
    }

    void gameAsksWhatTheEditorLeft()
    {
        frmQuiz game;
        {
            DialogAnswerer answerer({QStringLiteral("input:Tester")});
            game.Form_Load();
        }
        game.show();
        QCOMPARE(game.lblFrage->text(), QStringLiteral("Frage 1"));

        // Delete the question on screen, change the next one, append one.
        EditorVisit visit;
        QStringList statuses;
        whenEditorOpens(&visit, [&statuses](frmEditor* ed) {
            {
                DialogAnswerer answerer({QStringLiteral("yes")});
                ed->cmdLöschen_Click();
            }
            statuses << ed->lblStatus->text();
            ed->txtFrage->setText(QStringLiteral("Frage 2 neu"));
            ed->cmdÄndern_Click();
            statuses << ed->lblStatus->text();
            ed->cmdLetzter_Click();
            ed->txtFrage->setText(QStringLiteral("Angehängt"));
            ed->cmdHinzufügen_Click();
            statuses << ed->lblStatus->text();
        });
        game.cmdEdit_Click();
        QVERIFY(visit.seen);
        QCOMPARE(statuses, (QStringList{QStringLiteral("Datensatz gelöscht"), QStringLiteral("Datensatz geändert"),
                                        QStringLiteral("Datensatz angehängt")}));
        QCOMPARE(onDisk().size(), 3);
        QCOMPARE(game.lblStatus->text(), QStringLiteral("Editor geladen"));
        QCOMPARE(game.lblFrage->text(), QStringLiteral("Frage 1")); // not re-read

        // The game goes on from the deleted question, without failing, and asks
        // the changed and the appended question, then starts again.
        QStringList asked;
        for (int i = 0; i < 4; ++i) {
            game.Richtig();
            asked << game.lblFrage->text();
        }
        QCOMPARE(asked, (QStringList{QStringLiteral("Frage 2 neu"), QStringLiteral("Frage 3"), QStringLiteral("Angehängt"),
                                     QStringLiteral("Frage 2 neu")}));
        QCOMPARE(game.lblStatus->text(), QStringLiteral("nächste Frage"));
    }

    void editorOnAFileThatIsGone()
    {
        frmQuiz game;
        {
            DialogAnswerer answerer({QStringLiteral("input:Tester")});
            game.Form_Load();
        }
        game.show();
        QVERIFY(QFile::rename(m_file, m_file + QStringLiteral(".weg")));
        struct Back {
            QString file;
            ~Back() { QFile::rename(file + QStringLiteral(".weg"), file); }
        } back{m_file};

        DialogAnswerer answerer({QStringLiteral("ok")});
        game.cmdEdit_Click();
        QCOMPARE(answerer.seen().size(), 1);
        const QString text = answerer.seen().at(0).text;
        QVERIFY2(text.startsWith(QStringLiteral("Die Datenbank kann nicht zum Editieren geöffnet werden:")), qPrintable(text));
        QVERIFY2(text.contains(store::kFileName), qPrintable(text));
        QCOMPARE(game.lblStatus->text(), QStringLiteral("Editor nicht geladen"));
        QCOMPARE(game.lblFrage->text(), QStringLiteral("Frage 1"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void editorCentredOverTheGame()
    {
        frmQuiz game;
        {
            DialogAnswerer answerer({QStringLiteral("input:Tester")});
            game.Form_Load();
        }
        game.show();
        game.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&game));
        QPoint centre;
        EditorVisit visit;
        whenEditorOpens(&visit, [&centre](frmEditor* ed) { centre = ed->geometry().center(); });
        game.cmdEdit_Click();
        QVERIFY(visit.seen);
        const QPoint gameCentre = game.frameGeometry().center();
        QVERIFY2((centre - gameCentre).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2 vs %3,%4").arg(centre.x()).arg(centre.y()).arg(gameCentre.x()).arg(gameCentre.y())));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
