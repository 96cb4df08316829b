// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor when a save cannot be made: the file cannot grow (a page limit on
// the editor's own connection, caught as it opens, or a limit on the size of files the process may
// write) or another process holds the file locked past the wait. Each time the
// user reads the editor's message naming the failure, the status line says that
// nothing was saved, the file is exactly as before, and once the cause is gone
// the same save works.
#include "editor/frmEditor.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/display.h"
#include "support/testsupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

using testsupport::DialogAnswerer;
using testsupport::Record;

namespace {

constexpr int kRecords = 8;

// A record as long as the editor can make it, in plain ASCII: on the small pages
// of the test file each one nearly fills a page, so a grown or an added record
// needs a new page.
Record fullRecord(int n)
{
    const auto padded = [n](const QString& head, int length) {
        return QString(head + QString::number(n) + QLatin1Char(' ')).leftJustified(length, QLatin1Char('x'), true);
    };
    Record r;
    r[QStringLiteral("Nummer")] = QString::number(n).rightJustified(2, QLatin1Char('0'));
    r[QStringLiteral("Frage")] = padded(QStringLiteral("Frage "), 110);
    for (const QString& x : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")})
        r[QStringLiteral("Antwort") + x] = padded(QStringLiteral("Antwort ") + x, 40);
    r[QStringLiteral("Richtig")] = QStringLiteral("A");
    r[QStringLiteral("Fraglich")] = QStringLiteral("B");
    r[QStringLiteral("PublikumA")] = QStringLiteral("40");
    r[QStringLiteral("PublikumB")] = QStringLiteral("30");
    r[QStringLiteral("PublikumC")] = QStringLiteral("20");
    r[QStringLiteral("PublikumD")] = QStringLiteral("10");
    r[QStringLiteral("JokerTV")] = padded(QStringLiteral("Joker "), 20);
    return r;
}

// The question file with pages of 512 bytes, the smallest SQLite has.
void writeSmallPageFile(const QString& path, const QList<Record>& records)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "PRAGMA page_size=512; CREATE TABLE seite(x); DROP TABLE seite;", nullptr, nullptr,
                          nullptr),
             SQLITE_OK);
    sqlite3_close(db);
    testsupport::writeQuestionFile(path, records);
}

qint64 pragmaNumber(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    qint64 value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return value;
}

QString integrityCheck(const QString& path)
{
    sqlite3* db = nullptr;
    QString result;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            result += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    else
        result = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

// What makes the save fail, from set() until clear().
class Cause {
public:
    virtual ~Cause() = default;
    virtual void set(frmEditor& editor, const QString& file) = 0;
    virtual void clear() = 0;
};

// The connection the editor opens, caught as SQLite opens it: every new
// connection of the process runs the automatic extensions first. Caught only
// from catchConnections() until releaseConnections().
sqlite3* g_editorConnection = nullptr;

int catchConnection(sqlite3* db, char**, const sqlite3_api_routines*)
{
    g_editorConnection = db;
    return SQLITE_OK;
}

void catchConnections()
{
    g_editorConnection = nullptr;
    QCOMPARE(sqlite3_auto_extension(reinterpret_cast<void (*)()>(catchConnection)), SQLITE_OK);
}

void releaseConnections()
{
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(catchConnection));
}

// The editor's connection may not make the file a single page longer.
class PageLimit : public Cause {
    sqlite3* m_db = nullptr;

public:
    void set(frmEditor&, const QString&) override
    {
        m_db = g_editorConnection;
        QVERIFY(m_db);
        const qint64 pages = pragmaNumber(m_db, "PRAGMA page_count");
        QVERIFY(pages > 0);
        QCOMPARE(pragmaNumber(m_db, QStringLiteral("PRAGMA max_page_count=%1").arg(pages).toUtf8().constData()),
                 pages);
    }
    void clear() override
    {
        QVERIFY(pragmaNumber(m_db, "PRAGMA max_page_count=1073741823") > 0);
    }
};

