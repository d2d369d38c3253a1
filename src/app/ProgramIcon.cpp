#include "app/ProgramIcon.h"

#include <QImageReader>
#include <QPixmap>

QList<QImage> readProgramIcon()
{
    QList<QImage> pictures;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        // Named as PNG, so that Qt does not load its image plugins to ask each one what it is.
        QImageReader reader(QStringLiteral(":/icons/albisko-%1.png").arg(size), "png");
        pictures.append(reader.read());
    }
    return pictures;
}

QIcon programIcon(const QList<QImage>& pictures)
{
    QIcon icon;
    for (const QImage& picture : pictures)
        icon.addPixmap(QPixmap::fromImage(picture));
    return icon;
}
