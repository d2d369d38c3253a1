// The photo preview's decoding and sizing: panel sizes, the error messages, damaged files, the
// EXIF orientation and the reduced-scale decoding, all through real files written at test time.
#include "picture/PhotoDecoding.h"

#include "platform/Errors.h"
#include "support/Fixtures.h"
#include "support/JpegWriter.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

// --- Expectations --------------------------------------------------------------------------------

template <typename Action>
void expectError(Action&& action, const QString& expected)
{
    try {
        action();
        ADD_FAILURE() << "no error; expected \"" << expected.toStdString() << '"';
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.message(), expected);
    }
}

enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };

const char* nameOf(Corner corner)
{
    switch (corner) {
    case Corner::TopLeft: return "top left";
    case Corner::TopRight: return "top right";
    case Corner::BottomLeft: return "bottom left";
    case Corner::BottomRight: return "bottom right";
    }
    return "?";
}

// The centre of one quarter of the picture.
QPoint centreOf(const QImage& image, Corner corner)
{
    const bool right = corner == Corner::TopRight || corner == Corner::BottomRight;
    const bool bottom = corner == Corner::BottomLeft || corner == Corner::BottomRight;
    return {(right ? 3 : 1) * image.width() / 4, (bottom ? 3 : 1) * image.height() / 4};
}

testing::AssertionResult hasColour(const QImage& image, QPoint at, QColor expected, int tolerance = 48)
{
    if (image.isNull() || !image.rect().contains(at))
        return testing::AssertionFailure() << "no pixel at (" << at.x() << ", " << at.y() << ")";
    const QColor actual = image.pixelColor(at);
    if (std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel at (" << at.x() << ", " << at.y() << ") is "
                                       << actual.name().toStdString() << ", expected "
                                       << expected.name().toStdString();
}

testing::AssertionResult hasColour(const QImage& image, Corner corner, QColor expected)
{
    auto result = hasColour(image, centreOf(image, corner), expected);
    if (!result)
        result << " (" << nameOf(corner) << ")";
    return result;
}

// --- Test pictures -------------------------------------------------------------------------------

const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);

// Yellow top-left quarter, blue top-right quarter, green bottom half: every one of the eight
// orientations puts yellow and blue into a different pair of corners.
QImage markedImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Green);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Yellow);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Blue);
    return image;
}

QByteArray jpegOf(const QImage& image, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", quality));
    return bytes;
}

// The offset of the first segment with the given marker (0xDA for the start of scan), found by
// walking the segments from the start; -1 if there is none.
qsizetype segmentOffset(const QByteArray& jpeg, uchar marker)
{
    qsizetype at = 2;  // after SOI
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        if (uchar(jpeg[at + 1]) == marker)
            return at;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return -1;
}

// A CMYK JPEG of one colour, written by libjpeg itself (it adds the Adobe marker). The bytes
// follow the Adobe convention: 255 minus the ink.
QByteArray cmykJpeg(int width, int height, const uchar (&storedCmyk)[4])
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
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uchar> row(size_t(width) * 4);
    for (size_t i = 0; i < row.size(); ++i)
        row[i] = storedCmyk[i % 4];
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(output), qsizetype(outputSize));
    std::free(output);
    return bytes;
}

// --- Panel size ----------------------------------------------------------------------------------

struct PanelCase {
    int width, height;
    int panelWidth, panelHeight;
};

void PrintTo(const PanelCase& c, std::ostream* out)
{
    *out << c.width << " x " << c.height;
}

class PreviewPanelSize : public testing::TestWithParam<PanelCase> {};

TEST_P(PreviewPanelSize, KeepsProportionsInsideTheArea)
{
    const PanelCase c = GetParam();
    EXPECT_EQ(picture::previewPanelSize(c.width, c.height), QSize(c.panelWidth, c.panelHeight));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PreviewPanelSize,
    testing::Values(PanelCase{1600, 1200, 400, 300},   // exactly 4:3
                    PanelCase{1200, 1600, 225, 300},   // portrait 3:4
                    PanelCase{1000, 1000, 300, 300},   // square: 300 high
                    PanelCase{1500, 1000, 400, 266},   // 3:2 truncated, not rounded
                    PanelCase{1000, 2000, 225, 300},   // asks 450 high, limited to 300
                    PanelCase{900, 1000, 225, 249},    // r rounded to a double first
                    PanelCase{1600, 896, 400, 223},    // likewise
                    PanelCase{1920, 1080, 400, 225},   // 16:9
                    PanelCase{1601, 1200, 400, 299},   // just wider than 4:3: width-bound, truncated
                    PanelCase{4000, 2996, 400, 299},   // a camera frame a little wider than 4:3
                    PanelCase{4, 3, 400, 300},         // tiny photos get the same panel
                    PanelCase{1, 1, 300, 300},
                    PanelCase{1200, 1000, 359, 300},   // between square and 4:3; 300 x 1.2 is just below 360
                    PanelCase{20000, 10, 400, 0}));    // a sliver: nothing left of the height

