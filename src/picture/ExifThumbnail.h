#pragma once

#include "picture/PhotoDecoding.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace picture {

// The largest embedded thumbnail taken: cameras write 160 x 120 or so, a few up to 640 x 480.
inline constexpr qint64 MaxThumbnailPixels = qint64(1) << 20;

// The small JPEG a camera embeds in the EXIF header of a photo (the second directory's
// JPEGInterchangeFormat), decoded as stored (not turned). Null when the file has none, or it is
// damaged, larger than MaxThumbnailPixels or no JPEG: a thumbnail is only a stand-in, never an
// error. Only the header segments are read; only a regular file is opened.
QImage readExifThumbnail(const QString& path);

// The thumbnail of `photo` as the photo itself is shown at `size`: its proportions made the
// photo's (the bars some cameras pad it with cut off), scaled to `size` and turned as the photo's
// orientation says. Null when the photo has no thumbnail.
QImage thumbnailPicture(const PhotoFile& photo, QSize size);
// The same from the thumbnail already read (readExifThumbnail); null when it is null.
QImage thumbnailPicture(const PhotoFile& photo, const QImage& thumbnail, QSize size);

}  // namespace picture
