// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped question set: made into a question file by the real quizdb, it
// passes quizdb's check, and its right letters and audience votes show no
// pattern a player could exploit.
#include "store/store.h"
#include "support/testsupport.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using testsupport::Record;

namespace {

QString text(const Record& r, const QString& field) { return r.value(field).toString(); }

// The letter whose audience share is highest; empty when two share the top.
QString audienceFavourite(const Record& r)
{
    const QStringList letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    QString best;
    int top = -1;
    bool tie = false;
    for (const QString& letter : letters) {
        const int share = text(r, QStringLiteral("Publikum") + letter).toInt();
        if (share > top) {
            top = share;
            best = letter;
            tie = false;
        } else if (share == top) {
            tie = true;
        }
    }
    return tie ? QString() : best;
}

} // namespace

class TestQuestionSet : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<Record> m_records;
    QString m_checkOutput;
    int m_checkCode = -1;

    QStringList rightLetters() const
    {
        QStringList letters;
        for (const Record& r : m_records)
            letters << text(r, store::field::Richtig);
        return letters;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString file = m_dir.filePath(store::kFileName);
        QProcess create;
        create.start(QStringLiteral(QUIZDB_EXE), {QStringLiteral("create"), file, QStringLiteral(QUIZ_CSV)});
        QVERIFY(create.waitForFinished(60000));
        QCOMPARE(create.exitCode(), 0);

        QProcess check;
        check.start(QStringLiteral(QUIZDB_EXE), {QStringLiteral("check"), file});
        QVERIFY(check.waitForFinished(60000));
        m_checkCode = check.exitCode();
        m_checkOutput = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
        m_records = testsupport::readQuestionFile(file);
    }

    void checkIsClean()
    {
        QVERIFY2(m_checkCode == 0, qPrintable(m_checkOutput));
    }

    void noQuestionTwice()
    {
        QSet<QString> seen;
        for (const Record& r : m_records) {
            const QString q = text(r, store::field::Frage);
            QVERIFY2(!seen.contains(q), qPrintable(q));
            seen.insert(q);
        }
    }

    void easyQuestionsGetTheRightVote()
    {
        for (const Record& r : m_records) {
            const int step = text(r, store::field::Nummer).toInt();
            QVERIFY2(step >= 1 && step <= 15, qPrintable(text(r, store::field::Frage)));
            if (step <= 5)
                QVERIFY2(audienceFavourite(r) == text(r, store::field::Richtig), qPrintable(text(r, store::field::Frage)));
        }
    }

    // Each figure over the whole set, in per cent where it is a share, with the
    // bounds it must keep.
    void figures_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");

        const QStringList letters = rightLetters();
        const double n = letters.size();
        QTest::newRow("questions") << n << 300.0 << 1e9;
        for (const QString& letter : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")})
            QTest::addRow("right letter %s, %%", qPrintable(letter)) << 100.0 * letters.count(letter) / n << 20.0 << 30.0;

        int repeats = 0;
        int run = 1;
        int longestRun = 1;
        for (qsizetype i = 1; i < letters.size(); ++i) {
            run = letters.at(i) == letters.at(i - 1) ? run + 1 : 1;
            repeats += run > 1;
            longestRun = std::max(longestRun, run);
        }
        QTest::newRow("same letter as the question before, %") << 100.0 * repeats / (n - 1) << 15.0 << 35.0;
        QTest::newRow("longest run of one letter") << double(longestRun) << 1.0 << 4.0;

        int audienceRight = 0;
        for (const Record& r : m_records)
            audienceRight += audienceFavourite(r) == text(r, store::field::Richtig);
        QTest::newRow("audience favours the right answer, %") << 100.0 * audienceRight / n << 80.0 << 95.0;
    }

    void figures()
    {
        QFETCH(double, value);
        QFETCH(double, low);
        QFETCH(double, high);
        qInfo("%s: %.1f", QTest::currentDataTag(), value);
        QVERIFY2(value >= low && value <= high,
                 qPrintable(QStringLiteral("%1 not within %2 to %3").arg(value).arg(low).arg(high)));
    }
};

QTEST_GUILESS_MAIN(TestQuestionSet)
#include "tst_questionset.moc"
