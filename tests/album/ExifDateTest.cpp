// The date a photo was taken, from its EXIF header, in real JPEGs of our own.
#include "album/ExifDate.h"
#include "support/Fixtures.h"
#include "support/JpegWriter.h"

#include <gtest/gtest.h>

TEST(ExifDate, TakesTheDateTakenElseTheDateTimeAndNothingThatIsNoDate)
{
    const QByteArray jpeg = writeJpegBytes(32, 24);
    struct Case {
        const char* what;
        QByteArray file;
        std::optional<QDate> date;
    };
    QByteArray withXmpFirst = withExifDates(jpeg, "2003:07:14 10:00:00", "");
    withXmpFirst.insert(2, QByteArray("\xFF\xE1\x00\x0Ahttp://x", 12));  // an APP1 of another kind first
    QByteArray truncated = withExifDates(jpeg, "2003:07:14 10:00:00", "2001:01:01 00:00:00");
    truncated.truncate(40);
    const Case cases[] = {
        {"date taken, Intel order", withExifDates(jpeg, "2003:07:14 10:00:00", "2005:01:02 03:04:05"), QDate(2003, 7, 14)},
        {"date taken, Motorola order", withExifDates(jpeg, "2003:07:14 10:00:00", "", true), QDate(2003, 7, 14)},
        {"only the date of the file's last change", withExifDates(jpeg, "", "2005:01:02 03:04:05"), QDate(2005, 1, 2)},
        {"a date taken that is no date falls back", withExifDates(jpeg, "garbage!", "2005:01:02 03:04:05"), QDate(2005, 1, 2)},
        {"behind another APP1", withXmpFirst, QDate(2003, 7, 14)},
        {"zeros", withExifDates(jpeg, "0000:00:00 00:00:00", "0000:00:00 00:00:00"), std::nullopt},
        {"out of range", withExifDates(jpeg, "2004:13:40 10:00:00", "2004:02:30 10:00:00"), std::nullopt},
        {"blanks", withExifDates(jpeg, "    :  :     :  :  ", ""), std::nullopt},
        {"empty", withExifDates(jpeg, QByteArray("\0", 1), ""), std::nullopt},
        {"no EXIF header", jpeg, std::nullopt},
        {"cut off in the header", truncated, std::nullopt},
        {"no JPEG", QByteArray("2003:07:14 10:00:00"), std::nullopt},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        const QString path = dir.file(QStringLiteral("p.jpg"));
        writeBytes(path, c.file);
        EXPECT_EQ(album::exifDate(path), c.date) << c.what;
    }
    EXPECT_EQ(album::exifDate(dir.file(QStringLiteral("missing.jpg"))), std::nullopt);
}