TEST(PreviewPanelSizeErrors, NoRatioWithoutWidthOrHeight)
{
    expectError([] { picture::previewPanelSize(0, 0); }, "Invalid floating point operation");
    expectError([] { picture::previewPanelSize(0, 600); }, "Invalid floating point operation");
    expectError([] { picture::previewPanelSize(800, 0); }, "Invalid floating point operation");
}

// --- Reading the file: extension, opening, header -----------------------------------------------

TEST(PhotoFileErrors, ExtensionIsCheckedFirstAndReportedAsWritten)
{
    TempFolder folder;
    writeBytes(folder.file("photo.png"), jpegOf(markedImage(40, 30)));
    expectError([&] { picture::readPhotoFile(folder.file("photo.png")); },
                "Unknown picture file extension (.png)");
    // Missing file: the extension still comes first, as written (case kept).
    expectError([&] { picture::readPhotoFile(folder.file("missing.Gif")); },
                "Unknown picture file extension (.Gif)");
    // No extension at all; the dot of a folder name does not count.
    const QString dotted = folder.makeFolder("album.d");
    writeJpeg(dotted + "/photo", 40, 30);
    expectError([&] { picture::readPhotoFile(dotted + "/photo"); }, "Unknown picture file extension (.)");
    expectError([&] { picture::readPhotoFile(folder.file("odd.")); }, "Unknown picture file extension (.)");
    // Metafiles are known types this program cannot draw.
    expectError([&] { picture::readPhotoFile(folder.file("drawing.WMF")); },
                "Unsupported picture file format (.WMF)");
    expectError([&] { picture::readPhotoFile(folder.file("drawing.emf")); },
                "Unsupported picture file format (.emf)");
}

TEST(PhotoFileErrors, JpegExtensionsInAnyCase)
{
    TempFolder folder;
    for (const QString name : {"a.jpg", "b.JPG", "c.Jpeg", "d.jpeg", ".jpg"}) {
        writeJpeg(folder.file(name), 64, 48);
        const picture::PhotoFile photo = picture::readPhotoFile(folder.file(name));
        EXPECT_EQ(photo.kind, picture::PhotoFile::Kind::Jpeg) << name.toStdString();
        EXPECT_EQ(photo.displayedSize(), QSize(64, 48)) << name.toStdString();
    }
}

TEST(PhotoFileErrors, FileThatCannotBeOpened)
{
    TempFolder folder;
    const QString missing = folder.file("missing.jpg");
    expectError([&] { picture::readPhotoFile(missing); }, "Cannot open file " + missing);
    const QString directory = folder.makeFolder("looks like a photo.jpg");
    expectError([&] { picture::readPhotoFile(directory); }, "Cannot open file " + directory);
    expectError([&] { picture::loadPreview(directory); }, "Cannot open file " + directory);
}

TEST(PhotoFileErrors, DataThatIsNotJpeg)
{
    TempFolder folder;
    const QString path = folder.file("text.jpg");
    writeBytes(path, "This is a caption, not a photo.\r\n");
    expectError([&] { picture::readPhotoFile(path); }, "JPEG error #53");  // libjpeg: not a JPEG file
    expectError([&] { picture::loadPreview(path); }, "JPEG error #53");
    // A PNG under a .jpg name is not JPEG data either.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(markedImage(20, 20).save(&buffer, "PNG"));
    writeBytes(path, png);
    expectError([&] { picture::loadPreview(path); }, "JPEG error #53");
}

TEST(PhotoFileErrors, EmptyFileHasNoSizeAndNoRatio)
{
    TempFolder folder;
    const QString path = folder.file("empty.jpg");
    writeBytes(path, QByteArray());
    // The size can be shown first ("(0 x 0)"); the panel size then fails.
    const picture::PhotoFile photo = picture::readPhotoFile(path);
    EXPECT_EQ(photo.width(), 0);
    EXPECT_EQ(photo.height(), 0);
    expectError([&] { picture::previewPanelSize(photo.width(), photo.height()); },
                "Invalid floating point operation");
    expectError([&] { picture::loadPreview(path); }, "Invalid floating point operation");
}

