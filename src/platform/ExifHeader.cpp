#include "platform/ExifHeader.h"

#include <QIODevice>

namespace platform {

bool ExifTiff::readHeader(quint32& firstDirectory)
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

bool ExifTiff::find(quint32 directory, quint16 tag, quint16& type, quint32& count, quint32& valueAt) const
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

bool ExifTiff::nextDirectory(quint32 directory, quint32& next) const
{
    quint16 entries = 0;
    if (!u16(directory, entries))
        return false;
    const quint64 link = quint64(directory) + 2 + 12 * quint64(entries);
    return link <= 0xFFFFFFFFu && u32(quint32(link), next);
}

std::optional<quint32> ExifTiff::number(quint32 directory, quint16 tag) const
{
    quint16 type = 0;
    quint32 count = 0;
    quint32 valueAt = 0;
    if (!find(directory, tag, type, count, valueAt) || count != 1)
        return std::nullopt;
    if (type == TypeShort) {
        quint16 value = 0;
        return u16(valueAt, value) ? std::optional<quint32>(value) : std::nullopt;
    }
    quint32 value = 0;
    return type == TypeLong && u32(valueAt, value) ? std::optional<quint32>(value) : std::nullopt;
}

std::optional<QByteArrayView> ExifTiff::ascii(quint32 count, quint32 valueAt) const
{
    quint32 at = valueAt;
    if (count > 4 && !u32(valueAt, at))
        return std::nullopt;
    return bytes(at, count);
}

std::optional<QByteArrayView> ExifTiff::bytes(quint32 at, quint32 size) const
{
    if (quint64(at) + size > quint64(bytes_.size()))
        return std::nullopt;
    return bytes_.sliced(at, size);
}

bool ExifTiff::u16(quint32 at, quint16& value) const
{
    if (quint64(at) + 2 > quint64(bytes_.size()))
        return false;
    const auto b = [&](int i) { return quint16(quint8(bytes_[at + i])); };
    value = motorola_ ? quint16(b(0) << 8 | b(1)) : quint16(b(1) << 8 | b(0));
    return true;
}

bool ExifTiff::u32(quint32 at, quint32& value) const
{
    if (quint64(at) + 4 > quint64(bytes_.size()))
        return false;
    const auto b = [&](int i) { return quint32(quint8(bytes_[at + i])); };
    value = motorola_ ? b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3) : b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
    return true;
}

QByteArray readExifSegment(QIODevice& file)
{
    if (file.read(2) != QByteArrayView("\xFF\xD8", 2))
        return {};
    // The header segments, up to the picture's data: the EXIF one comes first as a rule, but a
    // few others (JFIF, for one) may stand before it.
    for (int segments = 0; segments < 32; ++segments) {
        const QByteArray head = file.read(4);
        if (head.size() != 4 || quint8(head[0]) != 0xFF)
            return {};
        const quint8 marker = quint8(head[1]);
        const int length = quint8(head[2]) << 8 | quint8(head[3]);
        if (marker == 0xDA || marker == 0xD9 || length < 2)
            return {};  // the picture's data begins: no EXIF header before it
        if (marker == 0xE1) {
            QByteArray segment = file.read(length - 2);
            if (segment.size() != length - 2)
                return {};
            if (segment.startsWith(QByteArrayView("Exif\0\0", 6)))
                return segment;
            continue;  // an APP1 of another kind (XMP)
        }
        if (!file.seek(file.pos() + length - 2))
            return {};
    }
    return {};
}

}  // namespace platform
