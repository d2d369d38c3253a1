#include "album/ExifDate.h"

#include "platform/ExifHeader.h"
#include "platform/FileSystem.h"

#include <QFile>

namespace album {

namespace {

constexpr quint16 TagDateTime = 0x0132;
constexpr quint16 TagExifDirectory = 0x8769;
constexpr quint16 TagDateTimeOriginal = 0x9003;
using platform::ExifTiff;

// "YYYY:MM:DD HH:MM:SS" (a trailing NUL allowed) as a date; none for anything else.
std::optional<QDate> dateOf(QByteArrayView text)
{
    if (text.endsWith('\0'))
        text.chop(1);
    if (text.size() != 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ')
        return std::nullopt;
    const auto number = [&](int from, int digits) {
        int value = 0;
        for (int i = from; i < from + digits; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> dateIn(const platform::ExifTiff& tiff, quint32 directory, quint16 tag)
{
    quint16 type = 0;
    quint32 count = 0;
    quint32 valueAt = 0;
    if (!tiff.find(directory, tag, type, count, valueAt) || type != ExifTiff::TypeAscii)
        return std::nullopt;
    const auto text = tiff.ascii(count, valueAt);
    return text ? dateOf(*text) : std::nullopt;
}

}  // namespace

std::optional<QDate> exifDateOfSegment(QByteArrayView app1)
{
    if (!app1.startsWith(QByteArrayView("Exif\0\0", 6)))
        return std::nullopt;
    platform::ExifTiff tiff(app1.sliced(6));
    quint32 first = 0;
    if (!tiff.readHeader(first))
        return std::nullopt;
    quint16 type = 0;
    quint32 count = 0;
    quint32 valueAt = 0;
    quint32 exifDirectory = 0;
    if (tiff.find(first, TagExifDirectory, type, count, valueAt) && type == ExifTiff::TypeLong && count == 1
        && tiff.u32(valueAt, exifDirectory)) {
        if (const auto taken = dateIn(tiff, exifDirectory, TagDateTimeOriginal))
            return taken;
    }
    return dateIn(tiff, first, TagDateTime);
}

std::optional<QDate> exifDate(const QString& path)
{
    QFile file;
    if (!file.open(platform::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return std::nullopt;
    const QByteArray segment = platform::readExifSegment(file);
    return segment.isEmpty() ? std::nullopt : exifDateOfSegment(segment);
}

}  // namespace album