// --- Damaged JPEGs -------------------------------------------------------------------------------

TEST(DamagedJpeg, TruncatedFileShowsWhatItHas)
{
    TempFolder folder;
    const QString whole = folder.file("whole.jpg");
    writeJpeg(whole, 800, 600);  // yellow top-left quarter on dark green
    const QByteArray bytes = readBytes(whole);
    const QString path = folder.file("half.jpg");
    writeBytes(path, bytes.left(bytes.size() / 2));

    const picture::PreviewPicture picture = picture::loadPreview(path);
    EXPECT_EQ(picture.width, 800);
    EXPECT_EQ(picture.height, 600);
    EXPECT_EQ(picture.image.size(), QSize(400, 300));
    EXPECT_TRUE(hasColour(picture.image, QPoint(10, 10), Yellow));
    EXPECT_TRUE(hasColour(picture.image, QPoint(390, 10), Green));
}

TEST(DamagedJpeg, HeaderCutShortIsAnError)
{
    TempFolder folder;
    const QByteArray bytes = jpegOf(markedImage(800, 600));
    const qsizetype scan = segmentOffset(bytes, 0xDA);
    ASSERT_GT(scan, 0);
    const QString path = folder.file("cut.jpg");
    writeBytes(path, bytes.left(scan));  // everything up to the scan
    expectError([&] { picture::readPhotoFile(path); }, "JPEG error #59");  // SOF without SOS
    writeBytes(path, bytes.left(2));  // the start-of-image marker alone
    expectError([&] { picture::readPhotoFile(path); }, "JPEG error #51");  // no image
}

TEST(DamagedJpeg, GarbageInTheCompressedDataDecodesWithWarningsIgnored)
{
    // libjpeg treats damaged entropy-coded data as a warning and goes on; so do we.
    TempFolder folder;
    QByteArray bytes = jpegOf(markedImage(800, 600));
    const qsizetype scan = segmentOffset(bytes, 0xDA);
    ASSERT_GT(scan, 0);
    const qsizetype middle = scan + (bytes.size() - scan) / 2;
    for (qsizetype i = middle; i < middle + 64; ++i)
        bytes[i] = char((i * 37) & 0xFF);
    const QString path = folder.file("garbage.jpg");
    writeBytes(path, bytes);

    const picture::PreviewPicture picture = picture::loadPreview(path);
    EXPECT_EQ(picture.image.size(), QSize(400, 300));
    EXPECT_TRUE(hasColour(picture.image, QPoint(10, 10), Yellow));  // before the damage
}

TEST(DamagedJpeg, FatalErrorInTheScanShowsOnlyWhenDecoding)
{
    // A valid header whose scan asks for Huffman tables 3 that were never defined: the size is
    // known, the decoding fails with libjpeg's code for it.
    TempFolder folder;
    QByteArray bytes = jpegOf(markedImage(800, 600));
    const qsizetype scan = segmentOffset(bytes, 0xDA);
    ASSERT_GT(scan, 0);
    bytes[scan + 6] = char(0x33);  // first component's DC/AC table numbers
    const QString path = folder.file("bad table.jpg");
    writeBytes(path, bytes);

    const picture::PhotoFile photo = picture::readPhotoFile(path);
    EXPECT_EQ(photo.displayedSize(), QSize(800, 600));
    expectError([&] { picture::decodePreview(photo, QSize(400, 300)); }, "JPEG error #50");
    expectError([&] { picture::loadPreview(path); }, "JPEG error #50");
}

TEST(DamagedJpeg, NoDamageCrashesOrEscapesAsAnotherError)
{
    // Every cut and many single-byte changes of a small photo (with an orientation tag, so Qt's
    // header reader sees damage too): each loads or fails with a JPEG error.
    TempFolder folder;
    const QByteArray original = withOrientation(jpegOf(markedImage(64, 48)), 6);
    const QString path = folder.file("damaged.jpg");
    QRegularExpression jpegError(QStringLiteral("^JPEG error #\\d+$"));
    int loaded = 0;
    int failed = 0;
    auto attempt = [&](const QByteArray& bytes, const std::string& what) {
        writeBytes(path, bytes);
        try {
            const picture::PreviewPicture picture = picture::loadPreview(path);
            EXPECT_EQ(picture.image.size(), picture::previewPanelSize(picture.width, picture.height)) << what;
            ++loaded;
        } catch (const platform::Error& e) {
            EXPECT_TRUE(jpegError.match(e.message()).hasMatch()) << what << ": " << e.what();
            ++failed;
        }
    };
    for (qsizetype length = 1; length < original.size(); length += 3)
        attempt(original.left(length), "cut at " + std::to_string(length));
    quint32 seed = 12345;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1664525u + 1013904223u;
        QByteArray bytes = original;
        const qsizetype at = qsizetype((seed >> 8) % quint32(bytes.size()));
        bytes[at] = char(seed >> 24);
        attempt(bytes, "byte " + std::to_string(at) + " changed");
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(failed, 0);
}

