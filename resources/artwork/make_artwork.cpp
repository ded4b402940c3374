// Draws the wizard's pictures into PNG files named by their resource numbers,
// each at its size and at twice its size (N.png and N@2x.png), in one style:
// a silver disc, blue (#1f5fbf) strokes, soft blue fills, on a light ground.
// Run at build time; the pictures are the program's own.
//
//   make_artwork OUTPUT_FOLDER

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kBlue(0x1f, 0x5f, 0xbf);
const QColor kDeepBlue(0x16, 0x3f, 0x86);
const QColor kSoftBlue(0xd6, 0xe6, 0xf8);
const QColor kGreen(0x2e, 0x9a, 0x4a);
const QColor kInk(0x3a, 0x44, 0x52);

// A compact disc seen from above: silver with a rainbow sheen turned by
// `turn` degrees, a clear hub and the hole.
void DrawDisc(QPainter& painter, QPointF centre, double radius, double turn = 0)
{
    painter.save();
    QConicalGradient sheen(centre, 30 + turn);
    const QColor stops[] = {QColor(0xdd, 0xe3, 0xea), QColor(0xb8, 0xd8, 0xf0), QColor(0xf2, 0xf4, 0xf7),
                            QColor(0xe8, 0xd8, 0xf0), QColor(0xc9, 0xcf, 0xd8), QColor(0xd8, 0xf0, 0xe0),
                            QColor(0xf4, 0xf6, 0xf8), QColor(0xdd, 0xe3, 0xea)};
    for (int i = 0; i < 8; ++i) sheen.setColorAt(i / 7.0, stops[i]);
    painter.setPen(QPen(QColor(0x80, 0x88, 0x94), std::max(1.0, radius / 40)));
    painter.setBrush(sheen);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(QColor(0xf8, 0xfa, 0xfc, 210));
    painter.setPen(QPen(QColor(0xa0, 0xa8, 0xb4), std::max(0.8, radius / 60)));
    painter.drawEllipse(centre, radius * 0.32, radius * 0.32);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0x90, 0x98, 0xa4), std::max(0.8, radius / 50)));
    painter.drawEllipse(centre, radius * 0.13, radius * 0.13);
    painter.restore();
}

// A wave: music on its way; `phase` shifts it along.
void DrawWave(QPainter& painter, QRectF box, QColor colour, double width, double phase = 0)
{
    painter.save();
    QPainterPath wave;
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double fade = std::sin(t * M_PI);
        const QPointF point(box.left() + t * box.width(),
                            box.center().y() - fade * box.height() / 2 * std::sin(t * 3 * M_PI + phase));
        if (i == 0) wave.moveTo(point);
        else wave.lineTo(point);
    }
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
    painter.restore();
}

// A music note: head at `at`, stem up.
void DrawNote(QPainter& painter, QPointF at, double size, QColor colour)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.translate(at);
    painter.rotate(-20);
    painter.drawEllipse(QPointF(0, 0), size * 0.38, size * 0.27);
    painter.restore();
    painter.save();
    painter.setPen(QPen(colour, size * 0.11, Qt::SolidLine, Qt::RoundCap));
    const QPointF top(at.x() + size * 0.33, at.y() - size * 1.1);
    painter.drawLine(QPointF(at.x() + size * 0.33, at.y() - size * 0.05), top);
    painter.drawLine(top, QPointF(top.x() + size * 0.35, top.y() + size * 0.3));
    painter.restore();
}

// A sheet of paper with a folded corner: an audio file.
void DrawFile(QPainter& painter, QRectF box)
{
    painter.save();
    const double fold = box.width() * 0.3;
    QPainterPath sheet;
    sheet.moveTo(box.topLeft());
    sheet.lineTo(box.right() - fold, box.top());
    sheet.lineTo(box.right(), box.top() + fold);
    sheet.lineTo(box.bottomRight());
    sheet.lineTo(box.bottomLeft());
    sheet.closeSubpath();
    painter.setPen(QPen(kBlue, std::max(1.0, box.width() / 18)));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    painter.setBrush(kSoftBlue);
    QPainterPath corner;
    corner.moveTo(box.right() - fold, box.top());
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    painter.drawPath(corner);
    DrawNote(painter, QPointF(box.center().x() - box.width() * 0.08, box.center().y() + box.height() * 0.2),
             box.width() * 0.42, kBlue);
    painter.restore();
}

