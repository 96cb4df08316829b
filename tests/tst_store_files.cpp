// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Bad question files and failing writes: every refusal is a store::Error with
// a German message that names the file and the fault, and the file is left
// exactly as it was.
#include "store/store.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using store::DBEngine;
using store::Database;
using store::Recordset;
using testsupport::Record;

namespace {

using testsupport::errorOf;

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A plain SQLite connection of "another program".
struct RawConnection {
    sqlite3* db = nullptr;
    explicit RawConnection(const QString& path, int extraFlags = 0)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | extraFlags, nullptr);
    }
    ~RawConnection() { sqlite3_close(db); }
    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

// One write through the record set: "delete" the current record, or "edit"
// it or "add" a new one with `value` in each of `fields`.
void writeRecord(Recordset& rs, const QString& operation, const QStringList& fields, const QString& value)
{
    if (operation == QLatin1String("delete")) {
        rs.Delete();
        return;
    }
    if (operation == QLatin1String("edit"))
        rs.Edit();
    else
        rs.AddNew();
    for (const QString& f : fields)
        rs.Collect(f, value);
    rs.Update();
}

} // namespace

class TestStoreFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    void freshFile(int n)
    {
        QFile::remove(m_path);
        testsupport::writeQuestionFile(m_path, testsupport::sampleRecords(n));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(store::kFileName);
        // A lock is given up after a fifth of a second, not the program's two.
        store::DBEngine::instance().SetBusyTimeout(200);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault"); // part of the message
        QTest::newRow("missing") << "missing" << "wurde nicht gefunden";
        QTest::newRow("directory") << "directory" << "ist ein Verzeichnis";
        QTest::newRow("named pipe") << "fifo" << "keine gewöhnliche Datei";
        QTest::newRow("empty") << "empty" << "ist leer";
        QTest::newRow("random bytes") << "random" << "keine gültige Fragendatei";
        QTest::newRow("text file") << "text" << "keine gültige Fragendatei";
        QTest::newRow("truncated header") << "truncated" << "keine gültige Fragendatei";
        QTest::newRow("other table") << "no table" << "fehlt die Tabelle „Zada-VI-VOZ“";
        QTest::newRow("field missing") << "no field" << "fehlen Felder: Fraglich, JokerTV";
    }
    void refusedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(store::kFileName);
        if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("empty")) {
            writeBytes(path, QByteArray());
        } else if (kind == QLatin1String("random")) {
            QByteArray bytes(8192, '\0');
            for (char& c : bytes)
                c = char(QRandomGenerator::global()->bounded(256));
            writeBytes(path, bytes);
        } else if (kind == QLatin1String("text")) {
            writeBytes(path, QByteArray("Nummer;Frage\n1;Wie hoch ist die Zugspitze?\n").repeated(40));
        } else if (kind == QLatin1String("truncated")) {
            testsupport::writeQuestionFile(path, testsupport::sampleRecords(50));
            const QByteArray whole = contentOf(path);
            writeBytes(path, whole.left(60));
        } else if (kind == QLatin1String("no table") || kind == QLatin1String("no field")) {
            RawConnection raw(path, SQLITE_OPEN_CREATE);
            const char* sql = kind == QLatin1String("no table")
                ? "CREATE TABLE Fragen (Nummer TEXT, Frage TEXT)"
                : "CREATE TABLE \"Zada-VI-VOZ\" (Satz INTEGER PRIMARY KEY AUTOINCREMENT, Nummer, Frage, AntwortA, "
                  "AntwortB, AntwortC, AntwortD, Richtig, PublikumA, PublikumB, PublikumC, PublikumD)";
            QCOMPARE(raw.exec(sql), SQLITE_OK);
        }
        const bool existed = QFileInfo::exists(path);
        const QByteArray before = existed && QFileInfo(path).isFile() ? contentOf(path) : QByteArray();
        const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

        const QString msg = errorOf([&] {
            auto db = DBEngine::instance().OpenDatabase(path);
            db->OpenRecordset(store::kTable);
        });
        QVERIFY2(msg.contains(fault), qPrintable(msg));
        QVERIFY2(msg.contains(QDir::toNativeSeparators(path)), qPrintable(msg));

        // Refusing a file changes nothing: no new file, no journal, same bytes.
        QCOMPARE(QFileInfo::exists(path), existed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), entriesBefore);
        if (existed && QFileInfo(path).isFile())
            QCOMPARE(contentOf(path), before);
    }

    // A file cut off in the middle passes the first look; the damage shows
    // when the cursor reaches it, as an error that says the file is damaged.
    void damagedFileFailsClearly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(store::kFileName);
        testsupport::writeQuestionFile(path, testsupport::sampleRecords(3000));
        const QByteArray whole = contentOf(path);
        writeBytes(path, whole.left(whole.size() / 2));
        const QByteArray before = contentOf(path);
        const QString msg = errorOf([&] {
            auto db = DBEngine::instance().OpenDatabase(path);
            auto rs = db->OpenRecordset(store::kTable);
            rs->MoveLast();
            rs->Fields(QStringLiteral("Frage"));
        });
        QVERIFY2(msg.contains(QStringLiteral("beschädigt")), qPrintable(msg));
        QVERIFY2(msg.contains(QDir::toNativeSeparators(path)), qPrintable(msg));
        QCOMPARE(contentOf(path), before);
    }

    // Another program holds the file locked past the busy timeout: opening
    // fails with a message that says so.
    void lockedFileIsRefused_data()
    {
        QTest::addColumn<bool>("otherProcess");
        QTest::newRow("other connection") << false;
        QTest::newRow("other process") << true;
    }
    void lockedFileIsRefused()
    {
        QFETCH(bool, otherProcess);
        freshFile(3);
        std::unique_ptr<RawConnection> other;
        pid_t child = -1;
        int release[2] = {-1, -1};
        if (otherProcess) {
            // A child process takes the lock, says so, and keeps it until told.
            int locked[2];
            QCOMPARE(pipe(locked), 0);
            QCOMPARE(pipe(release), 0);
            child = fork();
            if (child == 0) {
                close(locked[0]);
                close(release[1]);
                RawConnection holder(m_path);
                const char ok = holder.exec("BEGIN EXCLUSIVE") == SQLITE_OK ? '1' : '0';
                if (write(locked[1], &ok, 1) != 1)
                    _exit(2);
                char c;
                if (read(release[0], &c, 1) < 0)
                    _exit(3);
                holder.exec("ROLLBACK");
                _exit(0);
            }
            close(locked[1]);
            close(release[0]);
            char ok = 0;
            QCOMPARE(read(locked[0], &ok, 1), ssize_t(1));
            close(locked[0]);
            QCOMPARE(ok, '1');
        } else {
            other = std::make_unique<RawConnection>(m_path);
            QCOMPARE(other->exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        }
        const QString msg = errorOf([&] {
            auto db = DBEngine::instance().OpenDatabase(m_path);
            db->OpenRecordset(store::kTable);
        });
        if (otherProcess) {
            close(release[1]);
            int status = 0;
            waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            other->exec("ROLLBACK");
        }
        QVERIFY2(msg.contains(QStringLiteral("gesperrt")), qPrintable(msg));
        QVERIFY2(msg.contains(QDir::toNativeSeparators(m_path)), qPrintable(msg));
        auto db = DBEngine::instance().OpenDatabase(m_path);
        QCOMPARE(db->OpenRecordset(store::kTable)->Fields(QStringLiteral("Frage")).toString(),
                 QStringLiteral("Frage 1"));
    }

    // A write that cannot get the file fails as a whole, ends the pending
    // change and leaves the file as it was; the next write works.
    void updateOfLockedFileChangesNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("Edit") << "edit";
        QTest::newRow("AddNew") << "add";
        QTest::newRow("Delete") << "delete";
    }
    void updateOfLockedFileChangesNothing()
    {
        QFETCH(QString, operation);
        freshFile(3);
        auto db = DBEngine::instance().OpenDatabase(m_path);
        auto rs = db->OpenRecordset(store::kTable);
        const QList<Record> before = testsupport::readQuestionFile(m_path);
        RawConnection other(m_path);
        QCOMPARE(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);

        auto write = [&] { writeRecord(*rs, operation, store::fieldNames(), QStringLiteral("1")); };
        const QString msg = errorOf(write);
        QVERIFY2(msg.contains(QStringLiteral("gesperrt")), qPrintable(msg));
        QVERIFY2(msg.contains(QStringLiteral("nicht gespeichert")), qPrintable(msg));
        QCOMPARE(rs->EditMode(), 0);
        QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 1"));
        other.exec("ROLLBACK");
        QCOMPARE(testsupport::readQuestionFile(m_path), before);

        write();
        QCOMPARE(rs->EditMode(), 0);
        const QList<Record> after = testsupport::readQuestionFile(m_path);
        if (operation == QLatin1String("delete"))
            QCOMPARE(after.size(), 2);
        else if (operation == QLatin1String("add"))
            QCOMPARE(after.size(), 4);
        else
            QCOMPARE(after.first().value(QStringLiteral("Frage")).toString(), QStringLiteral("1"));
    }

    // A value the file refuses in the middle of a write: nothing of the record
    // is written, no change stays pending, and the next write works.
    void rejectedValueLeavesNoHalfRecord_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("refused"); // the JokerTV value, and what the message says of it
        QTest::addColumn<QString>("why");
        QTest::newRow("AddNew") << true << QStringLiteral("verboten") << QStringLiteral("abgelehnt");
        QTest::newRow("Edit") << false << QStringLiteral("verboten") << QStringLiteral("abgelehnt");
        const QString tooBig = QString((1 << 20) + 1, QLatin1Char('x'));
        const QString why = QStringLiteral("Der Wert für das Feld „JokerTV“ ist größer als 1 MiB");
        QTest::newRow("AddNew, over 1 MiB") << true << tooBig << why;
        QTest::newRow("Edit, over 1 MiB") << false << tooBig << why;
    }
    void rejectedValueLeavesNoHalfRecord()
    {
        QFETCH(bool, adding);
        QFETCH(QString, refused);
        QFETCH(QString, why);
        freshFile(2);
        {
            // A unique index that refuses a second JokerTV "verboten" (triggers
            // and CHECK constraints in the file never run, an index does).
            RawConnection raw(m_path);
            QCOMPARE(raw.exec("UPDATE \"Zada-VI-VOZ\" SET JokerTV='verboten' WHERE Satz=2;"
                              "CREATE UNIQUE INDEX einmal ON \"Zada-VI-VOZ\"(JokerTV) WHERE JokerTV='verboten'"),
                     SQLITE_OK);
        }
        const QList<Record> before = testsupport::readQuestionFile(m_path);
        auto db = DBEngine::instance().OpenDatabase(m_path);
        auto rs = db->OpenRecordset(store::kTable);
        auto write = [&](const QString& joker) {
            if (adding)
                rs->AddNew();
            else
                rs->Edit();
            rs->Collect(QStringLiteral("Frage"), QStringLiteral("Neue Frage"));
            rs->Collect(QStringLiteral("JokerTV"), joker);
            rs->Update();
        };
        const QString msg = errorOf([&] { write(refused); });
        QVERIFY2(msg.contains(QStringLiteral("nichts gespeichert")), qPrintable(msg));
        QVERIFY2(msg.contains(why), qPrintable(msg));
        QCOMPARE(rs->EditMode(), 0);
        QCOMPARE(testsupport::readQuestionFile(m_path), before);

        write(QStringLiteral("erlaubt"));
        const QList<Record> after = testsupport::readQuestionFile(m_path);
        QCOMPARE(after.size(), before.size() + (adding ? 1 : 0));
        const Record& changed = adding ? after.last() : after.first();
        QCOMPARE(changed.value(QStringLiteral("Frage")).toString(), QStringLiteral("Neue Frage"));
        QCOMPARE(changed.value(QStringLiteral("JokerTV")).toString(), QStringLiteral("erlaubt"));
    }

    // A value larger than the store reads (made by another tool) makes only
    // that field unreadable: the cursor moves onto and past its record, its
    // other fields read, and reading it names it.
    void oversizedValueIsNamedAndPassedOver()
    {
        freshFile(3);
        {
            RawConnection raw(m_path);
            QCOMPARE(raw.exec("UPDATE \"Zada-VI-VOZ\" SET AntwortC=printf('%.*c', 2097152, 'x') WHERE Satz=2"),
                     SQLITE_OK);
        }
        auto db = DBEngine::instance().OpenDatabase(m_path);
        auto rs = db->OpenRecordset(store::kTable);
        rs->MoveNext();
        QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 2"));
        const QString named = QStringLiteral("Das Feld „AntwortC“ eines Datensatzes der Fragendatei „%1“ ist größer "
                                             "als 1 MiB und kann nicht gelesen werden.")
                                  .arg(QDir::toNativeSeparators(m_path));
        QCOMPARE(errorOf([&] { rs->Fields(QStringLiteral("AntwortC")); }), named);
        QCOMPARE(errorOf([&] { rs->Values(); }), named);
        rs->MoveNext();
        QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 3"));
        rs->MovePrevious();
        QCOMPARE(rs->Fields(QStringLiteral("Frage")).toString(), QStringLiteral("Frage 2"));
    }

    // The file was moved, deleted or replaced by another while it was open:
    // a write says so, not that the file is write-protected, and saves
    // nothing, neither into the file it had open nor into the one now there.
    void writeToFileGoneSaysSo_data()
    {
        QTest::addColumn<QString>("fate");
        QTest::addColumn<QString>("operation");
        for (const char* fate : {"moved", "deleted", "replaced"})
            for (const char* operation : {"edit", "add", "delete"})
                QTest::addRow("%s, %s", fate, operation) << fate << operation;
    }
    void writeToFileGoneSaysSo()
    {
        QFETCH(QString, fate);
        QFETCH(QString, operation);
        freshFile(3);
        const QString moved = m_path + QStringLiteral(".verschoben");
        const QString other = m_dir.filePath(QStringLiteral("andere.mdb"));
        QFile::remove(moved);
        QFile::remove(other);
        testsupport::writeQuestionFile(other, testsupport::sampleRecords(5));
        const QByteArray before = contentOf(m_path);
        const QByteArray replacement = contentOf(other);
        auto db = DBEngine::instance().OpenDatabase(m_path);
        auto rs = db->OpenRecordset(store::kTable);

        if (fate == QLatin1String("moved"))
            QVERIFY(QFile::rename(m_path, moved));
        else if (fate == QLatin1String("deleted"))
            QVERIFY(QFile::remove(m_path));
        else
            QCOMPARE(::rename(QFile::encodeName(other).constData(), QFile::encodeName(m_path).constData()), 0);

        const QString msg =
            errorOf([&] { writeRecord(*rs, operation, {QStringLiteral("Frage")}, QStringLiteral("Neue Frage")); });
        QVERIFY2(msg.contains(QStringLiteral("„%1“").arg(QDir::toNativeSeparators(m_path))), qPrintable(msg));
        QVERIFY2(msg.contains(QStringLiteral("verschoben, gelöscht oder durch eine andere ersetzt")), qPrintable(msg));
        QVERIFY2(msg.contains(QStringLiteral("nichts gespeichert")), qPrintable(msg));
        QVERIFY2(!msg.contains(QStringLiteral("schreibgeschützt")), qPrintable(msg));
        QCOMPARE(rs->EditMode(), 0);
        rs->Close();
        db->Close();
        if (fate == QLatin1String("moved"))
            QCOMPARE(contentOf(moved), before);
        if (fate == QLatin1String("replaced"))
            QCOMPARE(contentOf(m_path), replacement);
        else
            QVERIFY(!QFile::exists(m_path));
        QVERIFY(!QFile::exists(m_path + QStringLiteral("-journal")));
    }

    // A file the user may not write: reading works, every write fails with
    // "schreibgeschützt" and changes nothing. Root may write any file, so as
    // root the check runs in a child process that has given up root.
    void readOnlyFile()
    {
        freshFile(3);
        QVERIFY(QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        const QByteArray before = contentOf(m_path);

        auto check = [&]() -> QString {
            QStringList seen;
            try {
                auto db = DBEngine::instance().OpenDatabase(m_path);
                auto rs = db->OpenRecordset(store::kTable);
                rs->MoveNext();
                seen << rs->Fields(QStringLiteral("Frage")).toString();
                auto attempt = [&](const std::function<void()>& f) {
                    const QString msg = errorOf(f);
                    seen << (msg.contains(QStringLiteral("schreibgeschützt")) ? QStringLiteral("refused")
                                                                               : QStringLiteral("?") + msg);
                    seen << QString::number(rs->EditMode());
                };
                attempt([&] {
                    rs->Edit();
                    rs->Collect(QStringLiteral("Frage"), QStringLiteral("x"));
                    rs->Update();
                });
                attempt([&] {
                    rs->AddNew();
                    rs->Collect(QStringLiteral("Frage"), QStringLiteral("x"));
                    rs->Update();
                });
                attempt([&] { rs->Delete(); });
                seen << rs->Fields(QStringLiteral("Frage")).toString();
            } catch (const store::Error& e) {
                seen << QStringLiteral("failed: ") + QString::fromUtf8(e.what());
            }
            return seen.join(QLatin1Char('|'));
        };

        QString result;
        if (geteuid() != 0) {
            result = check();
        } else {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody)
                QSKIP("running as root and there is no user 'nobody' to give root up for");
            QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                            QFileDevice::ExeOther));
            int fds[2];
            QCOMPARE(pipe(fds), 0);
            const pid_t child = fork();
            if (child == 0) {
                close(fds[0]);
                if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
                    _exit(2);
                const QByteArray out = check().toUtf8();
                if (write(fds[1], out.constData(), size_t(out.size())) != out.size())
                    _exit(3);
                _exit(0);
            }
            close(fds[1]);
            QByteArray out;
            char buf[4096];
            ssize_t n;
            while ((n = read(fds[0], buf, sizeof buf)) > 0)
                out.append(buf, int(n));
            close(fds[0]);
            int status = 0;
            waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 0);
            result = QString::fromUtf8(out);
        }
        QCOMPARE(result, QStringLiteral("Frage 2|refused|0|refused|0|refused|0|Frage 2"));
        QCOMPARE(contentOf(m_path), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{store::kFileName});
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "tst_store_files.moc"
