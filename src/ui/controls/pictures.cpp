#include "ui/controls/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>

namespace tesslow {
namespace {

std::function<void(const std::string&)>& ErrorBox()
{
    static std::function<void(const std::string&)> box = [](const std::string& text) {
        QMessageBox::critical(nullptr, QStringLiteral("ERROR"), QString::fromStdString(text));
    };
    return box;
}

}  // namespace

void SetPictureErrorBox(std::function<void(const std::string& text)> box) { ErrorBox() = std::move(box); }

QImage LoadPicture(int number)
{
    const QString plain = QStringLiteral(":/pictures/%1.png").arg(number);
    const QString doubled = QStringLiteral(":/pictures/%1@2x.png").arg(number);
    const bool dense = qApp && qApp->devicePixelRatio() > 1.0 && QFile::exists(doubled);
    QImageReader reader(dense ? doubled : plain);
    QImage picture = reader.read();
    if (picture.isNull()) {
        const std::string why = reader.error() == QImageReader::FileNotFoundError
                                    ? "The picture " + std::to_string(number) + " cannot be found in the program."
                                    : "The picture " + std::to_string(number) +
                                          " cannot be read: " + reader.errorString().toStdString() + ".";
        if (ErrorBox()) ErrorBox()(why);
        return {};
    }
    if (dense) picture.setDevicePixelRatio(2.0);
    return picture;
}

void DrawPicture(QPainter& painter, int x, int y, const QImage& picture, bool disabled)
{
    if (picture.isNull()) return;
    if (!disabled) {
        painter.drawImage(x, y, picture);
        return;
    }
    // Greyed: the picture's lightness, faded, keeping its transparency.
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < grey.height(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(grey.scanLine(row));
        for (int column = 0; column < grey.width(); ++column) {
            const QRgb pixel = pixels[column];
            const int level = 96 + qGray(pixel) * 5 / 8;
            pixels[column] = qRgba(level, level, level, qAlpha(pixel) / 2);
        }
    }
    painter.drawImage(x, y, grey);
}

}  // namespace tesslow
