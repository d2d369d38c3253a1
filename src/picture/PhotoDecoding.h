#pragma once

// Decoding and sizing of the photo preview. No widgets here: the main window asks for the
// photo's size (for the hint and the panel) and for the picture already scaled to the panel.
//
// Typical use by ShowPhoto:
//     const PhotoFile photo = readPhotoFile(path);           // extension, open, header
//     hint = path + " (" + photo.width() + " x " + photo.height() + ")";
//     const QSize panel = previewPanelSize(photo.width(), photo.height());
//     const QImage picture = decodePreview(photo, panel);    // exactly panel.size()
// loadPreview() does the three steps at once (for prefetching off the GUI thread).
//
// Every function is reentrant and may run on any thread. Errors are platform::Error with the
// user-facing message.

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>
#include <atomic>
#include <functional>

namespace picture {

// The preview area: the panel never grows beyond it.
inline constexpr int PreviewAreaWidth = 400;
inline constexpr int PreviewAreaHeight = 300;

// What no photo is: a JPEG file larger than this, or a picture of more pixels. Such a file
// fails at once, before anything of the picture is decoded, as too big a picture ("JPEG error
// #41", libjpeg's code for it), so that a file claiming 65000 x 65000 pixels in a few bytes
// costs nothing.
inline constexpr qint64 MaxPhotoFileBytes = qint64(256) << 20;
inline constexpr qint64 MaxPhotoPixels = 250'000'000;
// libjpeg's own memory for one decode: the full-size coefficient buffers a progressive photo
// needs whatever the scale (144 MB for 24 megapixels in 4:4:4). More is refused before it is
// allocated ("JPEG error #49", libjpeg's code for a request it cannot meet).
inline constexpr long MaxDecoderMemory = 256L << 20;

// The panel size for a photo of width x height pixels (as displayed), keeping its proportions
// inside the preview area. r = width / height as a double; the sizes are computed from r in
// extended precision and truncated toward zero:
//   portrait (width < height): 225 x (225 / r), the height limited to 300;
//   exactly 4:3: 400 x 300;
//   wider than 4:3: 400 x (400 / r);
//   from square up to 4:3: (300 * r) x 300.
// A zero (or negative) width or height has no ratio: platform::Error("Invalid floating point
// operation").
QSize previewPanelSize(int width, int height);

// A picture file whose header was read; the pixels are not decoded yet.
struct PhotoFile {
    enum class Kind { Jpeg, Bitmap, Icon };

    QString path;
    Kind kind = Kind::Jpeg;
    QSize storedSize;         // pixels as stored in the file; 0 x 0 for an empty file
    // The EXIF orientation, as Qt names it; TransformationNone when the file has none.
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone;

    // The size as displayed, after the orientation: a landscape-stored photo that is to be
    // turned by a quarter reports its height as width and its width as height.
    QSize displayedSize() const;
    int width() const { return displayedSize().width(); }
    int height() const { return displayedSize().height(); }
};

// Reads the header of the file at `path`, piece by piece (the file is never read whole).
// - The extension (after the last dot of the name, compared without regard to case) chooses
//   the decoder: jpg and jpeg go to libjpeg, bmp and ico to Qt's readers. wmf and emf are
//   picture types this program cannot draw: "Unsupported picture file format (.%s)". Any other
//   extension: "Unknown picture file extension (.%s)", the extension as written without its dot.
// - A file that cannot be opened (missing, a folder, anything but a regular file or a link to
//   one, unreadable, or failing to be read part way): "Cannot open file %s", the path as given.
// - An empty file gives 0 x 0 without error.
// - Data the JPEG decoder rejects: "JPEG error #%d" with libjpeg's message code (53 for data
//   that does not start with the JPEG start-of-image marker; see MaxPhotoFileBytes and
//   MaxPhotoPixels for what no photo is). A bitmap or icon Qt cannot read:
//   "Bitmap image is not valid" / "Icon image is not valid".
PhotoFile readPhotoFile(const QString& path);

// The libjpeg scale 1/n (n = 8, 4, 2 or 1) used for a photo of `stored` pixels shown on a panel
// of `panel` pixels, both in the same orientation: the smallest scale whose output still
// covers the panel in both directions (libjpeg rounds the scaled size up).
int chooseScaleDenominator(QSize stored, QSize panel);

// The whole JPEG in `data` decoded by libjpeg at the scale 1/scaleDenominator (8, 4, 2 or 1),
// as stored (no orientation applied), straight into a Format_RGB32 picture whose size is the
// stored size divided and rounded up. Warnings are ignored; a fatal error raises
// "JPEG error #%d". A picture of more than `maxPixels` is refused after its header, as too big
// (41).
QImage decodeJpeg(const QByteArray& data, int scaleDenominator, qint64 maxPixels = MaxPhotoPixels);

// `image` turned as `transformation` says (Qt's order: mirror and flip, then a quarter turn).
QImage oriented(QImage image, QImageIOHandler::Transformations transformation);

// The picture of `photo` (its file read again, piece by piece) turned as its orientation says
// and scaled smoothly to exactly `panel` (displayed orientation). JPEGs are decoded at the scale chooseScaleDenominator() picks, so a
// large photo is never held at full size. Decoder warnings are ignored (a truncated JPEG shows
// as far as its data goes); a fatal decoding error raises "JPEG error #%d". An empty panel
// gives a null image (after decoding, so that a broken file still reports its error). When
// `stop` is given and turns true, the decoding ends at the next piece of the file it reads, with
// the error "Stopped".
QImage decodePreview(const PhotoFile& photo, QSize panel, const std::atomic_bool* stop = nullptr);

// The largest size of a photo of width x height pixels (as displayed) that fits into `area`
// keeping its proportions (rounded to whole pixels, at least 1 x 1): the full-screen view's
// picture. A zero (or negative) width or height: as previewPanelSize.
QSize fitInto(int width, int height, QSize area);

// A picture ready for the preview: width x height is the photo's size as displayed (for the
// hint and the panel), image is already scaled to previewPanelSize(width, height).
struct PreviewPicture {
    int width = 0;
    int height = 0;
    QImage image;
};

// readPhotoFile, previewPanelSize and decodePreview in one go. An empty file raises "Invalid
// floating point operation" here; a caller that must show the size before that error uses the
// three steps itself.
PreviewPicture loadPreview(const QString& path, const std::atomic_bool* stop = nullptr);

// The same for a picture of another size than the preview's: `sizeFor` gives it from the
// photo's displayed width and height (previewPanelSize for the preview, fitInto a screen for
// the full-screen view).
using PictureSizeFor = std::function<QSize(int width, int height)>;
PreviewPicture loadPicture(const QString& path, const PictureSizeFor& sizeFor, const std::atomic_bool* stop = nullptr);

}  // namespace picture
