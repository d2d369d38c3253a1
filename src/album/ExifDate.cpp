#include "album/ExifDate.h"

#include "platform/FileSystem.h"

#include <QFile>

namespace album {

namespace {

constexpr quint16 TagDateTime = 0x0132;
constexpr quint16 TagExifDirectory = 0x8769;
constexpr quint16 TagDateTimeOriginal = 0x9003;
constexpr quint16 TypeAscii = 2;
constexpr quint16 TypeLong = 4;

// The TIFF structure inside the segment, read with its byte order and every offset checked.
class Tiff {
public:
    explicit Tiff(QByteArrayView bytes) : bytes_(bytes) {}

    bool readHeader(quint32& firstDirectory)
    {
        if (bytes_.size() < 8)
            return false;
        if (bytes_.startsWith("II"))
            motorola_ = false;
        else if (bytes_.startsWith("MM"))
            motorola_ = true;
        else
            return false;
        quint16 magic = 0;
        return u16(2, magic) && magic == 42 && u32(4, firstDirectory);
    }

    // The entry `tag` of the directory at `offset`: its type, count and value field's offset.
    bool find(quint32 directory, quint16 tag, quint16& type, quint32& count, quint32& valueAt) const
    {
        quint16 entries = 0;
        if (!u16(directory, entries))
            return false;
        for (quint32 i = 0; i < entries; ++i) {
            const quint64 at = quint64(directory) + 2 + 12 * quint64(i);
            quint16 entryTag = 0;
            if (at > 0xFFFFFFFFu || !u16(quint32(at), entryTag))
                return false;
            if (entryTag != tag)
                continue;
            valueAt = quint32(at) + 8;
            return u16(quint32(at) + 2, type) && u32(quint32(at) + 4, count);
        }
        return false;
    }

    // An ASCII value of `count` bytes: in the entry itself when it fits, else where it points.
    std::optional<QByteArrayView> ascii(quint32 count, quint32 valueAt) const
    {
        quint32 at = valueAt;
        if (count > 4 && !u32(valueAt, at))
            return std::nullopt;
        if (quint64(at) + count > quint64(bytes_.size()))
            return std::nullopt;
        return bytes_.sliced(at, count);
    }

    bool u16(quint32 at, quint16& value) const
    {
        if (quint64(at) + 2 > quint64(bytes_.size()))
            return false;
        const auto b = [&](int i) { return quint16(quint8(bytes_[at + i])); };
        value = motorola_ ? quint16(b(0) << 8 | b(1)) : quint16(b(1) << 8 | b(0));
        return true;
    }

    bool u32(quint32 at, quint32& value) const
    {
        if (quint64(at) + 4 > quint64(bytes_.size()))
            return false;
        const auto b = [&](int i) { return quint32(quint8(bytes_[at + i])); };
        value = motorola_ ? b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3) : b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
        return true;
    }

private:
    QByteArrayView bytes_;
    bool motorola_ = false;
};

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

std::optional<QDate> dateIn(const Tiff& tiff, quint32 directory, quint16 tag)
{
    quint16 type = 0;
    quint32 count = 0;
    quint32 valueAt = 0;
    if (!tiff.find(directory, tag, type, count, valueAt) || type != TypeAscii)
        return std::nullopt;
    const auto text = tiff.ascii(count, valueAt);
    return text ? dateOf(*text) : std::nullopt;
}

}  // namespace

std::optional<QDate> exifDateOfSegment(QByteArrayView app1)
{
    if (!app1.startsWith(QByteArrayView("Exif\0\0", 6)))
        return std::nullopt;
    Tiff tiff(app1.sliced(6));
    quint32 first = 0;
    if (!tiff.readHeader(first))
        return std::nullopt;
    quint16 type = 0;
    quint32 count = 0;
    quint32 valueAt = 0;
    quint32 exifDirectory = 0;
    if (tiff.find(first, TagExifDirectory, type, count, valueAt) && type == TypeLong && count == 1
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
    if (file.read(2) != QByteArrayView("\xFF\xD8", 2))
        return std::nullopt;
    // The header segments, up to the picture's data: the EXIF one comes first as a rule, but a
    // few others (JFIF, for one) may stand before it.
    for (int segments = 0; segments < 32; ++segments) {
        const QByteArray head = file.read(4);
        if (head.size() != 4 || quint8(head[0]) != 0xFF)
            return std::nullopt;
        const quint8 marker = quint8(head[1]);
        const int length = quint8(head[2]) << 8 | quint8(head[3]);
        if (marker == 0xDA || marker == 0xD9 || length < 2)
            return std::nullopt;  // the picture's data begins: no EXIF header before it
        if (marker == 0xE1) {
            const QByteArray segment = file.read(length - 2);
            if (segment.size() != length - 2)
                return std::nullopt;
            if (segment.startsWith(QByteArrayView("Exif\0\0", 6)))
                return exifDateOfSegment(segment);
            continue;  // an APP1 of another kind (XMP)
        }
        if (!file.seek(file.pos() + length - 2))
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace album
