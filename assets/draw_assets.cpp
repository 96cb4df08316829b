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
// their few colours exactly; the other icon sizes are smoothed. The game draws
// the background itself, with the same code, at every size.
// Build with `ninja draw_assets`, run `draw_assets assets/` from the source tree.
#include "assets/stagepicture.h"

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

// The stage picture at 100 %, as a palette picture of exactly its four colours.
QImage drawBackground()
{
    const QList<QRgb> colours = {qRgb(0, 0, 0), qRgb(0, 0, 102), qRgb(102, 102, 255), qRgb(255, 255, 255)};
    return stagepicture::draw(1.0).convertToFormat(QImage::Format_Indexed8, colours,
                                                   Qt::ThresholdDither | Qt::AvoidDither);
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
