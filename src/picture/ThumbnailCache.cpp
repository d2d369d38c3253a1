#include "picture/ThumbnailCache.h"

#include "picture/ExifThumbnail.h"
#include "picture/PhotoDecoding.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QUrl>

#include <sys/stat.h>

namespace picture {

namespace {

// The photo's modification time in whole seconds, as Thumb::MTime holds it; none for anything but
// a regular file.
std::optional<qint64> modificationTime(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return qint64(st.st_mtim.tv_sec);
}

// The PNG at `file` when it carries this URI and modification time; null otherwise. (Qt's reader
// gives the text of keys with colons in them only with the picture.)
QImage describing(const QString& file, const QByteArray& uri, qint64 mtime)
{
    QImageReader reader(file, "png");
    reader.setDecideFormatFromContent(false);
    // A thumbnail is small; anything else in its place is not one.
    if (const QSize size = reader.size(); !size.isValid() || size.width() > 1024 || size.height() > 1024)
        return {};
    QImage image;
    if (!reader.read(&image) || image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri
        || image.text(QStringLiteral("Thumb::MTime")) != QString::number(mtime))
        return {};
    return image;
}

// Writes `image` with the keys the standard asks for, readable by the user only, whole or not at all.
void store(const QString& file, QImage image, const QByteArray& uri, qint64 mtime, qint64 size)
{
    const QString folder = QFileInfo(file).path();
    if (!QDir().mkpath(folder))
        return;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    if (size >= 0)
        image.setText(QStringLiteral("Thumb::Size"), QString::number(size));
    image.setText(QStringLiteral("Software"), QStringLiteral("Albisko"));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (image.save(&out, "PNG"))
        out.commit();
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString cacheHome) : cacheHome_(std::move(cacheHome)) {}

QString ThumbnailCache::defaultCacheHome()
{
    const QString configured = qEnvironmentVariable("XDG_CACHE_HOME");
    // The standard takes only an absolute path; anything else means the default.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.cache");
}

QByteArray ThumbnailCache::uriOf(const QString& photo)
{
    return QUrl::fromLocalFile(QFileInfo(photo).absoluteFilePath()).toEncoded();
}

static QString hashName(const QString& photo)
{
    return QString::fromLatin1(QCryptographicHash::hash(ThumbnailCache::uriOf(photo), QCryptographicHash::Md5).toHex())
        + QStringLiteral(".png");
}

QString ThumbnailCache::thumbnailPath(const QString& photo) const
{
    return cacheHome_ + QStringLiteral("/thumbnails/normal/") + hashName(photo);
}

QString ThumbnailCache::failurePath(const QString& photo) const
{
    return cacheHome_ + QStringLiteral("/thumbnails/fail/albisko/") + hashName(photo);
}

QImage ThumbnailCache::cached(const QString& photo) const
{
    const auto mtime = modificationTime(photo);
    return mtime ? describing(thumbnailPath(photo), uriOf(photo), *mtime) : QImage();
}

bool ThumbnailCache::failedBefore(const QString& photo) const
{
    const auto mtime = modificationTime(photo);
    return mtime && !describing(failurePath(photo), uriOf(photo), *mtime).isNull();
}

QImage ThumbnailCache::thumbnail(const QString& photo) const
{
    const auto mtime = modificationTime(photo);
    if (!mtime)
        return {};  // nothing named like a photo but a regular file is read
    if (QImage image = cached(photo); !image.isNull())
        return image;
    if (failedBefore(photo))
        return {};
    const QByteArray uri = uriOf(photo);
    const qint64 size = QFileInfo(photo).size();
    try {
        const QImage image = makeThumbnail(photo);
        store(thumbnailPath(photo), image, uri, *mtime, size);
        return image;
    } catch (const std::exception&) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        store(failurePath(photo), mark, uri, *mtime, size);
        return {};
    }
}

QImage makeThumbnail(const QString& path)
{
    const PhotoFile photo = readPhotoFile(path);
    const QSize shown = photo.displayedSize();
    const QSize size = shown.width() <= ThumbnailCache::Size && shown.height() <= ThumbnailCache::Size
        ? shown
        : fitInto(shown.width(), shown.height(), QSize(ThumbnailCache::Size, ThumbnailCache::Size));
    if (size.isEmpty())
        throw std::runtime_error("no picture");
    // A camera's own thumbnail is there for this; it must be large enough to make one of ours.
    const QImage exif = photo.kind == PhotoFile::Kind::Jpeg ? readExifThumbnail(path) : QImage();
    if (!exif.isNull() && std::max(exif.width(), exif.height()) >= std::max(size.width(), size.height()))
        return thumbnailPicture(photo, exif, size);
    return decodePreview(photo, size);
}

}  // namespace picture
