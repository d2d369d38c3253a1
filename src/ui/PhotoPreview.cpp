#include "ui/PhotoPreview.h"

#include "platform/Errors.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>

#include <jpeglib.h>

namespace ui {

// ---------------------------------------------------------------------------------------------
// Panel size

QSize previewPanelSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        throw platform::Error(QStringLiteral("Invalid floating point operation"));

    // The ratio is rounded to a double first; everything after it is done in extended
    // precision from that double. This matters: 900 x 1000 gives 249 (not 250) and
    // 1600 x 896 gives 223 (not 224).
    const double r = double(width) / double(height);
    const long double ratio = r;
    auto truncated = [](long double value) { return int(std::trunc(value)); };

    int panelWidth;
    int panelHeight;
    if (width < height) {
        panelWidth = 225;
        panelHeight = truncated(225.0L / ratio);
    } else if (qint64(width) * 3 == qint64(height) * 4) {
        panelWidth = PreviewAreaWidth;
        panelHeight = PreviewAreaHeight;
    } else if (400.0L / ratio <= 300.0L) {
        panelWidth = 400;
        panelHeight = truncated(400.0L / ratio);
    } else {
        panelHeight = 300;
        panelWidth = truncated(300.0L * ratio);
    }
    return {std::min(panelWidth, PreviewAreaWidth), std::min(panelHeight, PreviewAreaHeight)};
}

// ---------------------------------------------------------------------------------------------
// libjpeg under the program's own error manager
//
// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps back
// with longjmp to the setjmp in runGuarded(). The jump skips only libjpeg's frames and the
// plain step functions below, none of which owns an object with a destructor; everything the
// C++ code owns lives in the callers of runGuarded(), which the jump never crosses.

namespace {

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf jump;
};

[[noreturn]] void jumpBackOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings and traces are ignored: a truncated or slightly damaged JPEG shows what it has.
void ignoreMessage(j_common_ptr, int) {}
void printNothing(j_common_ptr) {}

// Everything one decoding needs, plain data only.
struct JpegJob {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    const unsigned char* input;
    unsigned long inputSize;
    int scaleDenominator;
    bool cmyk;             // the output is C, M, Y, K bytes to be turned into RGB afterwards
    unsigned char* pixels;  // the first row of the output picture
    qsizetype bytesPerLine;
};

using JpegStep = void (*)(JpegJob*);

// Runs one step; false when libjpeg gave up (its message code is in job->error.pub.msg_code).
// Only `job` (never changed here) is used after the jump.
bool runGuarded(JpegJob* job, JpegStep step)
{
    if (setjmp(job->error.jump))
        return false;
    step(job);
    return true;
}

void readHeaderStep(JpegJob* job)
{
    jpeg_create_decompress(&job->cinfo);
    jpeg_mem_src(&job->cinfo, job->input, job->inputSize);
    jpeg_read_header(&job->cinfo, TRUE);
}

