#pragma once

#include <QImage>
#include <QString>

namespace picture {

// The thumbnails of photos as the desktop shares them (the freedesktop Thumbnail Managing
// Standard): 128-pixel PNGs in $XDG_CACHE_HOME/thumbnails/normal (~/.cache when it is not set),
// named by the MD5 of the photo's file:// URI, carrying Thumb::URI and Thumb::MTime. A thumbnail
// is taken only while its Thumb::MTime is the photo's modification time, so thumbnails the file
// manager made are used and ours serve it. A photo that cannot be thumbnailed is recorded under
// fail/albisko/ and not tried again until it changes. Reentrant: each call may run on any thread.
class ThumbnailCache {
public:
    static constexpr int Size = 128;  // the "normal" size: the longer side

    // The cache under `cacheHome` (the folder $XDG_CACHE_HOME names).
    explicit ThumbnailCache(QString cacheHome = defaultCacheHome());
    static QString defaultCacheHome();

    // The photo's URI as the standard spells it ("file:///…", percent-encoded).
    static QByteArray uriOf(const QString& photo);
    QString thumbnailPath(const QString& photo) const;
    QString failurePath(const QString& photo) const;

    // The cached thumbnail when it is valid for the photo as it is now; null otherwise.
    QImage cached(const QString& photo) const;
    // True when a failure is recorded for the photo as it is now.
    bool failedBefore(const QString& photo) const;
    // The photo's thumbnail: cached, else made (its EXIF thumbnail turned as the photo is, else
    // its fastest scaled decode) and stored; null when it cannot be made (the failure is then
    // recorded). Never throws.
    QImage thumbnail(const QString& photo) const;

private:
    QString cacheHome_;
};

// A thumbnail of the photo at `path`: at most Size pixels on its longer side, never larger than
// the photo, upright. Raises the photo's error (as the preview would).
QImage makeThumbnail(const QString& path);

}  // namespace picture