// The process may not write any file beyond the question file's present size:
// the write that would grow it fails as on a file system that refuses to.
class FileSizeLimit : public Cause {
    rlimit m_before{};
    bool m_limited = false;

public:
    void set(frmEditor&, const QString& file) override
    {
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &m_before) == 0);
        rlimit limited = m_before;
        limited.rlim_cur = rlim_t(QFileInfo(file).size());
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
        m_limited = true;
    }
    void clear() override
    {
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &m_before) == 0);
        m_limited = false;
    }
    // The limit never outlives the test case, whatever happened in it.
    ~FileSizeLimit() override
    {
        if (m_limited)
            ::setrlimit(RLIMIT_FSIZE, &m_before);
    }
};

// Another process holds the exclusive write lock until it is told to let go.
class OtherProcessLock : public Cause {
    QProcess m_holder;

public:
    void set(frmEditor&, const QString& file) override
    {
        m_holder.start(QStringLiteral(QUIZ_CRASHWRITER_EXE), {QStringLiteral("lock"), file});
        QVERIFY(m_holder.waitForStarted());
        while (!m_holder.canReadLine() && m_holder.state() == QProcess::Running)
            m_holder.waitForReadyRead(10000);
        QCOMPARE(m_holder.readLine().trimmed(), QByteArray("locked"));
    }
    void clear() override
    {
        m_holder.closeWriteChannel();
        QVERIFY(m_holder.waitForFinished(10000));
        QCOMPARE(m_holder.exitCode(), 0);
    }
    ~OtherProcessLock() override
    {
        if (m_holder.state() != QProcess::NotRunning) {
            m_holder.kill();
            m_holder.waitForFinished();
        }
    }
};

std::unique_ptr<Cause> makeCause(const QString& name)
{
    if (name == QLatin1String("page limit"))
        return std::make_unique<PageLimit>();
    if (name == QLatin1String("file size limit"))
        return std::make_unique<FileSizeLimit>();
    return std::make_unique<OtherProcessLock>();
}

} // namespace