// --- EXIF orientation ----------------------------------------------------------------------------

struct OrientationCase {
    int orientation;  // the EXIF value; 0 for a photo without the tag
    bool quarterTurn;
    Corner yellow;
    Corner blue;
    bool motorola = false;
};

void PrintTo(const OrientationCase& c, std::ostream* out)
{
    *out << "orientation " << c.orientation << (c.motorola ? " (MM)" : "");
}

class ExifOrientation : public testing::TestWithParam<OrientationCase> {};

TEST_P(ExifOrientation, PhotoIsShownUprightWithItsDisplayedSize)
{
    const OrientationCase c = GetParam();
    TempFolder folder;
    const QString path = folder.file("turned.jpg");
    const QByteArray plain = jpegOf(markedImage(160, 120));
    writeBytes(path, c.orientation ? withOrientation(plain, c.orientation, c.motorola) : plain);

    const QSize displayed = c.quarterTurn ? QSize(120, 160) : QSize(160, 120);
    const picture::PhotoFile photo = picture::readPhotoFile(path);
    EXPECT_EQ(photo.displayedSize(), displayed);
    EXPECT_EQ(photo.storedSize, QSize(160, 120));

    const picture::PreviewPicture picture = picture::loadPreview(path);
    EXPECT_EQ(QSize(picture.width, picture.height), displayed);
    EXPECT_EQ(picture.image.size(), c.quarterTurn ? QSize(225, 300) : QSize(400, 300));
    EXPECT_TRUE(hasColour(picture.image, c.yellow, Yellow));
    EXPECT_TRUE(hasColour(picture.image, c.blue, Blue));

    // Qt's own reader, turning the picture itself, agrees.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage reference = reader.read();
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(reference.size(), displayed);
    EXPECT_TRUE(hasColour(reference, c.yellow, Yellow));
    EXPECT_TRUE(hasColour(reference, c.blue, Blue));
}

INSTANTIATE_TEST_SUITE_P(
    AllEight, ExifOrientation,
    testing::Values(OrientationCase{0, false, Corner::TopLeft, Corner::TopRight},
                    OrientationCase{1, false, Corner::TopLeft, Corner::TopRight},
                    OrientationCase{2, false, Corner::TopRight, Corner::TopLeft},      // mirrored
                    OrientationCase{3, false, Corner::BottomRight, Corner::BottomLeft},  // 180°
                    OrientationCase{4, false, Corner::BottomLeft, Corner::BottomRight},  // flipped
                    OrientationCase{5, true, Corner::TopLeft, Corner::BottomLeft},      // transposed
                    OrientationCase{6, true, Corner::TopRight, Corner::BottomRight},    // 90° clockwise
                    OrientationCase{7, true, Corner::BottomRight, Corner::TopRight},    // transversed
                    OrientationCase{8, true, Corner::BottomLeft, Corner::TopLeft},      // 90° counter-clockwise
                    OrientationCase{6, true, Corner::TopRight, Corner::BottomRight, true},
                    OrientationCase{8, true, Corner::BottomLeft, Corner::TopLeft, true}));

TEST(ExifOrientationScaled, LargeTurnedPhotoIsDecodedReducedAndTurned)
{
    // Stored 1600 x 1200, shown 1200 x 1600 on a 225 x 300 panel: decoded at 1/4 (400 x 300).
    TempFolder folder;
    const QString path = folder.file("portrait.jpg");
    writeBytes(path, withOrientation(jpegOf(markedImage(1600, 1200)), 8));
    const picture::PreviewPicture picture = picture::loadPreview(path);
    EXPECT_EQ(QSize(picture.width, picture.height), QSize(1200, 1600));
    EXPECT_EQ(picture.image.size(), QSize(225, 300));
    EXPECT_TRUE(hasColour(picture.image, Corner::BottomLeft, Yellow));
    EXPECT_TRUE(hasColour(picture.image, Corner::TopLeft, Blue));
    EXPECT_TRUE(hasColour(picture.image, Corner::TopRight, Green));
}

