// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game as a packager installs it: `cmake --install` into a temporary
// DESTDIR with the prefix /usr, the files where the desktop looks for them,
// the menu entry and the AppStream data accepted by their validators, the
// installed quizdb content with the installed questions, and --help and
// --version of both installed programs with no display.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code = -1;
    QString out;
};

// Runs `program` to its end with no display at all; stderr follows stdout.
Run run(const QString& program, const QStringList& arguments, const QString& destdir = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (!destdir.isEmpty())
        env.insert(QStringLiteral("DESTDIR"), destdir);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// A manual page's words as man shows them: hyphens, fonts and break marks
// unescaped.
QString manualWords(const QString& gzipped)
{
    QProcess gunzip;
    gunzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), gzipped});
    if (!gunzip.waitForFinished(30000) || gunzip.exitCode() != 0)
        return {};
    QString text = QString::fromUtf8(gunzip.readAllStandardOutput());
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP]|\\%)")));
    return text;
}

// The options a --help text names: words of one or two hyphens and a letter,
// and "-" when it reads standard input.
QStringList optionsIn(const QString& help)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral(R"((?<![\w-])(--?[A-Za-z][\w-]*))"));
    for (const QRegularExpressionMatch& m : option.globalMatch(help))
        options << m.captured(1);
    if (help.contains(QLatin1String("\"-\"")))
        options << QStringLiteral("-");
    options.removeDuplicates();
    return options;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_destdir;

    QString installed(const QString& path) const { return m_destdir.filePath(QStringLiteral("usr/") + path); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_destdir.isValid());
        const Run install = run(QStringLiteral(QUIZ_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(QUIZ_BUILD_DIR), QStringLiteral("--prefix"),
                                 QStringLiteral("/usr")},
                                m_destdir.path());
        QVERIFY2(install.code == 0, qPrintable(install.out));
    }

    void installedFiles_data()
    {
        QTest::addColumn<QString>("path");
        const QString id = QStringLiteral(QUIZ_APP_ID);
        QTest::newRow("game") << "bin/plomberg-quiz";
        QTest::newRow("tool") << "bin/plomberg-quizdb";
        QTest::newRow("sound") << QStringLiteral(QUIZ_MODULE_DIR "/plomberg-quiz-sound.so");
        QTest::newRow("default questions") << "share/plomberg-quiz/default/Zada-VI-VOZ.mdb";
        QTest::newRow("menu entry") << "share/applications/" + id + ".desktop";
        QTest::newRow("AppStream data") << "share/metainfo/" + id + ".metainfo.xml";
        for (int size : {16, 22, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d", size) << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id);
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/" + id + ".svg";
        QTest::newRow("game manual") << "share/man/man6/plomberg-quiz.6.gz";
        QTest::newRow("tool manual") << "share/man/man1/plomberg-quizdb.1.gz";
        QTest::newRow("copyright") << "share/doc/plomberg-quiz/copyright";
    }

    void installedFiles()
    {
        QFETCH(QString, path);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(file.filePath()));
        if (path.startsWith(QLatin1String("bin/")))
            QVERIFY(file.isExecutable());
    }

    // Installed with the prefix ~/.local, share/plomberg-quiz/Zada-VI-VOZ.mdb
    // is the player's own file: no install may put anything there.
    void nothingWhereThePlayersOwnFileIs()
    {
        QVERIFY(!QFileInfo::exists(installed(QStringLiteral("share/plomberg-quiz/Zada-VI-VOZ.mdb"))));
    }

    void acceptedByTheirCheckers_data()
    {
        QTest::addColumn<QString>("checker");
        QTest::addColumn<QStringList>("arguments");
        const QString id = QStringLiteral(QUIZ_APP_ID);
        QTest::newRow("menu entry") << "desktop-file-validate"
                                    << QStringList{installed("share/applications/" + id + ".desktop")};
        QTest::newRow("AppStream data") << "appstreamcli"
                                        << QStringList{"validate", "--no-net",
                                                       installed("share/metainfo/" + id + ".metainfo.xml")};
        QTest::newRow("default questions")
            << installed("bin/plomberg-quizdb")
            << QStringList{"check", installed("share/plomberg-quiz/default/Zada-VI-VOZ.mdb")};
    }

    void acceptedByTheirCheckers()
    {
        QFETCH(QString, checker);
        QFETCH(QStringList, arguments);
        const Run check = run(checker, arguments);
        QVERIFY2(check.code == 0, qPrintable(checker + QStringLiteral(": ") + check.out));
    }

    void commandLineWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("game --version") << "plomberg-quiz" << "--version" << QStringList{"plomberg-quiz " QUIZ_VERSION};
        QTest::newRow("game --help") << "plomberg-quiz" << "--help"
                                     << QStringList{"Aufruf:", "--fragendatei <PFAD>", ".local/share/plomberg-quiz"};
        QTest::newRow("tool --version") << "plomberg-quizdb" << "--version" << QStringList{QUIZ_VERSION};
        QTest::newRow("tool --help") << "plomberg-quizdb" << "--help" << QStringList{"create", "check"};
    }

    void commandLineWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QFETCH(QStringList, shown);
        const Run r = run(installed(QStringLiteral("bin/") + program), {argument});
        if (program == QLatin1String("plomberg-quizdb") && r.out.contains(QStringLiteral("Unbekannter Befehl")))
            QSKIP("quizdb's command line does not know this option yet");
        QVERIFY2(r.code == 0, qPrintable(r.out));
        for (const QString& text : shown)
            QVERIFY2(r.out.contains(text), qPrintable(text + QStringLiteral(" not in:\n") + r.out));
    }

    void answerNotWrittenIsAFailure_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument");
        for (const char* program : {"plomberg-quiz", "plomberg-quizdb"})
            for (const char* argument : {"--help", "--version"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1StringView(program), QLatin1StringView(argument))))
                    << QString::fromLatin1(program) << QString::fromLatin1(argument);
    }
    void answerNotWrittenIsAFailure()
    {
        // An answer that cannot be written (a full disk) ends with a failure.
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(installed(QStringLiteral("bin/") + program), {argument});
        QVERIFY(p.waitForFinished(120000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() != 0, qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("nicht schreiben")), qPrintable(err));
    }

    // The Debian packages as their components install them: the game without
    // the sound module, which alone needs Qt Multimedia, and the module with
    // its own copyright.
    void soundIsAPartOfItsOwn_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        const QString module = QStringLiteral(QUIZ_MODULE_DIR "/plomberg-quiz-sound.so");
        QTest::newRow("game") << "game" << QStringList{"bin/plomberg-quiz", "share/doc/plomberg-quiz/copyright"}
                              << QStringList{module};
        QTest::newRow("sound") << "sound" << QStringList{module, "share/doc/plomberg-quiz-sound/copyright"}
                               << QStringList{"bin/plomberg-quiz"};
    }

    void soundIsAPartOfItsOwn()
    {
        QFETCH(QString, component);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        QTemporaryDir part;
        QVERIFY(part.isValid());
        const Run install = run(QStringLiteral(QUIZ_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(QUIZ_BUILD_DIR), QStringLiteral("--prefix"),
                                 QStringLiteral("/usr"), QStringLiteral("--component"), component},
                                part.path());
        QVERIFY2(install.code == 0, qPrintable(install.out));
        for (const QString& path : present)
            QVERIFY2(QFileInfo::exists(part.filePath(QStringLiteral("usr/") + path)), qPrintable(path));
        for (const QString& path : absent)
            QVERIFY2(!QFileInfo::exists(part.filePath(QStringLiteral("usr/") + path)), qPrintable(path));
    }

    // Each manual page lists every option its program's --help names, and
    // the game's names the default questions where this build installs them.
    void manualListsEveryOption_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("manual");
        QTest::addColumn<QString>("names");
        QTest::newRow("game") << "plomberg-quiz" << "share/man/man6/plomberg-quiz.6.gz"
                              << QStringLiteral(QUIZ_DEFAULT_FULL_DIR "/Zada-VI-VOZ.mdb");
        QTest::newRow("tool") << "plomberg-quizdb" << "share/man/man1/plomberg-quizdb.1.gz" << "check";
    }

    void manualListsEveryOption()
    {
        QFETCH(QString, program);
        QFETCH(QString, manual);
        QFETCH(QString, names);
        const Run help = run(installed(QStringLiteral("bin/") + program), {QStringLiteral("--help")});
        QVERIFY2(help.code == 0, qPrintable(help.out));
        const QStringList options = optionsIn(help.out);
        QVERIFY2(options.contains(QStringLiteral("--help")), qPrintable(help.out));
        const QString words = manualWords(installed(manual));
        QVERIFY2(words.contains(names), qPrintable(names));
        for (const QString& option : options) {
            // "-" alone is a bold word of its own; an option a word between others.
            const QString pattern = option == QLatin1String("-")
                                        ? QStringLiteral(R"(^\.B -$)")
                                        : QStringLiteral(R"((?<![\w-]))") + QRegularExpression::escape(option)
                                              + QStringLiteral(R"((?![\w-]))");
            const QRegularExpression listed(pattern, QRegularExpression::MultilineOption);
            QVERIFY2(listed.match(words).hasMatch(), qPrintable(option + QStringLiteral(" not in ") + manual));
        }
    }

    // A session where no display plugin can start: a Wayland session without
    // a compositor, a platform Qt does not have. The game says so in German
    // and ends with status 1 instead of aborting with a core dump.
    void noDisplayPluginSaysSo_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::newRow("Wayland without a compositor") << "wayland";
        QTest::newRow("unknown platform") << "keine";
    }

    void noDisplayPluginSaysSo()
    {
        QFETCH(QString, platform);
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("kein-compositor"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess game;
        game.setProcessEnvironment(env);
        game.setProcessChannelMode(QProcess::MergedChannels);
        game.start(installed(QStringLiteral("bin/plomberg-quiz")), {});
        QVERIFY(game.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(game.readAll());
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 1);
        QVERIFY2(out.contains(QStringLiteral("Das Quiz kann sich auf keinem Bildschirm zeigen")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("QT_QPA_PLATFORM: ") + platform), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
