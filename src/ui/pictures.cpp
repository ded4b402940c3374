#include "ui/pictures.h"

#include <QString>

namespace tesslow {

QImage LoadPicture(int number)
{
    return QImage(QStringLiteral(":/pictures/%1.png").arg(number));
}

}  // namespace tesslow
