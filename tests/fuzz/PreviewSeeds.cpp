// Writes the preview fuzzer's seeds into the folder given: small JPEGs of every layout the
// preview meets (baseline, progressive, colour at full resolution, grey, CMYK, with an EXIF
// orientation in either byte order, with a camera thumbnail).
#include "support/JpegWriter.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: preview_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char* name;
        QByteArray bytes;
    } seeds[] = {
        {"baseline-420.jpg", writeJpegBytes(48, 32)},
        {"progressive-420.jpg", writeJpegBytes(48, 32, {3, true, false})},
        {"baseline-444.jpg", writeJpegBytes(40, 24, {3, false, true})},
        {"progressive-444.jpg", writeJpegBytes(40, 24, {3, true, true})},
        {"grey.jpg", writeJpegBytes(32, 32, {1, false, false})},
        {"grey-progressive.jpg", writeJpegBytes(32, 32, {1, true, false})},
        {"cmyk.jpg", writeJpegBytes(24, 16, {4, false, false})},
        {"exif-6-intel.jpg", withOrientation(writeJpegBytes(48, 32), 6)},
        {"exif-8-motorola-progressive.jpg", withOrientation(writeJpegBytes(48, 32, {3, true, false}), 8, true)},
        {"exif-dates-intel.jpg", withExifDates(writeJpegBytes(48, 32), "2003:07:14 10:00:00", "2003:07:15 11:00:00")},
        {"exif-dates-motorola.jpg", withExifDates(writeJpegBytes(48, 32), "2003:07:14 10:00:00", "", true)},
        {"exif-thumbnail-6-intel.jpg", withExifThumbnail(writeJpegBytes(48, 32), writeJpegBytes(16, 12), 6)},
        {"exif-thumbnail-motorola.jpg", withExifThumbnail(writeJpegBytes(48, 32), writeJpegBytes(16, 12), 1, true)},
    };
    for (const auto& seed : seeds) {
        QFile file(folder.filePath(QString::fromLatin1(seed.name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed.bytes) != seed.bytes.size()) {
            std::fprintf(stderr, "preview_seeds: cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
