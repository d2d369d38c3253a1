#include "support/JpegWriter.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>
#include <utility>
#include <vector>

#include <jpeglib.h>

QByteArray writeJpegBytes(int width, int height, const JpegLayout& layout, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    jpeg_mem_dest(&cinfo, &output, &outputSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = layout.components;
    cinfo.in_color_space = layout.components == 1 ? JCS_GRAYSCALE : layout.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (layout.fullChroma && layout.components == 3)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (layout.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * size_t(layout.components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < layout.components; ++c)
                row[size_t(x) * size_t(layout.components) + size_t(c)] = JSAMPLE(((x + y) / 8 + 60 * c) & 0xFF);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(output), qsizetype(outputSize));
    std::free(output);
    return bytes;
}

QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    // The frame header (SOF0 to SOF2): marker, length, precision, height, width.
    qsizetype at = 2;
    while (at + 9 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            jpeg[at + 5] = char(height >> 8);
            jpeg[at + 6] = char(height & 0xFF);
            jpeg[at + 7] = char(width >> 8);
            jpeg[at + 8] = char(width & 0xFF);
            return jpeg;
        }
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return jpeg;
}

namespace {

// `jpeg` with an EXIF APP1 segment holding `tiff` right after the start-of-image marker.
QByteArray withExifSegment(QByteArray jpeg, const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += payload;
    return jpeg.insert(2, segment);
}

}  // namespace

QByteArray withOrientation(QByteArray jpeg, int orientation, bool motorola)
{
    const char o = char(orientation);
    const QByteArray tiff = motorola
        ? QByteArray("MM\x00\x2A\x00\x00\x00\x08"                      // header, IFD at 8
                     "\x00\x01"                                       // one entry
                     "\x01\x12\x00\x03\x00\x00\x00\x01", 18)          // tag, SHORT, count 1
              + QByteArray(1, '\0') + QByteArray(1, o) + QByteArray(2, '\0')
              + QByteArray(4, '\0')                                    // no next IFD
        : QByteArray("II\x2A\x00\x08\x00\x00\x00"
                     "\x01\x00"
                     "\x12\x01\x03\x00\x01\x00\x00\x00", 18)
              + QByteArray(1, o) + QByteArray(3, '\0')
              + QByteArray(4, '\0');
    return withExifSegment(std::move(jpeg), tiff);
}

namespace {

// Little helpers for a TIFF structure in either byte order.
struct TiffWriter {
    bool motorola;
    QByteArray bytes;

    void u16(quint16 v)
    {
        bytes += motorola ? char(v >> 8) : char(v & 0xFF);
        bytes += motorola ? char(v & 0xFF) : char(v >> 8);
    }
    void u32(quint32 v)
    {
        if (motorola) {
            u16(quint16(v >> 16));
            u16(quint16(v & 0xFFFF));
        } else {
            u16(quint16(v & 0xFFFF));
            u16(quint16(v >> 16));
        }
    }
    // One entry pointing at `offset` (or holding a LONG), of `type` and `count`.
    void entry(quint16 tag, quint16 type, quint32 count, quint32 value)
    {
        u16(tag);
        u16(type);
        u32(count);
        u32(value);
    }
};

QByteArray withNul(QByteArray text)
{
    if (!text.endsWith('\0'))
        text += '\0';
    return text;
}

}  // namespace

QByteArray withExifDates(QByteArray jpeg, const QByteArray& dateTimeOriginal, const QByteArray& dateTime, bool motorola,
                         bool valuesFirst)
{
    const QByteArray original = withNul(dateTimeOriginal);
    const QByteArray plain = withNul(dateTime);
    const bool hasOriginal = !dateTimeOriginal.isEmpty();
    const bool hasPlain = !dateTime.isEmpty();
    // Layout: header (8), IFD0, then the EXIF IFD, with the strings after them or before them.
    const quint32 ifd0Entries = quint32(hasPlain) + 1;  // DateTime, ExifIFD pointer
    const quint32 ifd0Size = 2 + 12 * ifd0Entries + 4;
    const quint32 exifEntries = quint32(hasOriginal);
    const quint32 exifSize = 2 + 12 * exifEntries + 4;
    const quint32 stringsSize = (hasPlain ? quint32(plain.size()) : 0) + (hasOriginal ? quint32(original.size()) : 0);
    const quint32 ifd0At = valuesFirst ? 8 + stringsSize : 8;
    const quint32 exifAt = ifd0At + ifd0Size;
    const quint32 plainAt = valuesFirst ? 8 : exifAt + exifSize;
    const quint32 originalAt = plainAt + (hasPlain ? quint32(plain.size()) : 0);

    TiffWriter w{motorola, motorola ? QByteArray("MM") : QByteArray("II")};
    w.u16(42);
    w.u32(ifd0At);
    const auto strings = [&] {
        if (hasPlain)
            w.bytes += plain;
        if (hasOriginal)
            w.bytes += original;
    };
    if (valuesFirst)
        strings();
    w.u16(quint16(ifd0Entries));
    if (hasPlain)
        w.entry(0x0132, 2, quint32(plain.size()), plainAt);
    w.entry(0x8769, 4, 1, exifAt);
    w.u32(0);
    w.u16(quint16(exifEntries));
    if (hasOriginal)
        w.entry(0x9003, 2, quint32(original.size()), originalAt);
    w.u32(0);
    if (!valuesFirst)
        strings();

    return withExifSegment(std::move(jpeg), w.bytes);
}

QByteArray withExifThumbnail(QByteArray jpeg, const QByteArray& thumbnail, int orientation, bool motorola)
{
    // Layout: header (8), IFD0 with the orientation, IFD1 with the thumbnail's place, the thumbnail.
    const quint32 ifd0At = 8;
    const quint32 ifd0Size = 2 + 12 + 4;
    const quint32 ifd1At = ifd0At + ifd0Size;
    const quint32 ifd1Size = 2 + 2 * 12 + 4;
    const quint32 thumbnailAt = ifd1At + ifd1Size;
    TiffWriter w{motorola, motorola ? QByteArray("MM") : QByteArray("II")};
    w.u16(42);
    w.u32(ifd0At);
    w.u16(1);
    w.u16(0x0112);  // orientation: one SHORT, left-aligned in the value field
    w.u16(3);
    w.u32(1);
    w.u16(quint16(orientation));
    w.u16(0);
    w.u32(ifd1At);
    w.u16(2);
    w.entry(0x0201, 4, 1, thumbnailAt);
    w.entry(0x0202, 4, 1, quint32(thumbnail.size()));
    w.u32(0);
    w.bytes += thumbnail;
    return withExifSegment(std::move(jpeg), w.bytes);
}
