// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Which question file the game plays, with a home and an installed data folder
// of the test's own: the command line's file, the one beside the executable,
// the player's own in the per-user data folder, copied from the installed
// default on the first start; and the two start-up messages when there is
// none anywhere.
#include "editor/frmEditor.h"
#include "game/frmQuiz.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using testsupport::DialogAnswerer;
using testsupport::ProgramEnded;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The game as main() starts it, with the name already given: the question it
// shows first.
QString startGame()
{
    frmQuiz w;
    w.txtName->setText(QStringLiteral("Anna"));
    w.Form_Load();
    return w.lblFrage->text();
}

} // namespace

class TestQuestionFile : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;

    QString path(const QString& relative) const { return m_tmp->filePath(relative); }
    QString installedDir() const { return path(QStringLiteral("usr/share/plomberg-quiz/default")); }
    QString shippedFile() const { return installedDir() + QStringLiteral("/Zada-VI-VOZ.mdb"); }
    QString ownFile() const { return path(QStringLiteral("home/.local/share/plomberg-quiz/Zada-VI-VOZ.mdb")); }
    QString commandLineFile() const { return path(QStringLiteral("eigene Fragen.mdb")); }
    static QString besideFile() { return QCoreApplication::applicationDirPath() + QStringLiteral("/Zada-VI-VOZ.mdb"); }

    void writeFile(const QString& file, int question)
    {
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        testsupport::writeQuestionFile(file, {testsupport::sampleRecord(question)});
    }

    void becomePlayer(const QString& home)
    {
        qputenv("HOME", path(home).toLocal8Bit());
        qunsetenv("XDG_DATA_HOME");
    }

private slots:
    void initTestCase() { testsupport::catchEndProgram(); }

    // A fresh home and an installed data folder, searched as the system's
    // data folders are.
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        becomePlayer(QStringLiteral("home"));
        qputenv("XDG_DATA_DIRS", path(QStringLiteral("usr/share")).toLocal8Bit());
        QVERIFY(QDir().mkpath(installedDir()));
        QVERIFY2(!QFile::exists(besideFile()), "a question file beside the test program");
    }

    void cleanup()
    {
        QFile::remove(besideFile());
        platform::useQuestionFile(QString());
        m_tmp.reset();
    }

    void lookupOrder_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("ownFileMade");
        // Each place holds a file whose question names it: 1 command line,
        // 2 beside the executable, 3 the player's own, 4 the installed default.
        QTest::newRow("command line first") << QStringList{"command line", "beside", "own", "shipped"} << "Frage 1"
                                            << true;
        QTest::newRow("beside the executable next") << QStringList{"beside", "own", "shipped"} << "Frage 2" << true;
        QTest::newRow("the player's own next") << QStringList{"own", "shipped"} << "Frage 3" << true;
        QTest::newRow("first start copies the default") << QStringList{"shipped"} << "Frage 4" << true;
        QTest::newRow("beside wins over a first start") << QStringList{"beside", "shipped"} << "Frage 2" << false;
    }

    void lookupOrder()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, shown);
        QFETCH(bool, ownFileMade);
        if (present.contains(QLatin1String("command line"))) {
            writeFile(commandLineFile(), 1);
            platform::useQuestionFile(commandLineFile());
        }
        if (present.contains(QLatin1String("beside")))
            writeFile(besideFile(), 2);
        if (present.contains(QLatin1String("own")))
            writeFile(ownFile(), 3);
        writeFile(shippedFile(), 4);
        const QByteArray shipped = bytesOf(shippedFile());

        QCOMPARE(startGame(), shown);
        QCOMPARE(bytesOf(shippedFile()), shipped);
        QCOMPARE(QFile::exists(ownFile()), ownFileMade);
        if (shown == QLatin1String("Frage 4")) {
            QCOMPARE(bytesOf(ownFile()), shipped);
            QVERIFY(QFile::permissions(ownFile()) & QFileDevice::WriteOwner);
        }
    }

    // The editor saves into the player's own copy; the next start plays the
    // change, and another player still starts from the default.
    void changeInOwnFileSurvives()
    {
        writeFile(shippedFile(), 4);
        const QByteArray shipped = bytesOf(shippedFile());
        QCOMPARE(startGame(), QStringLiteral("Frage 4"));

        frmEditor editor;
        editor.Form_Load();
        QCOMPARE(editor.txtFrage->text(), QStringLiteral("Frage 4"));
        editor.txtFrage->setText(QStringLiteral("Meine eigene Frage?"));
        editor.cmdÄndern_Click();

        QCOMPARE(startGame(), QStringLiteral("Meine eigene Frage?"));
        QCOMPARE(testsupport::readQuestionFile(ownFile()).first().value(QStringLiteral("Frage")).toString(),
                 QStringLiteral("Meine eigene Frage?"));
        QCOMPARE(bytesOf(shippedFile()), shipped);

        becomePlayer(QStringLiteral("home2"));
        QCOMPARE(startGame(), QStringLiteral("Frage 4"));
        QVERIFY(QFile::exists(path(QStringLiteral("home2/.local/share/plomberg-quiz/Zada-VI-VOZ.mdb"))));
    }

    // Where the first start puts the player's copy: under an absolute
    // XDG_DATA_HOME; a relative one is ignored, so the copy never lands in
    // whatever folder the game was started from.
    void playersFolder_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute XDG_DATA_HOME") << "<tmp>/daten" << "<tmp>/daten/plomberg-quiz/Zada-VI-VOZ.mdb";
        QTest::newRow("relative XDG_DATA_HOME") << "daten" << "<tmp>/home/.local/share/plomberg-quiz/Zada-VI-VOZ.mdb";
    }

    void playersFolder()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, expected);
        qputenv("XDG_DATA_HOME", dataHome.replace(QLatin1String("<tmp>"), m_tmp->path()).toLocal8Bit());
        writeFile(shippedFile(), 4);
        const QString startedIn = QDir::currentPath();
        QDir::setCurrent(m_tmp->path());
        const QString shown = startGame();
        QDir::setCurrent(startedIn);
        QCOMPARE(shown, QStringLiteral("Frage 4"));
        QVERIFY(QFile::exists(expected.replace(QLatin1String("<tmp>"), m_tmp->path())));
    }

    void missingFileNamesWhereItBelongs_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed game without its default") << true;
        QTest::newRow("build folder without a question file") << false;
    }

    void missingFileNamesWhereItBelongs()
    {
        QFETCH(bool, installed);
        if (!installed)
            QVERIFY(QDir(installedDir()).removeRecursively());
        const QString expected = QDir::toNativeSeparators(installed ? ownFile() : besideFile());

        DialogAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, startGame());
        QCOMPARE(answers.seen().size(), 2);
        QCOMPARE(answers.seen().at(0).title, QStringLiteral("das Plomberg-Quiz"));
        QVERIFY2(answers.seen().at(0).text.startsWith(QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ")
                                                      + expected + QStringLiteral(" vorhanden ist.")),
                 qPrintable(answers.seen().at(0).text));
        QCOMPARE(answers.seen().at(1).text, QStringLiteral("Das Quiz wird wegen eines Fehlers beendet."));
        QVERIFY(!QFile::exists(ownFile()));
    }
};

QTEST_MAIN(TestQuestionFile)
#include "tst_questionfile.moc"
