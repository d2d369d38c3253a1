#include "picture/ExifThumbnail.h"

#include "platform/ExifHeader.h"
#include "platform/FileSystem.h"

#include <QFile>

namespace picture {

namespace {

constexpr quint16 TagThumbnailOffset = 0x0201;  // JPEGInterchangeFormat
constexpr quint16 TagThumbnailLength = 0x0202;  // JPEGInterchangeFormatLength

// The part of `image` with the proportions of `shape`, cut evenly from both sides.
QImage withProportionsOf(const QImage& image, QSize shape)
{
    const qint64 left = qint64(image.width()) * shape.height();
    const qint64 right = qint64(image.height()) * shape.width();
    if (left == right || shape.isEmpty())
        return image;
    if (left > right) {  // wider than the photo
        const int width = std::max(1, int(right / shape.height()));
        return image.copy((image.width() - width) / 2, 0, width, image.height());
    }
    const int height = std::max(1, int(left / shape.width()));
    return image.copy(0, (image.height() - height) / 2, image.width(), height);
}

}  // namespace

QImage readExifThumbnail(const QString& path)
{
    QFile file;
    if (!file.open(platform::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    const QByteArray segment = platform::readExifSegment(file);
    if (segment.isEmpty())
        return {};
    platform::ExifTiff tiff(QByteArrayView(segment).sliced(6));
    quint32 first = 0;
    quint32 second = 0;
    if (!tiff.readHeader(first) || !tiff.nextDirectory(first, second) || second == 0)
        return {};
    const auto offset = tiff.number(second, TagThumbnailOffset);
    const auto length = tiff.number(second, TagThumbnailLength);
    if (!offset || !length)
        return {};
    const auto bytes = tiff.bytes(*offset, *length);
    if (!bytes)
        return {};
    try {
        return decodeJpeg(bytes->toByteArray(), 1, MaxThumbnailPixels);
    } catch (const std::exception&) {
        return {};
    }
}

QImage thumbnailPicture(const PhotoFile& photo, QSize size)
{
    if (photo.kind != PhotoFile::Kind::Jpeg || size.isEmpty())
        return {};
    return thumbnailPicture(photo, readExifThumbnail(photo.path), size);
}

QImage thumbnailPicture(const PhotoFile& photo, const QImage& thumbnail, QSize size)
{
    if (thumbnail.isNull() || size.isEmpty())
        return {};
    const QSize stored = photo.displayedSize() == photo.storedSize ? size : size.transposed();
    const QImage cut = withProportionsOf(thumbnail, photo.storedSize);
    return oriented(cut.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), photo.transformation);
}

}  // namespace picture
