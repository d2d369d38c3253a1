#pragma once

#include <QByteArray>

// JPEGs written by libjpeg itself, in the layouts cameras and image programs write, for tests and
// for the preview fuzzer's seeds.
struct JpegLayout {
    int components = 3;       // 1: grey, 3: colour (YCbCr), 4: CMYK (with Adobe's marker)
    bool progressive = false;
    bool fullChroma = false;  // colour at full resolution (4:4:4) rather than halved (4:2:0)
};

// A picture of soft diagonal bands, so that it neither compresses to nothing nor looks like noise.
QByteArray writeJpegBytes(int width, int height, const JpegLayout& layout = {}, int quality = 85);

// `jpeg` with an EXIF APP1 segment holding nothing but the orientation tag (0x0112, one SHORT),
// placed right after the start-of-image marker, in Intel ("II") or Motorola ("MM") byte order.
QByteArray withOrientation(QByteArray jpeg, int orientation, bool motorola = false);

// `jpeg` with its frame header claiming width x height pixels (as a decompression bomb does):
// the data stays as it is.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height);

// `jpeg` with an EXIF APP1 segment right after the start-of-image marker holding DateTime in the
// first directory and DateTimeOriginal in the EXIF directory (each left out when empty; each
// written as given, without its NUL when it already has one). The dates' text follows the
// directories, or with `valuesFirst` comes before them (as some programs write it).
QByteArray withExifDates(QByteArray jpeg, const QByteArray& dateTimeOriginal, const QByteArray& dateTime,
                         bool motorola = false, bool valuesFirst = false);

// `jpeg` with an EXIF APP1 segment as cameras write it: the orientation tag (1 for upright) in the
// first directory, and `thumbnail` (a small JPEG) placed by the second directory.
QByteArray withExifThumbnail(QByteArray jpeg, const QByteArray& thumbnail, int orientation = 1, bool motorola = false);
