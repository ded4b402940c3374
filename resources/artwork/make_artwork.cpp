// Draws the wizard's pictures into PNG files named by their resource numbers:
// the program icon (128), the classic header picture (206) and the classic
// side banner (212). Run at build time; the pictures are the program's own.
//
//   make_artwork OUTPUT_FOLDER

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

// A compact disc seen from above: silver with a rainbow sheen, a clear hub
// and the hole.
void DrawDisc(QPainter& painter, QPointF centre, double radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QConicalGradient sheen(centre, 30);
    sheen.setColorAt(0.00, QColor(0xdd, 0xe3, 0xea));
    sheen.setColorAt(0.12, QColor(0xb8, 0xd8, 0xf0));
    sheen.setColorAt(0.25, QColor(0xf2, 0xf4, 0xf7));
    sheen.setColorAt(0.40, QColor(0xe8, 0xd8, 0xf0));
    sheen.setColorAt(0.55, QColor(0xc9, 0xcf, 0xd8));
    sheen.setColorAt(0.70, QColor(0xd8, 0xf0, 0xe0));
    sheen.setColorAt(0.85, QColor(0xf4, 0xf6, 0xf8));
    sheen.setColorAt(1.00, QColor(0xdd, 0xe3, 0xea));
    painter.setPen(QPen(QColor(0x80, 0x88, 0x94), radius / 40));
    painter.setBrush(sheen);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(QColor(0xf8, 0xfa, 0xfc, 200));
    painter.setPen(QPen(QColor(0xa0, 0xa8, 0xb4), radius / 60));
    painter.drawEllipse(centre, radius * 0.32, radius * 0.32);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x90, 0x98, 0xa4), radius / 50));
    painter.drawEllipse(centre, radius * 0.13, radius * 0.13);
    painter.restore();
}

// A wave leaving the disc: the music turned into files.
void DrawWave(QPainter& painter, QRectF box, QColor colour, double width)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath wave;
    wave.moveTo(box.left(), box.center().y());
    const int humps = 3;
    const double step = box.width() / humps;
    for (int i = 0; i < humps; ++i) {
        const double x = box.left() + i * step;
        const double lift = (i % 2 == 0 ? -1 : 1) * box.height() / 2 * (1.0 - 0.25 * i);
        wave.cubicTo(x + step / 3, box.center().y() + lift, x + 2 * step / 3, box.center().y() + lift,
                     x + step, box.center().y());
    }
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(wave);
    painter.restore();
}

QImage Icon()
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawDisc(painter, QPointF(118, 128), 108);
    DrawWave(painter, QRectF(120, 96, 128, 64), QColor(0x1f, 0x5f, 0xbf), 18);
    return image;
}

QImage Header()
{
    // White where the titles are written, a soft blue rise towards the disc.
    // Taller than any header band: the band shows its middle.
    QImage image(567, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QLinearGradient rise(330, 0, 567, 0);
    rise.setColorAt(0, QColor(255, 255, 255));
    rise.setColorAt(1, QColor(0xd6, 0xe6, 0xf8));
    painter.fillRect(QRect(330, 0, 237, 120), rise);
    DrawDisc(painter, QPointF(530, 60), 23);
    DrawWave(painter, QRectF(440, 48, 70, 24), QColor(0x1f, 0x5f, 0xbf), 3);
    return image;
}

QImage SideBanner()
{
    // Taller than any page: the page shows its top.
    QImage image(164, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(0x16, 0x3f, 0x86));
    sky.setColorAt(1, QColor(0x3f, 0x86, 0xd4));
    painter.fillRect(image.rect(), sky);
    DrawDisc(painter, QPointF(82, 118), 62);
    DrawWave(painter, QRectF(20, 218, 124, 40), QColor(255, 255, 255, 220), 6);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    const struct {
        int number;
        QImage image;
    } pictures[] = {{128, Icon()}, {206, Header()}, {212, SideBanner()}};
    for (const auto& picture : pictures) {
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(picture.number));
        if (!picture.image.save(path)) {
            std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
