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
#include "platform/questionfile.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using testsupport::DialogAnswerer;
using testsupport::ProgramEnded;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The question file as main() finds it, with `commandLineFile` named on the
// command line (empty: none).
QString resolved(const QString& commandLineFile = QString())
{
    return platform::resolveQuestionFile(commandLineFile, store::kFileName);
}

// The game as main() starts it, with the name already given: the question it
// shows first.
QString startGame(const QString& commandLineFile = QString())
{
    frmQuiz w(resolved(commandLineFile));
    w.txtName->setText(QStringLiteral("Anna"));
    w.Form_Load();
    return w.lblFrage->text();
}

// The first question the game's editor shows when the game opens it; the
// editor is closed again at once.
QString questionInGamesEditor(frmQuiz& game)
{
    QString shown;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<frmEditor*>(QApplication::activeModalWidget());
        if (!editor || !editor->isVisible())
            return;
        poll.stop();
        shown = editor->txtFrage->text();
        editor->cmdUnload_Click();
    });
    poll.start();
    game.cmdEdit_Click();
    return shown;
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
        const bool named = present.contains(QLatin1String("command line"));
        if (named)
            writeFile(commandLineFile(), 1);
        if (present.contains(QLatin1String("beside")))
            writeFile(besideFile(), 2);
        if (present.contains(QLatin1String("own")))
            writeFile(ownFile(), 3);
        writeFile(shippedFile(), 4);
        const QByteArray shipped = bytesOf(shippedFile());

        QCOMPARE(startGame(named ? commandLineFile() : QString()), shown);
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

        frmEditor editor(resolved());
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

    // The game hands its file to its editor: the editor works on the file the
    // game plays, even where looking again would now find another one.
    void editorWorksOnTheGamesFile()
    {
        writeFile(shippedFile(), 4);
        frmQuiz game(resolved());
        game.txtName->setText(QStringLiteral("Anna"));
        game.Form_Load();
        QCOMPARE(game.lblFrage->text(), QStringLiteral("Frage 4"));

        writeFile(besideFile(), 2);
        becomePlayer(QStringLiteral("home2"));
        QCOMPARE(questionInGamesEditor(game), QStringLiteral("Frage 4"));
        QVERIFY(!QFile::exists(path(QStringLiteral("home2/.local/share/plomberg-quiz/Zada-VI-VOZ.mdb"))));
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

    // An empty path names no file: the game refuses it on the terminal, with
    // or without a display, and never plays the player's own file instead.
    void emptyPathIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::newRow("--fragendatei ''") << QStringList{"--fragendatei", ""} << true;
        QTest::newRow("--fragendatei=") << QStringList{"--fragendatei="} << true;
        QTest::newRow("-f '' without a display") << QStringList{"-f", ""} << false;
        QTest::newRow("plain ''") << QStringList{""} << true;
    }

    void emptyPathIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        writeFile(ownFile(), 3);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess game;
        game.setProcessEnvironment(env);
        game.start(QStringLiteral(QUIZ_EXE), arguments);
        const bool ended = game.waitForFinished(20000);
        if (!ended)
            game.kill();
        QVERIFY2(ended, "the game started instead of refusing the empty path");
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(game.readAllStandardError()),
                 QStringLiteral("plomberg-quiz: Der Pfad der Fragendatei ist leer. Bitte den Pfad einer Fragendatei "
                                "angeben oder die Angabe weglassen.\n"));
    }

    // The first message names a place where a question file can really be
    // had: the installed default when the player's copy of it cannot be made
    // (here the player's data folder is a file), else the command of
    // plomberg-quizdb that makes one where the game looks for it.
    void missingFileSaysWhereToGetOne_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::newRow("installed default, copy impossible") << true;
        QTest::newRow("no installed default") << false;
    }

    void missingFileSaysWhereToGetOne()
    {
        QFETCH(bool, shipped);
        QVERIFY(QDir().mkpath(path(QStringLiteral("home/.local/share"))));
        QFile blocker(path(QStringLiteral("home/.local/share/plomberg-quiz")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        if (shipped)
            writeFile(shippedFile(), 4);
        const QString where = shipped ? QDir::toNativeSeparators(shippedFile())
                                      : QStringLiteral("„plomberg-quizdb create ") + QDir::toNativeSeparators(ownFile())
                                            + QStringLiteral(" CSV-DATEI“");

        DialogAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, startGame());
        QCOMPARE(answers.seen().size(), 2);
        QVERIFY2(answers.seen().at(0).text.endsWith(QStringLiteral(" vorhanden ist. Die Datenbank kann unter ") + where
                                                    + QStringLiteral(" geladen werden.")),
                 qPrintable(answers.seen().at(0).text));
        QVERIFY(!answers.seen().at(0).text.contains(QStringLiteral("example")));
    }
};

QTEST_MAIN(TestQuestionFile)
#include "tst_questionfile.moc"
