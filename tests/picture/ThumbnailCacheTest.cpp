// The thumbnails shared with the desktop: where they are and what they carry, when one is taken
// and when it is made again, and what a photo that cannot be thumbnailed leaves behind.
#include "picture/ThumbnailCache.h"
#include "picture/ThumbnailMaker.h"

#include "support/Fixtures.h"
#include "support/JpegWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QImageReader>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <sys/stat.h>

using picture::ThumbnailCache;

namespace {

qint64 mtimeOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mtim.tv_sec;
}

// A PNG as another program writes it into the cache.
void writeForeignThumbnail(const QString& file, const QByteArray& uri, qint64 mtime, QColor colour, QSize size = {128, 96})
{
    QDir().mkpath(QFileInfo(file).path());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    ASSERT_TRUE(image.save(file, "PNG"));
}

}  // namespace

TEST(ThumbnailCache, NamedAndMarkedAsTheDesktopExpects)
{
    TempFolder cache;
    TempFolder photos;
    const QString photo = photos.file(QStringLiteral("Výlet na horu.jpg"));
    writeBytes(photo, solidJpeg(1600, 1200, Qt::red));
    const ThumbnailCache thumbnails(cache.path());

    // The URI percent-encodes the path's bytes in UTF-8; its MD5 names the file.
    const QByteArray uri = "file://" + QUrl::toPercentEncoding(QFileInfo(photo).absoluteFilePath(), "/");
    EXPECT_EQ(ThumbnailCache::uriOf(photo), uri);
    const QString expected = cache.path() + QStringLiteral("/thumbnails/normal/")
        + QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
    EXPECT_EQ(thumbnails.thumbnailPath(photo), expected);

    const QImage made = thumbnails.thumbnail(photo);
    EXPECT_EQ(made.size(), QSize(128, 96));
    EXPECT_TRUE(nearColour(made.pixelColor(64, 48), Qt::red));
    const QImage stored(expected, "png");
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::URI")).toUtf8(), uri);
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::MTime")), QString::number(mtimeOf(photo)));
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::Size")), QString::number(QFileInfo(photo).size()));
    EXPECT_EQ(QFileInfo(expected).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0)
        << "the user's thumbnails are the user's own";

    // A small photo is not enlarged; a camera photo turned a quarter is thumbnailed upright.
    const QString small = photos.file(QStringLiteral("small.jpg"));
    writeBytes(small, solidJpeg(60, 40, Qt::blue));
    EXPECT_EQ(thumbnails.thumbnail(small).size(), QSize(60, 40));
    const QString turned = photos.file(QStringLiteral("turned.jpg"));
    writeBytes(turned, withExifThumbnail(solidJpeg(1600, 1200, Qt::green), solidJpeg(160, 120, Qt::green), 6));
    EXPECT_EQ(thumbnails.thumbnail(turned).size(), QSize(96, 128));
}