// --- Reduced-scale decoding ----------------------------------------------------------------------

struct ScaleCase {
    QSize stored;
    QSize panel;
    int denominator;
};

void PrintTo(const ScaleCase& c, std::ostream* out)
{
    *out << c.stored.width() << " x " << c.stored.height() << " on " << c.panel.width() << " x "
         << c.panel.height();
}

class ScaleChoice : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleChoice, SmallestScaleThatStillCoversThePanel)
{
    const ScaleCase c = GetParam();
    EXPECT_EQ(picture::chooseScaleDenominator(c.stored, c.panel), c.denominator);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScaleChoice,
    testing::Values(ScaleCase{{6000, 4000}, {400, 266}, 8},
                    ScaleCase{{3200, 2400}, {400, 300}, 8},   // 1/8 is exactly the panel
                    ScaleCase{{3193, 2400}, {400, 300}, 8},   // 399.1 rounds up to 400
                    ScaleCase{{3192, 2400}, {400, 300}, 4},   // 399 is too narrow
                    ScaleCase{{3200, 2392}, {400, 300}, 4},   // 299 is too low
                    ScaleCase{{1600, 1200}, {400, 300}, 4},
                    ScaleCase{{800, 600}, {400, 300}, 2},
                    ScaleCase{{799, 600}, {400, 300}, 2},
                    ScaleCase{{798, 600}, {400, 300}, 1},
                    ScaleCase{{160, 120}, {400, 300}, 1},     // enlarged from full size
                    ScaleCase{{20000, 10}, {400, 0}, 8}));

TEST(JpegDecoding, ScaledSizeIsWhatTheScaleChoiceAssumes)
{
    const QByteArray bytes = jpegOf(markedImage(1001, 751));
    const QSize expected[] = {{1001, 751}, {501, 376}, {251, 188}, {126, 94}};
    const int denominators[] = {1, 2, 4, 8};
    for (int i = 0; i < 4; ++i) {
        const QImage image = picture::decodeJpeg(bytes, denominators[i]);
        EXPECT_EQ(image.size(), expected[i]) << "1/" << denominators[i];
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_TRUE(hasColour(image, Corner::TopLeft, Yellow)) << "1/" << denominators[i];
        EXPECT_TRUE(hasColour(image, Corner::TopRight, Blue)) << "1/" << denominators[i];
        EXPECT_TRUE(hasColour(image, Corner::BottomRight, Green)) << "1/" << denominators[i];
    }
}

TEST(JpegDecoding, PreviewIsScaledToTheExactPanel)
{
    TempFolder folder;
    const QString path = folder.file("wide.jpg");
    writeBytes(path, jpegOf(markedImage(3000, 2000)));
    const picture::PhotoFile photo = picture::readPhotoFile(path);
    const QImage image = picture::decodePreview(photo, QSize(400, 266));
    EXPECT_EQ(image.size(), QSize(400, 266));
    EXPECT_TRUE(hasColour(image, Corner::TopLeft, Yellow));
    EXPECT_TRUE(hasColour(image, Corner::TopRight, Blue));
    EXPECT_TRUE(hasColour(image, Corner::BottomLeft, Green));
    // The borders between the colours stay where they were: halfway across and down.
    EXPECT_TRUE(hasColour(image, QPoint(195, 5), Yellow));
    EXPECT_TRUE(hasColour(image, QPoint(205, 5), Blue));
    EXPECT_TRUE(hasColour(image, QPoint(100, 126), Yellow));
    EXPECT_TRUE(hasColour(image, QPoint(100, 140), Green));
    // An empty panel gives no picture, but only after the decoding went through.
    EXPECT_TRUE(picture::decodePreview(photo, QSize(400, 0)).isNull());
}

TEST(JpegDecoding, GreyAndCmykPhotosComeOutInTheirColours)
{
    TempFolder folder;
    QImage grey(120, 90, QImage::Format_Grayscale8);
    grey.fill(QColor(90, 90, 90));
    const QString greyPath = folder.file("grey.jpg");
    writeBytes(greyPath, jpegOf(grey));
    const picture::PreviewPicture greyPicture = picture::loadPreview(greyPath);
    EXPECT_TRUE(hasColour(greyPicture.image, QPoint(200, 150), QColor(90, 90, 90), 6));

    const uchar red[4] = {255, 0, 0, 255};  // no cyan, full magenta and yellow, no black
    const QString cmykPath = folder.file("cmyk.jpg");
    writeBytes(cmykPath, cmykJpeg(160, 120, red));
    const picture::PreviewPicture cmykPicture = picture::loadPreview(cmykPath);
    EXPECT_EQ(cmykPicture.image.size(), QSize(400, 300));
    EXPECT_TRUE(hasColour(cmykPicture.image, QPoint(200, 150), QColor(255, 0, 0), 12));
}

