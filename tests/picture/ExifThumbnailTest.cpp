// The EXIF thumbnail a camera embeds: found in both byte orders, turned and cut as the photo is
// shown, and never more than a stand-in (damaged or hostile thumbnails give none).
#include "picture/ExifThumbnail.h"

#include "support/Fixtures.h"
#include "support/JpegWriter.h"

#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);
const QColor Black(0, 0, 0);

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", 95));
    return bytes;
}

// Yellow left half, blue right half, with `bars` rows of black above and below (as cameras pad a
// 4:3 thumbnail of a 3:2 photo).
QByteArray thumbnailJpeg(int width, int height, int bars = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Black);
    QPainter painter(&image);
    painter.fillRect(0, bars, width / 2, height - 2 * bars, Yellow);
    painter.fillRect(width / 2, bars, width - width / 2, height - 2 * bars, Blue);
    painter.end();
    return jpegOf(image);
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 && std::abs(a.blue() - b.blue()) < 60;
}

struct Case {
    const char* what;
    QSize photo;          // stored
    QByteArray thumbnail;
    int orientation;
    bool motorola;
    QSize size;           // the picture wanted, as displayed
    QPoint yellowAt;      // in fractions of 8 of the picture
    QPoint blueAt;
};

}  // namespace

TEST(ExifThumbnail, ShownTurnedAndCutAsThePhotoItStandsFor)
{
    const Case cases[] = {
        {"upright", {1600, 1200}, thumbnailJpeg(160, 120), 1, false, {400, 300}, {2, 4}, {6, 4}},
        {"turned clockwise (6)", {1600, 1200}, thumbnailJpeg(160, 120), 6, false, {225, 300}, {4, 2}, {4, 6}},
        {"turned counter-clockwise (8), Motorola order", {1600, 1200}, thumbnailJpeg(160, 120), 8, true, {225, 300},
         {4, 6}, {4, 2}},
        {"a 3:2 photo's thumbnail padded to 4:3", {1500, 1000}, thumbnailJpeg(160, 120, 7), 1, false, {400, 266},
         {2, 4}, {6, 4}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder.file("photo.jpg");
        writeBytes(path, withExifThumbnail(writeJpegBytes(c.photo.width(), c.photo.height()), c.thumbnail,
                                           c.orientation, c.motorola));
        const picture::PhotoFile photo = picture::readPhotoFile(path);
        const QImage picture = picture::thumbnailPicture(photo, c.size);
        ASSERT_EQ(picture.size(), c.size);
        const auto at = [&](QPoint eighths) {
            return QPoint(std::min(picture.width() - 1, eighths.x() * picture.width() / 8),
                          std::min(picture.height() - 1, eighths.y() * picture.height() / 8));
        };
        EXPECT_TRUE(near(picture.pixelColor(at(c.yellowAt)), Yellow)) << picture.pixelColor(at(c.yellowAt)).name().toStdString();
        EXPECT_TRUE(near(picture.pixelColor(at(c.blueAt)), Blue)) << picture.pixelColor(at(c.blueAt)).name().toStdString();
        // No padding shows: the top and bottom rows are the picture's, never black.
        for (int y : {0, picture.height() - 1}) {
            const QColor edge = picture.pixelColor(picture.width() / 4, y);
            EXPECT_GT(std::max({edge.red(), edge.green(), edge.blue()}), 100) << "row " << y;
        }
    }
}

TEST(ExifThumbnail, NoneWhereThereIsNoUsableThumbnail)
{
    const QByteArray photo = writeJpegBytes(800, 600);
    const QByteArray thumbnail = thumbnailJpeg(160, 120);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"no EXIF header", photo},
        {"an EXIF header with the orientation only", withOrientation(photo, 6)},
        {"thumbnail data that is no JPEG", withExifThumbnail(photo, QByteArray(2000, 'x'))},
        {"a header cut short in the thumbnail", withExifThumbnail(photo, thumbnail).left(100 + thumbnail.size() / 2)},
        {"a thumbnail claiming 65000 x 65000 pixels", withExifThumbnail(photo, withClaimedSize(thumbnail, 65000, 65000))},
        {"a thumbnail claiming 2000 x 2000 pixels", withExifThumbnail(photo, withClaimedSize(thumbnail, 2000, 2000))},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder.file("photo.jpg");
        writeBytes(path, c.bytes);
        EXPECT_TRUE(picture::readExifThumbnail(path).isNull());
    }
    // The same thumbnail, whole, is found: the cases above fail for their own reason.
    writeBytes(folder.file("whole.jpg"), withExifThumbnail(photo, thumbnail));
    EXPECT_EQ(picture::readExifThumbnail(folder.file("whole.jpg")).size(), QSize(160, 120));
}
