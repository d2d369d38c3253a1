#include "CameraPhotos.h"

#include "support/JpegWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <unistd.h>

QByteArray cameraPhoto()
{
    static const QByteArray bytes = [] {
        QImage image(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, ((x ^ y) * 5) & 255);
        }
        QByteArray photo;
        QBuffer buffer(&photo);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 90);
        QByteArray thumbnail;
        QBuffer small(&thumbnail);
        small.open(QIODevice::WriteOnly);
        image.scaled(160, 107, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(&small, "JPEG", 85);
        return withExifThumbnail(photo, thumbnail);
    }();
    return bytes;
}

QByteArray cameraPhotoWithoutThumbnail()
{
    // The EXIF segment comes right after the start of the image.
    QByteArray bytes = cameraPhoto();
    bytes.remove(2, 2 + (quint8(bytes[4]) << 8 | quint8(bytes[5])));
    return bytes;
}

QString makeCameraAlbum(const QTemporaryDir& root, int count, const QByteArray& photo, bool linked)
{
    const QString folder = root.filePath(QStringLiteral("album"));
    QDir().mkpath(folder);
    const auto name = [&](int i) { return cameraPhotoPath(folder, i); };
    QFile first(name(0));
    first.open(QIODevice::WriteOnly);
    first.write(photo);
    first.close();
    for (int i = 1; i < count; ++i) {
        if (linked)
            ::link(QFile::encodeName(name(0)).constData(), QFile::encodeName(name(i)).constData());
        else
            QFile::copy(name(0), name(i));
    }
    return folder;
}

QString cameraPhotoPath(const QString& folder, int i)
{
    return folder + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}
