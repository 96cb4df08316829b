// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Crash safety of the question file: a separate process saves record after
// record through the store, editor-style, and is killed with SIGKILL at random
// moments. After every kill the file must be sound, hold every save the process
// reported finished, and hold each record whole: all thirteen fields from one
// save, never a mix of two.
//
// Under ctest the loop runs a reduced number of kills; QUIZ_SOAK=1 (make soak)
// runs the full 200. QUIZ_SEED repeats a run with the seed it printed.
#include "store/store.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <signal.h>
#include <sqlite3.h>

using testsupport::Record;

namespace {

constexpr int kKillsUnderCtest = 25;
constexpr int kKillsSoak = 200;

// The values of save number n: every field "<field> n".
Record savedRecord(qint64 n)
{
    Record r;
    for (const QString& field : store::fieldNames())
        r[field] = QStringLiteral("%1 %2").arg(field).arg(n);
    return r;
}

// The save number a record holds whole, or -1 when its fields come from
// different saves or are not a save's values at all.
qint64 wholeSave(const Record& r)
{
    qint64 n = -1;
    for (const QString& field : store::fieldNames()) {
        const QString value = r.value(field).toString();
        const QString prefix = field + QLatin1Char(' ');
        if (!value.startsWith(prefix))
            return -1;
        bool ok = false;
        const qint64 here = value.mid(prefix.size()).toLongLong(&ok);
        if (!ok || (n >= 0 && here != n))
            return -1;
        n = here;
    }
    return n;
}

// PRAGMA integrity_check through a connection that may write, so that a save
// cut off by the kill is rolled back first, as any program opening it would.
QString integrityCheck(const QString& path)
{
    sqlite3* db = nullptr;
    QString result;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                result += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        } else {
            result = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
    } else {
        result = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    return result;
}

int killCount()
{
    const QByteArray soak = qgetenv("QUIZ_SOAK");
    return (!soak.isEmpty() && soak != "0") ? kKillsSoak : kKillsUnderCtest;
}

} // namespace

class TestStoreCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(store::kFileName);

        // The save number each record holds, in table order.
        QList<qint64> expected;
        QList<Record> initial;
        for (qint64 n = 1; n <= 5; ++n) {
            initial << savedRecord(n);
            expected << n;
        }
        testsupport::writeQuestionFile(file, initial);
        qint64 nextNumber = 6;

        const quint32 seed = qEnvironmentVariableIsSet("QUIZ_SEED") ? qEnvironmentVariable("QUIZ_SEED").toUInt()
                                                                     : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const int kills = killCount();
        int reportedSaves = 0;
        int cutOffSaves = 0;
        int landedUnreported = 0;
        qint64 measuredUs = 0;
        int measuredSaves = 0;
        QElapsedTimer clock;
        clock.start();

        for (int round = 1; round <= kills; ++round) {
            const QString context = QStringLiteral("kill %1 of %2 (QUIZ_SEED=%3)").arg(round).arg(kills).arg(seed);
            QProcess writer;
            writer.setProcessChannelMode(QProcess::SeparateChannels);
            writer.start(QStringLiteral(QUIZ_CRASHWRITER_EXE),
                         {QStringLiteral("save"), file, QString::number(nextNumber),
                          QString::number(random.generate())});
            QVERIFY2(writer.waitForStarted(), qPrintable(context));

            // The kill comes after a random number of reported saves (none: while
            // it opens the file), then after a random pause of up to one and a half
            // saves (as long as saves take on this disk), so that it lands anywhere
            // inside the next save or between two.
            const int killAfter = random.bounded(0, 13);
            QList<QPair<qint64, qint64>> reported; // save number, position
            QByteArray pending;
            auto takeLines = [&] {
                pending += writer.readAllStandardOutput();
                int nl;
                while ((nl = pending.indexOf('\n')) >= 0) {
                    const QList<QByteArray> parts = pending.left(nl).split(' ');
                    pending.remove(0, nl + 1);
                    if (parts.size() == 3 && parts.at(0) == "done")
                        reported.append({parts.at(1).toLongLong(), parts.at(2).toLongLong()});
                }
            };
            QElapsedTimer sinceFirst;
            while (reported.size() < killAfter && writer.state() == QProcess::Running) {
                writer.waitForReadyRead(10000);
                const bool none = reported.isEmpty();
                takeLines();
                if (none && !reported.isEmpty())
                    sinceFirst.start();
            }
            if (reported.size() > 1) {
                measuredUs += sinceFirst.nsecsElapsed() / 1000;
                measuredSaves += reported.size() - 1;
            }
            const qint64 saveUs = measuredSaves > 0 ? measuredUs / measuredSaves : 10000;
            QVERIFY2(writer.state() == QProcess::Running,
                     qPrintable(context + QStringLiteral(": the writer ended by itself: ")
                                + QString::fromLocal8Bit(writer.readAllStandardError())));
            QThread::usleep(random.bounded(qint64(0), saveUs * 3 / 2 + 1));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY2(writer.waitForFinished(10000), qPrintable(context));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            takeLines(); // lines written before the kill are finished saves too
            reportedSaves += reported.size();

            // The one save that may have been under way when the kill came.
            const qint64 inFlight = reported.isEmpty() ? nextNumber : reported.last().first + 1;
            for (const auto& [number, position] : reported) {
                QVERIFY2(position >= 0 && position <= expected.size(), qPrintable(context));
                if (position == expected.size())
                    expected.append(number);
                else
                    expected[position] = number;
            }

            // A rollback journal with content left behind is a save the kill cut off;
            // the next connection rolls it back before it reads anything.
            const QString journal = file + QStringLiteral("-journal");
            cutOffSaves += QFileInfo(journal).size() > 0 ? 1 : 0;
            QCOMPARE(integrityCheck(file), QStringLiteral("ok"));

            const QList<Record> onDisk = testsupport::readQuestionFile(file);
            QVERIFY2(onDisk.size() == expected.size() || onDisk.size() == expected.size() + 1,
                     qPrintable(context + QStringLiteral(": %1 records, %2 reported").arg(onDisk.size()).arg(expected.size())));
            int holdingInFlight = 0;
            for (int i = 0; i < onDisk.size(); ++i) {
                const qint64 n = wholeSave(onDisk.at(i));
                QVERIFY2(n >= 0, qPrintable(context + QStringLiteral(": record %1 is not whole: %2")
                                                       .arg(i)
                                                       .arg(onDisk.at(i).value(QStringLiteral("Frage")).toString())));
                if (n == inFlight) {
                    ++holdingInFlight;
                    continue;
                }
                QVERIFY2(i < expected.size() && n == expected.at(i),
                         qPrintable(context + QStringLiteral(": record %1 holds save %2, reported was save %3")
                                                .arg(i)
                                                .arg(n)
                                                .arg(i < expected.size() ? expected.at(i) : -1)));
            }
            QVERIFY2(holdingInFlight <= 1, qPrintable(context));
            if (onDisk.size() == expected.size() + 1)
                QVERIFY2(holdingInFlight == 1 && wholeSave(onDisk.last()) == inFlight, qPrintable(context));

            // What the file holds now is what the next round builds on.
            landedUnreported += holdingInFlight;
            expected.clear();
            for (const Record& r : onDisk)
                expected << wholeSave(r);
            nextNumber = inFlight + 1;
        }

        qInfo("%d kills in %lld ms: %d saves reported finished, all found whole; %d kills cut a save off "
              "(rolled back on the next open), %d saves landed before they were reported; %lld records at the end; "
              "a save took %.1f ms (QUIZ_SEED=%u)",
              kills, static_cast<long long>(clock.elapsed()), reportedSaves, cutOffSaves, landedUnreported,
              static_cast<long long>(expected.size()),
              measuredSaves > 0 ? double(measuredUs) / measuredSaves / 1000.0 : 0.0, seed);
    }
};

QTEST_GUILESS_MAIN(TestStoreCrash)
#include "tst_store_crash.moc"