class TestEditorFaults : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private:
    QTemporaryDir m_dir;
    QString m_file;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(store::kFileName);
        platform::setProgramDirectory(m_dir.path());
        testsupport::catchEndProgram();
        // A lock is given up after a fifth of a second, not the program's two.
        store::DBEngine::instance().SetBusyTimeout(200);
        // A write beyond the file size limit must fail, not end the process.
        ::signal(SIGXFSZ, SIG_IGN);
    }

    void init()
    {
        QFile::remove(m_file);
        QList<Record> records;
        for (int n = 1; n <= kRecords; ++n)
            records << fullRecord(n);
        writeSmallPageFile(m_file, records);
    }

    void saveFailsThenWorks_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("causeText"); // what the message says went wrong

        const QString full = QStringLiteral("(der Datenträger ist voll); es wurde nichts gespeichert.");
        // SQLite reports a write beyond the size limit as a plain write error.
        const QString tooBig = QStringLiteral("(Lese- oder Schreibfehler des Datenträgers); es wurde nichts gespeichert.");
        const QString locked = QStringLiteral("ist von einem anderen Programm gesperrt; die Änderung wurde nicht gespeichert.");
        QTest::newRow("page limit, change") << "page limit" << "change" << full;
        QTest::newRow("page limit, add") << "page limit" << "add" << full;
        QTest::newRow("file size limit, change") << "file size limit" << "change" << tooBig;
        QTest::newRow("file size limit, add") << "file size limit" << "add" << tooBig;
        QTest::newRow("other process locks, change") << "other process lock" << "change" << locked;
        QTest::newRow("other process locks, add") << "other process lock" << "add" << locked;
        QTest::newRow("other process locks, delete") << "other process lock" << "delete" << locked;
    }

    void saveFailsThenWorks()
    {
        QFETCH(QString, cause);
        QFETCH(QString, action);
        QFETCH(QString, causeText);

        catchConnections();
        frmEditor ed;
        ed.Form_Load();
        releaseConnections();
        QCOMPARE(ed.txtFrage->text(), fullRecord(1).value(QStringLiteral("Frage")).toString());
        const QList<Record> before = testsupport::readQuestionFile(m_file);
        const QByteArray bytesBefore = [&] {
            QFile f(m_file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QCOMPARE(before.size(), kRecords);

        // New texts that need more room than the record had: each "€" is three bytes.
        const QString grownFrage = QString(110, QChar(0x20AC));
        ed.txtFrage->setText(grownFrage);
        ed.txtAntA->setText(QString(40, QChar(0x00C4)));
        ed.txtAntB->setText(QString(40, QChar(0x00D6)));
        ed.txtPubA->setText(QStringLiteral("25"));
        ed.txtPubB->setText(QStringLiteral("25"));
        ed.txtPubC->setText(QStringLiteral("25"));
        ed.txtPubD->setText(QStringLiteral("25"));

        const auto click = [&] {
            if (action == QLatin1String("change"))
                ed.cmdÄndern_Click();
            else if (action == QLatin1String("add"))
                ed.cmdHinzufügen_Click();
            else
                ed.cmdLöschen_Click();
        };
        const bool deleting = action == QLatin1String("delete");
        const QString verb = action == QLatin1String("change") ? QStringLiteral("geändert")
                             : action == QLatin1String("add")  ? QStringLiteral("angehängt")
                                                               : QStringLiteral("gelöscht");

        std::unique_ptr<Cause> why = makeCause(cause);
        why->set(ed, m_file);
        if (QTest::currentTestFailed())
            return;
        QList<testsupport::SeenDialog> seen;
        {
            DialogAnswerer answerer(deleting ? QStringList{QStringLiteral("yes"), QStringLiteral("ok")}
                                             : QStringList{QStringLiteral("ok")});
            click();
            seen = answerer.seen();
        }
        why->clear();

        // The message names the failure and the file; the status line says nothing was saved.
        QCOMPARE(seen.size(), deleting ? 2 : 1);
        const QString message = seen.last().text;
        const QString first = deleting ? QStringLiteral("Der Datensatz konnte nicht gelöscht werden:")
                                       : QStringLiteral("Der Datensatz konnte nicht gespeichert werden:");
        QVERIFY2(message.startsWith(first + QStringLiteral("\n\n")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("„%1“").arg(QDir::toNativeSeparators(m_file))), qPrintable(message));
        QVERIFY2(message.endsWith(causeText), qPrintable(message));
        QCOMPARE(seen.last().buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz nicht %1 - es wurde nichts gespeichert").arg(verb));

        // Nothing of it reached the file, which is sound; the editor stands where it stood.
        QCOMPARE(integrityCheck(m_file), QStringLiteral("ok"));
        QCOMPARE(testsupport::readQuestionFile(m_file), before);
        {
            QFile f(m_file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(f.readAll() == bytesBefore, "the file's bytes changed");
        }
        QCOMPARE(ed.EditorRecords->EditMode(), 0);
        QCOMPARE(ed.EditorRecords->Fields(QStringLiteral("Frage")), before.at(0).value(QStringLiteral("Frage")));
        QCOMPARE(ed.txtFrage->text(), grownFrage);

        // The cause is gone: the same save works.
        {
            DialogAnswerer answerer(deleting ? QStringList{QStringLiteral("yes")} : QStringList{});
            click();
            QCOMPARE(answerer.pending(), 0);
        }
        QCOMPARE(ed.lblStatus->text(), QStringLiteral("Datensatz %1").arg(verb));
        QCOMPARE(integrityCheck(m_file), QStringLiteral("ok"));
        const QList<Record> after = testsupport::readQuestionFile(m_file);
        if (action == QLatin1String("change")) {
            QCOMPARE(after.size(), kRecords);
            QCOMPARE(after.at(0).value(QStringLiteral("Frage")).toString(), grownFrage);
            QCOMPARE(after.mid(1), before.mid(1));
        } else if (action == QLatin1String("add")) {
            QCOMPARE(after.size(), kRecords + 1);
            QCOMPARE(after.last().value(QStringLiteral("Frage")).toString(), grownFrage);
            QCOMPARE(after.last().value(QStringLiteral("PublikumA")).toString(), QStringLiteral("25"));
            QCOMPARE(after.mid(0, kRecords), before);
        } else {
            QCOMPARE(after, before.mid(1));
        }
    }
};

QTEST_MAIN(TestEditorFaults)
#include "tst_editor_faults.moc"
