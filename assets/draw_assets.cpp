// Draws the game window's two pictures into a directory (default: the current one):
//   background.png  1024 x 676, four colours: black stage above row 263, a dark-blue
//                   floor with a light-blue perspective grid running to the top
//                   centre of the floor, white border columns and bottom row;
//   icon.png        32 x 32: a blue ball under a cyan globe grid, transparent around.
// Both are drawn without smoothing so they keep their few colours exactly.
// Build with `ninja draw_assets`, run `draw_assets assets/` from the source tree.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegion>
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

QImage drawIcon()
{
    const QColor blue(0, 0, 255), cyan(0, 255, 255);
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The ball is filled with a pen of its own colour along the very outline
    // the cyan rim is drawn on later, so that no pixel between the two stays
    // transparent.
    const QRect ball(2, 2, 27, 27);
    p.setPen(blue);
    p.setBrush(blue);
    p.drawEllipse(ball);

    // The grid: parallels as straight lines, meridians as ever narrower ellipses.
    p.setClipRegion(QRegion(ball, QRegion::Ellipse));
    p.setPen(QPen(cyan, 1));
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

} // namespace

int main(int argc, char** argv)
{
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const QString background = out.filePath(QStringLiteral("background.png"));
    const QString icon = out.filePath(QStringLiteral("icon.png"));
    if (!drawBackground().save(background) || !drawIcon().save(icon)) {
        std::fprintf(stderr, "Die Bilder konnten nicht nach %s geschrieben werden.\n",
                     qPrintable(out.absolutePath()));
        return 1;
    }
    std::printf("%s\n%s\n", qPrintable(background), qPrintable(icon));
    return 0;
}