TEST(JpegDecoding, WorkerThreadsDecodeTheSameAsTheGuiThread)
{
    // Neighbours are decoded ahead of time off the GUI thread, several at once.
    TempFolder folder;
    const QString broken = folder.file("broken.jpg");
    writeBytes(broken, "not a photo");
    QStringList paths;
    for (int i = 0; i < 4; ++i) {
        paths << folder.file(QStringLiteral("photo%1.jpg").arg(i));
        writeBytes(paths.last(), withOrientation(jpegOf(markedImage(800 + 200 * i, 600)), 1 + 2 * i));
    }
    std::vector<QImage> expected;
    for (const QString& path : paths)
        expected.push_back(picture::loadPreview(path).image);

    std::vector<QImage> results(paths.size());
    std::vector<QString> errors(paths.size());
    std::vector<std::thread> workers;
    for (int round = 0; round < 3; ++round) {
        for (qsizetype i = 0; i < paths.size(); ++i)
            workers.emplace_back([&, i] {
                results[size_t(i)] = picture::loadPreview(paths[i]).image;
                try {
                    picture::loadPreview(broken);
                } catch (const platform::Error& e) {
                    errors[size_t(i)] = e.message();
                }
            });
        for (std::thread& worker : workers)
            worker.join();
        workers.clear();
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(results[i], expected[i]) << paths[qsizetype(i)].toStdString();
            EXPECT_EQ(errors[i], "JPEG error #53");
        }
    }
}

// --- Bitmaps and icons ---------------------------------------------------------------------------

TEST(OtherPictureTypes, BitmapAndIconGoThroughQtsReaders)
{
    TempFolder folder;
    const QString bitmap = folder.file("scan.BMP");
    ASSERT_TRUE(markedImage(200, 100).save(bitmap, "BMP"));
    const picture::PreviewPicture picture = picture::loadPreview(bitmap);
    EXPECT_EQ(QSize(picture.width, picture.height), QSize(200, 100));
    EXPECT_EQ(picture.image.size(), QSize(400, 200));
    EXPECT_TRUE(hasColour(picture.image, Corner::TopLeft, Yellow));
    EXPECT_TRUE(hasColour(picture.image, Corner::TopRight, Blue));

    const QString icon = folder.file("logo.ico");
    ASSERT_TRUE(markedImage(32, 32).save(icon, "ICO"));
    const picture::PreviewPicture iconPicture = picture::loadPreview(icon);
    EXPECT_EQ(QSize(iconPicture.width, iconPicture.height), QSize(32, 32));
    EXPECT_EQ(iconPicture.image.size(), QSize(300, 300));
    EXPECT_TRUE(hasColour(iconPicture.image, Corner::TopRight, Blue));

    writeBytes(bitmap, "BM but nothing else");
    expectError([&] { picture::loadPreview(bitmap); }, "Bitmap image is not valid");
    writeBytes(icon, jpegOf(markedImage(32, 32)));
    expectError([&] { picture::loadPreview(icon); }, "Icon image is not valid");
}

}  // namespace

TEST(PhotoFileLimits, RealPhotosOfEveryLayoutStillShowWithinTheMemoryLimit)
{
    // A 24-megapixel progressive photo with colour at full resolution needs the most of
    // libjpeg's own memory (its full-size coefficient buffers): it must still show.
    TempFolder folder;
    const JpegLayout layouts[] = {{3, true, true}, {3, false, false}, {1, true, false}, {4, false, false}};
    for (const JpegLayout& layout : layouts) {
        SCOPED_TRACE(std::to_string(layout.components) + (layout.progressive ? " progressive" : " baseline"));
        const QString path = folder.file("photo.jpg");
        writeBytes(path, writeJpegBytes(6000, 4000, layout, 90));
        picture::PreviewPicture picture;
        const qint64 rise = peakMemoryRise([&] { picture = picture::loadPreview(path); });
        EXPECT_EQ(picture.image.size(), QSize(400, 266));
        if (rise >= 0) {
            EXPECT_LT(rise, picture::MaxDecoderMemory + (qint64(32) << 20));
        }
    }
}