void startStep(JpegJob* job)
{
    jpeg_decompress_struct& cinfo = job->cinfo;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(job->scaleDenominator);
    cinfo.dct_method = JDCT_ISLOW;
    // libjpeg cannot turn CMYK into RGB; such files come out as CMYK and are converted here.
    job->cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (job->cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else  // straight into QImage::Format_RGB32 (0xffRRGGBB in native byte order)
        cinfo.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    jpeg_start_decompress(&cinfo);
}

void readScanlinesStep(JpegJob* job)
{
    jpeg_decompress_struct& cinfo = job->cinfo;
    constexpr int batch = 16;
    JSAMPROW rows[batch];
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(batch, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = job->pixels + (first + i) * job->bytesPerLine;
        if (jpeg_read_scanlines(&cinfo, rows, count) == 0)
            break;  // a memory source never suspends; this only guards against a loop
    }
}

// Owns a JpegJob and destroys libjpeg's state whatever happens.
class JpegDecoder {
public:
    explicit JpegDecoder(const QByteArray& data)
    {
        std::memset(&job_, 0, sizeof job_);
        job_.cinfo.err = jpeg_std_error(&job_.error.pub);
        job_.error.pub.error_exit = jumpBackOnError;
        job_.error.pub.emit_message = ignoreMessage;
        job_.error.pub.output_message = printNothing;
        job_.input = reinterpret_cast<const unsigned char*>(data.constData());
        job_.inputSize = static_cast<unsigned long>(data.size());
    }
    // Safe at any point: the job starts zeroed and libjpeg frees only what it allocated.
    ~JpegDecoder() { jpeg_destroy_decompress(&job_.cinfo); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    void readHeader() { run(readHeaderStep); }
    QSize size() const { return QSize(int(job_.cinfo.image_width), int(job_.cinfo.image_height)); }

    QImage decode(int scaleDenominator)
    {
        job_.scaleDenominator = scaleDenominator;
        run(startStep);
        QImage image(int(job_.cinfo.output_width), int(job_.cinfo.output_height),
                     QImage::Format_RGB32);
        if (image.isNull())
            throw platform::Error(QStringLiteral("Out of memory"));
        job_.pixels = image.bits();
        job_.bytesPerLine = image.bytesPerLine();
        run(readScanlinesStep);
        const int done = int(job_.cinfo.output_scanline);
        if (done < image.height())  // cannot happen with a memory source; keep it defined
            std::memset(image.scanLine(done), 0, size_t(image.height() - done) * image.bytesPerLine());
        if (job_.cmyk)
            cmykToRgb(image);
        // The remaining data (anything after the last scan) is of no interest: the destructor
        // ends the decoding without reading it.
        return image;
    }

private:
    void run(JpegStep step)
    {
        if (!runGuarded(&job_, step))
            throw platform::Error(QStringLiteral("JPEG error #%1").arg(job_.error.pub.msg_code));
    }

    // CMYK JPEGs are written inverted (the Adobe convention), so each byte is already 255 minus
    // the ink; the colour is (c * k, m * k, y * k) / 255.
    static void cmykToRgb(QImage& image)
    {
        for (int y = 0; y < image.height(); ++y) {
            uchar* p = image.scanLine(y);
            QRgb* out = reinterpret_cast<QRgb*>(p);
            for (int x = 0; x < image.width(); ++x, p += 4) {
                const int k = p[3];
                out[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
            }
        }
    }

    JpegJob job_;
};

// ---------------------------------------------------------------------------------------------
// Files

QString extensionOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

PhotoFile::Kind kindOf(const QString& path)
{
    const QString extension = extensionOf(path);
    auto is = [&](const char* known) {
        return extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
    };
    if (is("jpg") || is("jpeg"))
        return PhotoFile::Kind::Jpeg;
    if (is("bmp"))
        return PhotoFile::Kind::Bitmap;
    if (is("ico"))
        return PhotoFile::Kind::Icon;
    if (is("wmf") || is("emf"))
        throw platform::Error(QStringLiteral("Unsupported picture file format (.%1)").arg(extension));
    throw platform::Error(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(path));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(path));
    return data;
}

// A reader for the bytes already in memory (QBuffer shares them, it does not copy).
struct MemoryReader {
    MemoryReader(const QByteArray& data, const char* format)
    {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(format);
        reader.setDecideFormatFromContent(false);
    }
    QBuffer buffer;
    QImageReader reader;
};

QString invalidImageMessage(PhotoFile::Kind kind)
{
    return kind == PhotoFile::Kind::Icon ? QStringLiteral("Icon image is not valid")
                                         : QStringLiteral("Bitmap image is not valid");
}

QImage oriented(QImage image, QImageIOHandler::Transformations transformation)
{
    // Qt's own order: mirror and flip first, then a quarter turn clockwise.
    const bool mirror = transformation.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = transformation.testFlag(QImageIOHandler::TransformationFlip);
    if (mirror || flip)
        image = std::move(image).mirrored(mirror, flip);
    if (transformation.testFlag(QImageIOHandler::TransformationRotate90))
        image = image.transformed(QTransform().rotate(90));
    return image;
}

bool turnsByAQuarter(QImageIOHandler::Transformations transformation)
{
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

QSize PhotoFile::displayedSize() const
{
    return turnsByAQuarter(transformation) ? storedSize.transposed() : storedSize;
}

PhotoFile readPhotoFile(const QString& path)
{
    PhotoFile photo;
    photo.path = path;
    photo.kind = kindOf(path);
    photo.data = readWholeFile(path);
    if (photo.data.isEmpty()) {
        photo.storedSize = QSize(0, 0);
        return photo;
    }

    if (photo.kind == PhotoFile::Kind::Jpeg) {
        JpegDecoder decoder(photo.data);
        decoder.readHeader();
        photo.storedSize = decoder.size();
        // The orientation tag is read by Qt's JPEG reader, which parses the header only.
        MemoryReader exif(photo.data, "jpeg");
        photo.transformation = exif.reader.transformation();
    } else {
        MemoryReader reader(photo.data, photo.kind == PhotoFile::Kind::Icon ? "ico" : "bmp");
        photo.storedSize = reader.reader.size();
        if (!photo.storedSize.isValid() || photo.storedSize.isEmpty())
            throw platform::Error(invalidImageMessage(photo.kind));
    }
    return photo;
}

int chooseScaleDenominator(QSize stored, QSize panel)
{
    for (int denominator : {8, 4, 2}) {
        // libjpeg's scaled size: the stored size divided and rounded up
        const qint64 width = (qint64(stored.width()) + denominator - 1) / denominator;
        const qint64 height = (qint64(stored.height()) + denominator - 1) / denominator;
        if (width >= panel.width() && height >= panel.height())
            return denominator;
    }
    return 1;
}

QImage decodeJpeg(const QByteArray& data, int scaleDenominator)
{
    JpegDecoder decoder(data);
    decoder.readHeader();
    return decoder.decode(scaleDenominator);
}

QImage decodePreview(const PhotoFile& photo, QSize panel)
{
    const bool quarter = turnsByAQuarter(photo.transformation);
    const QSize storedPanel = quarter ? panel.transposed() : panel;

    QImage picture;
    if (photo.kind == PhotoFile::Kind::Jpeg) {
        JpegDecoder decoder(photo.data);
        decoder.readHeader();
        picture = decoder.decode(chooseScaleDenominator(decoder.size(), storedPanel));
    } else {
        MemoryReader reader(photo.data, photo.kind == PhotoFile::Kind::Icon ? "ico" : "bmp");
        if (!reader.reader.read(&picture))
            throw platform::Error(invalidImageMessage(photo.kind));
    }

    if (panel.isEmpty())
        return {};
    // Scaling first and turning the small result afterwards gives the same picture as the
    // other way round, with less to turn.
    if (picture.size() != storedPanel)
        picture = picture.scaled(storedPanel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return oriented(std::move(picture), photo.transformation);
}

PreviewPicture loadPreview(const QString& path)
{
    const PhotoFile photo = readPhotoFile(path);
    const QSize displayed = photo.displayedSize();
    const QSize panel = previewPanelSize(displayed.width(), displayed.height());
    return {displayed.width(), displayed.height(), decodePreview(photo, panel)};
}

}  // namespace ui
