// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The scalable icon draws alike in Qt's SVG renderer (what Qt desktops use)
// and in librsvg (what GTK desktops and software centres use): both pictures
// at several sizes, compared pixel by pixel. Edges may differ by their
// smoothing, never by a line one renderer draws and the other does not.
#include "platform/platform.h"
#include "support/display.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kIcon = QStringLiteral(QUIZ_SOURCE_DIR "/assets/icon.svg");

// The share of pixels whose colour or cover differs by more than half
// in any channel, premultiplied so that a transparent pixel is one colour.
double differingShare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            differing += d > 128;
        }
    }
    return double(differing) / (x.width() * x.height());
}

} // namespace

class TestIcon : public QObject {
    Q_OBJECT

public:
    static void initMain() { testsupport::useOwnDisplay(); }

private Q_SLOTS:
    // The window's icon offers the sizes title and task bars draw, which the
    // window system copies with every window; a larger picture is still drawn
    // sharp from its own file when asked for.
    void windowIconOffersBarSizes()
    {
        const QIcon icon = platform::programIcon();
        const QList<QSize> sizes = icon.availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)) && sizes.contains(QSize(48, 48)));
        for (const QSize& size : sizes)
            QVERIFY2(size.width() <= 64, qPrintable(QString::number(size.width())));
        const QImage large = icon.pixmap(QSize(256, 256)).toImage();
        QCOMPARE(large.size(), QSize(256, 256));
        QCOMPARE(large.pixelColor(128, 128).alpha(), 255);
    }

    void qtAndLibrsvgDrawAlike_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {32, 48, 128, 256})
            QTest::addRow("%d pixels", size) << size;
    }

    void qtAndLibrsvgDrawAlike()
    {
        QFETCH(int, size);
        const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
        if (rsvg.isEmpty())
            QSKIP("rsvg-convert (librsvg2-bin) is not installed");

        QSvgRenderer renderer(kIcon);
        QVERIFY2(renderer.isValid(), qPrintable(kIcon));
        QImage qt(size, size, QImage::Format_ARGB32_Premultiplied);
        qt.fill(Qt::transparent);
        QPainter painter(&qt);
        renderer.render(&painter);
        painter.end();

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString png = dir.filePath(QStringLiteral("icon.png"));
        QProcess convert;
        convert.start(rsvg, {QStringLiteral("-w"), QString::number(size), QStringLiteral("-h"), QString::number(size),
                             QStringLiteral("-o"), png, kIcon});
        QVERIFY(convert.waitForFinished(30000));
        QVERIFY2(convert.exitCode() == 0, convert.readAllStandardError().constData());
        const QImage librsvg(png);
        QCOMPARE(librsvg.size(), qt.size());

        // The ball covers half the picture; the grid on it must be the same.
        const double share = differingShare(qt, librsvg);
        if (share > 0.01) {
            qt.save(dir.filePath(QStringLiteral("qt.png")));
            dir.setAutoRemove(false);
        }
        QVERIFY2(share <= 0.01, qPrintable(QStringLiteral("%1 % of the pixels differ (pictures in %2)")
                                               .arg(share * 100, 0, 'f', 1)
                                               .arg(dir.path())));
    }
};

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
