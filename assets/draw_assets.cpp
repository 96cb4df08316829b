// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the game's pictures and its beep into a directory (default: the current one):
//   background.png  1024 x 676, four colours: black stage above row 263, a dark-blue
//                   floor with a light-blue perspective grid running to the top
//                   centre of the floor, white border columns and bottom row;
//   icon.png        32 x 32: a blue ball under a cyan globe grid, transparent around;
//   icons/N.png     the same globe at the other sizes of the desktop's icon theme;
//   beep.wav        the end of the phone time: a short 880 Hz tone.
// The background and the 32-pixel icon are drawn without smoothing so they keep
// their few colours exactly; the other icon sizes are smoothed.
// Build with `ninja draw_assets`, run `draw_assets assets/` from the source tree.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSaveFile>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

QImage drawBackground()
{
    constexpr int kWidth = 1024, kHeight = 676;
    constexpr int kHorizon = 263; // the floor's edge: 3945 twips in the window
    const QColor black(0, 0, 0), floor(0, 0, 102), grid(102, 102, 255), white(255, 255, 255);

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, kHorizon, kWidth, kHeight - kHorizon, floor);

    // Grid lines across the floor, closer together towards the horizon as a
    // floor seen in perspective: a line at depth d lies at horizon + depth/d.
    p.setPen(QPen(grid, 1));
    const int depth = kHeight - 1 - kHorizon;
    for (int k = 0; k <= 24; ++k) {
        const int y = kHorizon + int(depth / (1.0 + 0.45 * k) + 0.5);
        p.drawLine(0, y, kWidth - 1, y);
    }
    p.drawLine(0, kHorizon, kWidth - 1, kHorizon);

    // Lines running to the vanishing point at the top centre of the floor.
    const QPointF vanishing(kWidth / 2.0, kHorizon);
    for (int i = -40; i <= 40; ++i) {
        const QPointF foot(kWidth / 2.0 + i * 96.0, kHeight - 1);
        p.drawLine(vanishing, foot);
    }

    // White frame: the two leftmost and three rightmost columns, the bottom row.
    p.fillRect(0, 0, 2, kHeight, white);
    p.fillRect(kWidth - 3, 0, 3, kHeight, white);
    p.fillRect(0, kHeight - 1, kWidth, 1, white);
    p.end();

    // A palette picture: exactly the four colours above.
    const QList<QRgb> colours = {black.rgb(), floor.rgb(), grid.rgb(), white.rgb()};
    return image.convertToFormat(QImage::Format_Indexed8, colours, Qt::ThresholdDither | Qt::AvoidDither);
}

// The globe in the 32-pixel design, scaled to `size`. Lines stay at least one
// pixel wide at the small sizes.
QImage drawIcon(int size)
{
    const QColor blue(0, 0, 255), cyan(0, 255, 255);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const bool exact = size == 32;
    p.setRenderHint(QPainter::Antialiasing, !exact);
    p.scale(size / 32.0, size / 32.0);
    const qreal line = exact ? 1.0 : std::max(1.0, 32.0 / size);

    // The ball is filled with a pen of its own colour along the very outline
    // the cyan rim is drawn on later, so that no pixel between the two stays
    // transparent.
    const QRect ball(2, 2, 27, 27);
    p.setPen(blue);
    p.setBrush(blue);
    p.drawEllipse(ball);

    // The grid: parallels as straight lines, meridians as ever narrower ellipses.
    p.setClipRegion(QRegion(ball, QRegion::Ellipse));
    p.setPen(QPen(cyan, line));
    p.setBrush(Qt::NoBrush);
    for (int y = 6; y <= 26; y += 5)
        p.drawLine(0, y, 31, y);
    const QPointF centre = QRectF(ball).center();
    for (qreal w : {27.0, 17.0, 7.0})
        p.drawEllipse(QRectF(centre.x() - w / 2, ball.top(), w, ball.height()));
    p.drawLine(QPointF(centre.x(), ball.top()), QPointF(centre.x(), ball.bottom()));
    p.setClipping(false);
    p.drawEllipse(ball);
    p.end();
    return image;
}

// A quarter second of 880 Hz at 44.1 kHz, 16-bit mono, faded in and out over
// 10 ms so that it starts and stops without a click: a RIFF/WAVE file.
QByteArray drawBeep()
{
    constexpr int kRate = 44100, kSamples = kRate / 4, kFade = kRate / 100;
    constexpr double kFrequency = 880.0, kLoudness = 0.5, kPi = 3.14159265358979323846;
    QByteArray samples(kSamples * 2, Qt::Uninitialized);
    for (int i = 0; i < kSamples; ++i) {
        const double envelope = std::min({1.0, double(i) / kFade, double(kSamples - 1 - i) / kFade});
        const double value = kLoudness * envelope * std::sin(2 * kPi * kFrequency * i / kRate);
        qToLittleEndian<qint16>(qint16(std::lround(value * 32767)), samples.data() + 2 * i);
    }
    auto le32 = [](quint32 v) { QByteArray b(4, Qt::Uninitialized); qToLittleEndian(v, b.data()); return b; };
    auto le16 = [](quint16 v) { QByteArray b(2, Qt::Uninitialized); qToLittleEndian(v, b.data()); return b; };
    return "RIFF" + le32(36 + samples.size()) + "WAVE"                                  //
           + "fmt " + le32(16) + le16(1) + le16(1) + le32(kRate) + le32(kRate * 2) + le16(2) + le16(16) //
           + "data" + le32(samples.size()) + samples;
}

bool saveBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QStringList written{out.filePath(QStringLiteral("background.png")), out.filePath(QStringLiteral("icon.png"))};
    bool ok = out.mkpath(QStringLiteral("icons")) && drawBackground().save(written[0]) && drawIcon(32).save(written[1]);
    for (int size : {16, 22, 48, 64, 128, 256}) {
        written << out.filePath(QStringLiteral("icons/%1.png").arg(size));
        ok = ok && drawIcon(size).save(written.last());
    }
    written << out.filePath(QStringLiteral("beep.wav"));
    ok = ok && saveBytes(written.last(), drawBeep());
    if (!ok) {
        std::fprintf(stderr, "Die Bilder und der Ton konnten nicht nach %s geschrieben werden.\n",
                     qPrintable(out.absolutePath()));
        return 1;
    }
    for (const QString& file : written)
        std::printf("%s\n", qPrintable(file));
    return 0;
}