// A round button face in the style's blue, with a symbol drawn by `symbol`.
void DrawRoundFace(QPainter& painter, QRectF box, const std::function<void(QPainter&, QRectF)>& symbol)
{
    painter.save();
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(0x4f, 0x8f, 0xe0));
    fill.setColorAt(1, kDeepBlue);
    painter.setPen(QPen(kDeepBlue, 1));
    painter.setBrush(fill);
    painter.drawEllipse(box);
    symbol(painter, box);
    painter.restore();
}

// A list of three lines with boxes, ticked or not.
void DrawChecklist(QPainter& painter, QRectF box, bool ticked)
{
    painter.save();
    const double row = box.height() / 3;
    for (int i = 0; i < 3; ++i) {
        const QRectF check(box.left(), box.top() + i * row + row * 0.15, row * 0.7, row * 0.7);
        painter.setPen(QPen(kInk, 1.2));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(check, 1.5, 1.5);
        painter.setPen(QPen(QColor(0x9a, 0xa4, 0xb2), row * 0.16, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(check.right() + row * 0.35, check.center().y()),
                         QPointF(box.right(), check.center().y()));
        if (ticked) {
            painter.setPen(QPen(kGreen, row * 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPainterPath tick;
            tick.moveTo(check.left() + check.width() * 0.15, check.center().y());
            tick.lineTo(check.left() + check.width() * 0.42, check.bottom() - check.height() * 0.15);
            tick.lineTo(check.right() + check.width() * 0.1, check.top() - check.height() * 0.05);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(tick);
        }
    }
    painter.restore();
}

// A CD drive seen from the front, its tray out with a disc on it.
void DrawDrive(QPainter& painter, QRectF box)
{
    painter.save();
    const QRectF body(box.left() + 6, box.top() + box.height() * 0.45, box.width() - 12, box.height() * 0.4);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    metal.setColorAt(0, QColor(0xf4, 0xf6, 0xf9));
    metal.setColorAt(1, QColor(0xc4, 0xcb, 0xd4));
    painter.setPen(QPen(QColor(0x7a, 0x84, 0x92), 1.2));
    painter.setBrush(metal);
    painter.drawRoundedRect(body, 4, 4);
    const QRectF tray(body.left() + body.width() * 0.12, body.top() - body.height() * 0.28, body.width() * 0.76,
                      body.height() * 0.38);
    painter.setBrush(QColor(0x5a, 0x62, 0x6e));
    painter.drawRoundedRect(tray, 2, 2);
    painter.setPen(QPen(kBlue, 2));
    painter.drawLine(QPointF(body.left() + 10, body.bottom() - 8), QPointF(body.left() + 26, body.bottom() - 8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGreen);
    painter.drawEllipse(QPointF(body.right() - 12, body.bottom() - 8), 3, 3);
    // The disc lies on the tray, seen at a slant.
    painter.translate(tray.center().x(), tray.top() + 2);
    painter.scale(1.0, 0.34);
    DrawDisc(painter, QPointF(0, -box.height() * 0.28), box.height() * 0.42);
    painter.restore();
}

struct Picture {
    int number;
    QSize size;
    bool opaque;
    std::function<void(QPainter&)> draw;
};

std::vector<Picture> Pictures()
{
    std::vector<Picture> pictures;
    pictures.push_back({128, {256, 256}, false, [](QPainter& p) {
                            DrawDisc(p, QPointF(112, 112), 100);
                            DrawWave(p, QRectF(128, 178, 120, 56), kBlue, 16);
                        }});
    // The command-link arrows, plain and under the mouse.
    for (const auto& [number, colour] : {std::pair{202, kBlue}, std::pair{201, kGreen}}) {
        pictures.push_back({number, {20, 20}, false, [colour = colour](QPainter& p) {
                                p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                                p.drawLine(QPointF(3, 10), QPointF(16, 10));
                                p.drawPolyline(QPolygonF({QPointF(10.5, 4.5), QPointF(16, 10), QPointF(10.5, 15.5)}));
                            }});
    }
    // Show and hide details: a chevron in a ring, down and up.
    for (const auto& [number, down] : {std::pair{203, true}, std::pair{204, false}}) {
        pictures.push_back({number, {20, 20}, false, [down = down](QPainter& p) {
                                p.setPen(QPen(QColor(0x9a, 0xa4, 0xb2), 1.2));
                                p.setBrush(Qt::white);
                                p.drawEllipse(QPointF(10, 10), 8.5, 8.5);
                                p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                                p.setBrush(Qt::NoBrush);
                                const double y = down ? 8 : 12, tip = down ? 12.5 : 7.5;
                                p.drawPolyline(QPolygonF({QPointF(6, y), QPointF(10, tip), QPointF(14, y)}));
                            }});
    }
    // The classic header: white where the titles go, the disc at the right.
    pictures.push_back({206, {567, 62}, true, [](QPainter& p) {
                            p.fillRect(QRectF(0, 0, 567, 62), Qt::white);
                            // Even from top to bottom, so that a taller band can continue it.
                            QLinearGradient glow(QPointF(380, 0), QPointF(567, 0));
                            glow.setColorAt(0, Qt::white);
                            glow.setColorAt(1, kSoftBlue);
                            p.fillRect(QRectF(380, 0, 187, 62), glow);
                            DrawWave(p, QRectF(430, 19, 64, 24), kBlue, 3);
                            DrawDisc(p, QPointF(526, 31), 24);
                        }});
    pictures.push_back({209, {47, 47}, false, [](QPainter& p) { DrawChecklist(p, QRectF(6, 6, 36, 36), true); }});
    pictures.push_back({215, {47, 47}, false, [](QPainter& p) { DrawChecklist(p, QRectF(6, 6, 36, 36), false); }});
    pictures.push_back({213, {47, 47}, false, [](QPainter& p) {
                            DrawRoundFace(p, QRectF(4, 4, 39, 39), [](QPainter& q, QRectF box) {
                                q.setPen(Qt::NoPen);
                                q.setBrush(Qt::white);
                                const QPointF c = box.center();
                                q.drawPolygon(QPolygonF({QPointF(c.x() - 6, c.y() - 10), QPointF(c.x() + 11, c.y()),
                                                         QPointF(c.x() - 6, c.y() + 10)}));
                            });
                        }});
    pictures.push_back({214, {47, 47}, false, [](QPainter& p) {
                            DrawRoundFace(p, QRectF(4, 4, 39, 39), [](QPainter& q, QRectF box) {
                                q.setPen(Qt::NoPen);
                                q.setBrush(Qt::white);
                                q.drawRoundedRect(QRectF(box.center().x() - 8, box.center().y() - 8, 16, 16), 2, 2);
                            });
                        }});
    pictures.push_back({210, {150, 105}, false, [](QPainter& p) { DrawDrive(p, QRectF(0, 0, 150, 105)); }});
    pictures.push_back({211, {140, 105}, false, [](QPainter& p) {
                            DrawDisc(p, QPointF(58, 56), 46);
                            DrawNote(p, QPointF(112, 48), 22, kBlue);
                            DrawNote(p, QPointF(124, 86), 16, QColor(0x4f, 0x8f, 0xe0));
                        }});
    // The classic side banner.
    pictures.push_back({212, {153, 366}, true, [](QPainter& p) {
                            QLinearGradient sky(0, 0, 0, 366);
                            sky.setColorAt(0, kDeepBlue);
                            sky.setColorAt(1, QColor(0x3f, 0x86, 0xd4));
                            p.fillRect(QRectF(0, 0, 153, 366), sky);
                            DrawDisc(p, QPointF(76, 116), 58);
                            DrawWave(p, QRectF(18, 212, 117, 38), QColor(255, 255, 255, 220), 5);
                            DrawNote(p, QPointF(52, 310), 22, QColor(255, 255, 255, 200));
                            DrawNote(p, QPointF(96, 296), 16, QColor(255, 255, 255, 150));
                        }});
    // The strips the destination page's previews are written on in white.
    for (const auto& [number, width] : {std::pair{223, 475}, std::pair{224, 480}}) {
        pictures.push_back({number, {width, 17}, true, [width = width](QPainter& p) {
                                QLinearGradient strip(0, 0, width, 0);
                                strip.setColorAt(0, kDeepBlue);
                                strip.setColorAt(1, kBlue);
                                p.setPen(Qt::NoPen);
                                p.setBrush(strip);
                                p.drawRect(QRectF(0, 0, width, 17));
                            }});
    }
    // The progress animation: the disc turns and its music flows into a file.
    for (int frame = 0; frame < 18; ++frame) {
        pictures.push_back({229 + frame, {325, 75}, false, [frame](QPainter& p) {
                                DrawDisc(p, QPointF(42, 37.5), 32, frame * 20.0);
                                DrawWave(p, QRectF(86, 18, 150, 39), kBlue, 3, -frame * 2 * M_PI / 18);
                                const double drift = std::fmod(frame / 18.0 * 150, 150);
                                DrawNote(p, QPointF(90 + drift, 30 + 8 * std::sin(frame * M_PI / 9)), 12,
                                         QColor(0x4f, 0x8f, 0xe0, 200));
                                DrawFile(p, QRectF(252, 8, 46, 59));
                            }});
    }
    // The final page: the file made, with a tick.
    pictures.push_back({249, {130, 105}, false, [](QPainter& p) {
                            DrawDisc(p, QPointF(44, 56), 36);
                            DrawFile(p, QRectF(72, 14, 46, 60));
                            p.setPen(QPen(kGreen, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                            p.drawPolyline(QPolygonF({QPointF(84, 84), QPointF(95, 95), QPointF(118, 70)}));
                        }});
    // The same without the tick: a rip canceled, or one that made no file.
    pictures.push_back({250, {130, 105}, false, [](QPainter& p) {
                            DrawDisc(p, QPointF(44, 56), 36);
                            DrawFile(p, QRectF(72, 14, 46, 60));
                        }});
    return pictures;
}

bool Write(const Picture& picture, const QDir& folder, int scale)
{
    QImage image(picture.size * scale, picture.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(picture.opaque ? Qt::white : Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        picture.draw(painter);
    }
    const QString name = scale == 1 ? QStringLiteral("%1.png").arg(picture.number)
                                    : QStringLiteral("%1@%2x.png").arg(picture.number).arg(scale);
    if (image.save(folder.filePath(name))) return true;
    std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(folder.filePath(name)));
    return false;
}

// Sizes of the application icon in the desktop's hicolor theme.
constexpr int kIconSizes[] = {48, 64, 128, 256};

bool WriteIcon(const Picture& picture, const QDir& folder, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(double(size) / picture.size.width(), double(size) / picture.size.height());
        picture.draw(painter);
    }
    const QString name = QStringLiteral("icon-%1.png").arg(size);
    if (image.save(folder.filePath(name))) return true;
    std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(folder.filePath(name)));
    return false;
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
    const std::vector<Picture> pictures = Pictures();
    for (const Picture& picture : pictures) {
        if (!Write(picture, folder, 1) || !Write(picture, folder, 2)) return 1;
    }
    // The desktop's icon: picture 128 drawn afresh at each theme size.
    for (const int size : kIconSizes) {
        if (!WriteIcon(pictures.front(), folder, size)) return 1;
    }
    return 0;
}
