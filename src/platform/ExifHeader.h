#pragma once

// A JPEG's EXIF header: finding its segment among the file's header segments, and reading the
// TIFF structure inside it with every offset checked, so that any bytes at all give a value or
// none. Used for the photos' dates and their embedded thumbnails.

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

class QIODevice;

namespace platform {

// The TIFF structure inside an EXIF segment (what follows "Exif\0\0"), read with its byte order.
class ExifTiff {
public:
    static constexpr quint16 TypeAscii = 2;
    static constexpr quint16 TypeShort = 3;
    static constexpr quint16 TypeLong = 4;

    explicit ExifTiff(QByteArrayView bytes) : bytes_(bytes) {}

    // The byte order and the offset of the first directory; false when this is no TIFF header.
    bool readHeader(quint32& firstDirectory);
    // The entry `tag` of the directory at `directory`: its type, count and value field's offset.
    bool find(quint32 directory, quint16 tag, quint16& type, quint32& count, quint32& valueAt) const;
    // The offset of the directory that follows the one at `directory` (0 when none).
    bool nextDirectory(quint32 directory, quint32& next) const;
    // A whole number of one SHORT or LONG entry.
    std::optional<quint32> number(quint32 directory, quint16 tag) const;
    // An ASCII value of `count` bytes: in the entry itself when it fits, else where it points.
    std::optional<QByteArrayView> ascii(quint32 count, quint32 valueAt) const;
    // `size` bytes at `at`, when they lie inside the structure.
    std::optional<QByteArrayView> bytes(quint32 at, quint32 size) const;

    bool u16(quint32 at, quint16& value) const;
    bool u32(quint32 at, quint32& value) const;

private:
    QByteArrayView bytes_;
    bool motorola_ = false;
};

// The EXIF segment of the JPEG in `file`, read from where the file stands (its start): the bytes
// of the APP1 segment that begins with "Exif\0\0", or empty when the file is no JPEG or has none
// before its picture data. Only header segments are read, never the picture.
QByteArray readExifSegment(QIODevice& file);

}  // namespace platform
