// libFuzzer target: arbitrary bytes as a photo file, through the preview's real decode path
// (picture::readPhotoFile, picture::previewPanelSize and picture::decodePreview, as ShowPhoto runs them).
//
// Every input must end in a picture of exactly the panel's size, or in one of the preview's own
// errors ("JPEG error #N", "Cannot open file ...", "Invalid floating point operation"). A
// crash, undefined behaviour, another error, or an input that runs out of memory or time (the
// run's -rss_limit_mb and -timeout) is a finding.
//
// The same bytes go through the reading of the date taken from the EXIF header, as a file and,
// behind the EXIF mark, as the header's own bytes: a date or none, never a crash or a hang; and
// through the camera thumbnail shown at once on a step: a picture of the panel's size or none.
#include "album/ExifDate.h"
#include "platform/Errors.h"
#include "picture/ExifThumbnail.h"
#include "picture/PhotoDecoding.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* rule, const QString& detail)
{
    std::fprintf(stderr, "PreviewFuzz: %s: %s\n", rule, qPrintable(detail));
    std::abort();
}

const QString& photoPath()
{
    static const QTemporaryDir dir;
    static const QString path = dir.isValid() ? dir.filePath(QStringLiteral("photo.jpg")) : QString();
    if (path.isEmpty())
        fail("no temporary folder", QString());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString& path = photoPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            fail("cannot write the input file", path);
    }
    if (const auto date = album::exifDate(path); date && !date->isValid())
        fail("an invalid date taken", date->toString());
    QByteArray segment("Exif\0\0", 6);
    segment.append(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto date = album::exifDateOfSegment(segment); date && !date->isValid())
        fail("an invalid date taken", date->toString());
    try {
        const picture::PhotoFile photo = picture::readPhotoFile(path);
        const QSize panel = picture::previewPanelSize(photo.width(), photo.height());
        const QImage thumbnail = picture::thumbnailPicture(photo, panel);
        if (!thumbnail.isNull() && thumbnail.size() != panel)
            fail("a thumbnail not of the panel's size",
                 QStringLiteral("%1 x %2").arg(thumbnail.width()).arg(thumbnail.height()));
        const QImage picture = picture::decodePreview(photo, panel);
        if (!panel.isEmpty() && picture.size() != panel)
            fail("a picture not of the panel's size",
                 QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    } catch (const platform::Error& e) {
        static const QRegularExpression known(
            QStringLiteral("^(JPEG error #\\d+|Cannot open file .*|Invalid floating point operation)$"));
        if (!known.match(e.message()).hasMatch())
            fail("an error the preview does not give", e.message());
    }
    return 0;
}