TEST(ThumbnailCache, TakenOnlyWhileThePhotoIsUnchanged)
{
    TempFolder cache;
    TempFolder photos;
    const QString photo = photos.file(QStringLiteral("a.jpg"));
    writeBytes(photo, solidJpeg(800, 600, Qt::red));
    setModificationTime(photo, QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
    const ThumbnailCache thumbnails(cache.path());
    const QByteArray uri = ThumbnailCache::uriOf(photo);

    // Another program's thumbnail of this photo as it is: used as it is.
    writeForeignThumbnail(thumbnails.thumbnailPath(photo), uri, mtimeOf(photo), Qt::magenta);
    EXPECT_TRUE(nearColour(thumbnails.thumbnail(photo).pixelColor(10, 10), Qt::magenta));

    // Of an older state of the photo, of another file, or no thumbnail at all: made again from the photo.
    for (const auto& [what, foreignUri, mtime, size] :
         {std::tuple{"an older modification time", uri, mtimeOf(photo) - 60, QSize(128, 96)},
          std::tuple{"another file's URI", QByteArray("file:///elsewhere/a.jpg"), mtimeOf(photo), QSize(128, 96)},
          std::tuple{"a picture far larger than a thumbnail", uri, mtimeOf(photo), QSize(3000, 2000)}}) {
        SCOPED_TRACE(what);
        writeForeignThumbnail(thumbnails.thumbnailPath(photo), foreignUri, mtime, Qt::magenta, size);
        EXPECT_TRUE(thumbnails.cached(photo).isNull());
        EXPECT_TRUE(nearColour(thumbnails.thumbnail(photo).pixelColor(10, 10), Qt::red));
        EXPECT_FALSE(thumbnails.cached(photo).isNull()) << "and stored for the next time";
    }

    // The photo changed: its thumbnail is made again.
    writeBytes(photo, solidJpeg(800, 600, Qt::blue));
    setModificationTime(photo, QDateTime(QDate(2004, 1, 16), QTime(12, 0)));
    EXPECT_TRUE(nearColour(thumbnails.thumbnail(photo).pixelColor(10, 10), Qt::blue));
}

TEST(ThumbnailCache, APhotoThatCannotBeThumbnailedIsRecordedUntilItChanges)
{
    TempFolder cache;
    TempFolder photos;
    const ThumbnailCache thumbnails(cache.path());
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"no JPEG", "not a picture"},
        {"an empty file", QByteArray()},
        {"a JPEG claiming 65000 x 65000 pixels", withClaimedSize(writeJpegBytes(64, 48), 65000, 65000)},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString photo = photos.file(QStringLiteral("bad%1.jpg").arg(i++));
        writeBytes(photo, c.bytes);
        EXPECT_TRUE(thumbnails.thumbnail(photo).isNull());
        EXPECT_TRUE(thumbnails.failedBefore(photo));
        EXPECT_TRUE(QFile::exists(thumbnails.failurePath(photo)));
        EXPECT_TRUE(thumbnails.failurePath(photo).contains(QStringLiteral("/thumbnails/fail/albisko/")));
        EXPECT_FALSE(QFile::exists(thumbnails.thumbnailPath(photo)));

        // Mended (a real photo in its place, a new time): thumbnailed.
        writeBytes(photo, solidJpeg(200, 100, Qt::red));
        setModificationTime(photo, QDateTime::currentDateTime().addSecs(60));
        EXPECT_FALSE(thumbnails.failedBefore(photo));
        EXPECT_EQ(thumbnails.thumbnail(photo).size(), QSize(128, 64));
    }

    // Nothing but a regular file is read: a FIFO named like a photo gives none at once.
    const QString fifo = photos.file(QStringLiteral("fifo.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_TRUE(thumbnails.thumbnail(fifo).isNull());
}

TEST(ThumbnailMaker, KeepsOnlyWhatIsWantedAndMakesTheRestIntoTheCacheAfterIt)
{
    TempFolder photos;
    TempFolder cacheHome;
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        paths << photos.file(QStringLiteral("p%1.jpg").arg(i));
        writeBytes(paths.last(), solidJpeg(320, 240, QColor(40 * i, 0, 0)));
    }
    picture::ThumbnailMaker maker(ThumbnailCache(cacheHome.path()), {}, 2);
    QStringList order;
    QObject::connect(&maker, &picture::ThumbnailMaker::made, [&](const QString& path) { order << path; });
    // The whole album to make later, then the photos in view (as when the view scrolls).
    maker.makeLater(6, [&](int i) { return paths[i]; });
    maker.want({paths[4], paths[1]});
    maker.waitForAll();
    EXPECT_TRUE(maker.find(paths[4]) && !maker.find(paths[4])->isNull());
    EXPECT_TRUE(maker.find(paths[1]) && !maker.find(paths[1])->isNull());
    EXPECT_EQ(QSet<QString>(order.begin(), order.end()), (QSet<QString>{paths[4], paths[1]}));
    EXPECT_LE(maker.madeCount(), 4);  // the wanted first: at most one more per worker beside them
    // The rest go into the cache, not into memory.
    ASSERT_TRUE(QTest::qWaitFor([&] { return maker.laterLeft() == 0 && maker.madeCount() >= 6; }, 10000));
    for (const QString& path : paths)
        EXPECT_FALSE(ThumbnailCache(cacheHome.path()).cached(path).isNull()) << path.toStdString();
    EXPECT_EQ(maker.keptCount(), 2);
    EXPECT_FALSE(maker.find(paths[0]));

    // Wanted anew: what is no longer wanted goes from memory.
    maker.want({paths[0]});
    maker.waitForAll();
    EXPECT_TRUE(maker.find(paths[0]));
    EXPECT_FALSE(maker.find(paths[4]));
    EXPECT_EQ(maker.keptCount(), 1);
}
