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

// An EXIF segment cut short at a chosen byte of its TIFF structure, the bytes after the cut still
// lying in memory: no date is taken from anything past the segment's end. Where the date taken
// is cut, the date of the last change, whole before the cut, is taken instead.
TEST(ExifDate, ASegmentCutShortGivesNoDateFromPastItsEnd)
{
    const QByteArray jpeg = writeJpegBytes(16, 16);
    const QByteArray taken = "2003:07:14 10:00:00";
    const QByteArray changed = "2005:01:02 03:04:05";
    // TIFF offsets of the layouts withExifDates writes with both dates. Dates last: IFD0 at 8
    // (count 8-9, DateTime entry 10-21, EXIF pointer 22-33), EXIF IFD at 38 (count 38-39, entry
    // 40-51: its count 44-47, its offset 48-51), DateTime text 56-75, DateTimeOriginal 76-95.
    // Dates first: DateTime text 8-27, DateTimeOriginal 28-47, IFD0 at 48 (EXIF pointer 70-73),
    // EXIF IFD at 78 (entry 80-91: its count 84-87, its offset 88-91).
    struct Case {
        const char* what;
        bool datesFirst;
        int kept;  // bytes of the TIFF structure left
        std::optional<QDate> date;
    };
    const Case cases[] = {
        {"whole", false, 96, QDate(2003, 7, 14)},
        {"inside the first directory's count", false, 9, std::nullopt},
        {"inside the 32-bit pointer to the EXIF directory", false, 32, std::nullopt},
        {"inside the date taken's text", false, 86, QDate(2005, 1, 2)},
        {"the date taken's closing NUL", false, 95, QDate(2005, 1, 2)},
        {"dates first, whole", true, 96, QDate(2003, 7, 14)},
        {"dates first, inside the date taken's 32-bit offset", true, 90, QDate(2005, 1, 2)},
        {"dates first, inside the date taken's 32-bit count", true, 86, QDate(2005, 1, 2)},
        {"dates first, inside the 32-bit pointer to the EXIF directory", true, 72, QDate(2005, 1, 2)},
        {"dates first, inside the first directory's count", true, 49, std::nullopt},
    };
    for (const Case& c : cases) {
        const QByteArray file = withExifDates(jpeg, taken, changed, false, c.datesFirst);
        const int length = quint8(file[4]) << 8 | quint8(file[5]);
        const QByteArray segment = file.mid(6, length - 2);  // "Exif\0\0", then the TIFF structure
        ASSERT_EQ(segment.size(), 6 + 96) << c.what;
        EXPECT_EQ(album::exifDateOfSegment(QByteArrayView(segment).first(6 + c.kept)), c.date) << c.what;
    }
}
