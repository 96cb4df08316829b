// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game on an Access question file (../shared/jet/) where it looks for its
// question file: played from a private copy and shown read-only by the
// editor, or refused with its cause; the Access file never changes, and the
// copy goes with the game.
#include "editor/frmEditor.h"
#include "game/frmQuiz.h"
#include "platform/platform.h"
#include "support/display.h"
#include "support/jetfiles.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using testsupport::DialogAnswerer;

namespace {

using testsupport::kJet;

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Starts the game, answering the name prompt or the two failure messages;
// returns what it wrote to standard error and the texts of the messages.
QString startGame(frmQuiz& game, QStringList& messages)
{
    QTemporaryFile said;
    if (!said.open())
        return {};
    std::fflush(stderr);
    const int terminal = dup(STDERR_FILENO);
    dup2(said.handle(), STDERR_FILENO);
    DialogAnswerer answers({QStringLiteral("input:Anna"), QStringLiteral("ok"), QStringLiteral("ok")});
    try {
        game.Form_Load();
    } catch (const testsupport::ProgramEnded&) {
        for (const testsupport::SeenDialog& seen : answers.seen())
            messages << seen.text;
    }
    std::fflush(stderr);
    dup2(terminal, STDERR_FILENO);
    close(terminal);
    said.seek(0);
    return QString::fromLocal8Bit(said.readAll());
}

} // namespace

class TestGameAccess : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private Q_SLOTS:
    void initTestCase()
    {
        if (!testsupport::useJetFiles(QStringLiteral("made-here")))
            QSKIP("../shared/jet/made-here (the Access question tables) is not there beside the project");
        testsupport::catchEndProgram();
    }

    void accessFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pages"); // of the file, cut short; 0: whole
        QTest::addColumn<QString>("cause"); // empty: the game plays it
        QTest::newRow("Jet 4") << "made-here/Zada-V2003-valid.mdb" << 0 << "";
        QTest::newRow("Jet 4, first question moved") << "made-here/Zada-V2000.mdb" << 0 << "";
        QTest::newRow("ACE, first question moved") << "made-here/Zada-V2007.mdb" << 0 << "";
        QTest::newRow("cut short") << "made-here/Zada-V2000.mdb" << 40 << "Die Access-Datei „<file>“ ist unvollständig";
        QTest::newRow("no question table") << "genuine/jackcess-empty2003.mdb" << 0
                                           << "Die Access-Datei „<file>“ enthält keine Tabelle „Zada-VI-VOZ“";
    }

    void accessFile()
    {
        QFETCH(QString, file);
        QFETCH(int, pages);
        QFETCH(QString, cause);
        QTemporaryDir dir, temp; // the program directory, the temporary folder
        const QString played = QDir::toNativeSeparators(dir.filePath(store::kFileName));
        QByteArray before = bytesOf(kJet + file);
        if (pages)
            before.truncate(pages * 4096);
        QFile f(played);
        QVERIFY(!before.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        f.close();
        platform::setProgramDirectory(dir.path());
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        const auto copies = [&] { return QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); };
        {
            frmQuiz game;
            QStringList messages;
            const QString said = startGame(game, messages);
            if (cause.isEmpty()) {
                QCOMPARE(messages, QStringList());
                QCOMPARE(game.lblFrage->text(), QStringLiteral("Wie heißt die Hauptstadt von Österreich?"));
                game.Richtig();
                QCOMPARE(game.lblFrage->text(), QStringLiteral("Was kostet ein Brötchen? (in €)"));
                QCOMPARE(copies().size(), 1);

                // The editor shows the game's copy, read-only; a save names the Access file.
                QString status, frage;
                QStringList refusals;
                QTimer poll;
                QObject::connect(&poll, &QTimer::timeout, [&] {
                    auto* ed = qobject_cast<frmEditor*>(QApplication::activeModalWidget());
                    if (!ed || !ed->isVisible())
                        return;
                    poll.stop();
                    status = ed->lblStatus->text();
                    frage = ed->txtFrage->text();
                    ed->txtFrage->setText(QStringLiteral("Geändert?"));
                    DialogAnswerer answers({QStringLiteral("ok")});
                    ed->cmdÄndern_Click();
                    refusals << answers.seen().value(0).text << ed->lblStatus->text();
                    ed->cmdUnload_Click();
                });
                poll.start(5);
                game.cmdEdit_Click();
                QCOMPARE(status, QStringLiteral("Die Datenbank ist eine Access-Datei und schreibgeschützt - "
                                                "Änderungen werden nicht gespeichert"));
                QCOMPARE(frage, QStringLiteral("Wie heißt die Hauptstadt von Österreich?"));
                QVERIFY2(refusals.value(0).contains(QStringLiteral("„") + played + QStringLiteral("“ ist schreibgeschützt")),
                         qPrintable(refusals.value(0)));
                QCOMPARE(refusals.value(1), QStringLiteral("Datensatz nicht geändert - es wurde nichts gespeichert"));
            } else {
                QVERIFY2(said.startsWith(QStringLiteral("plomberg-quiz: ") + cause.replace(QLatin1String("<file>"), played)),
                         qPrintable(said));
                QCOMPARE(messages.size(), 2); // the start-up's two messages, naming the file
                QVERIFY(messages.at(0).startsWith(QStringLiteral("Datenbank nicht gefunden! Bitte überprüfen Sie dass ")
                                                  + played + QStringLiteral(" vorhanden ist.")));
            }
        }
        QCOMPARE(bytesOf(played), before);
        QCOMPARE(copies(), QStringList());
    }

    void cleanup()
    {
        qunsetenv("TMPDIR");
        platform::setProgramDirectory(QString());
    }
};

QTEST_MAIN(TestGameAccess)
#include "tst_game_access.moc"
