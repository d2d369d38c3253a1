#include "picture/PhotoDecoding.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>
#include <sys/stat.h>
#include <unistd.h>

namespace picture {

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

QSize fitInto(int width, int height, QSize area)
{
    if (width <= 0 || height <= 0)
        throw platform::Error(QStringLiteral("Invalid floating point operation"));
    // Compared in whole numbers: the side that limits is exact, the other rounded.
    if (qint64(width) * area.height() >= qint64(height) * area.width())
        return {area.width(), std::max(1, int((qint64(height) * area.width() + width / 2) / width))};
    return {std::max(1, int((qint64(width) * area.height() + height / 2) / height)), area.height()};
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

// A source reading the file piece by piece, never holding it whole. A read error ends the
// decoding (failed tells it from damaged data); the end of the file, as with libjpeg's own
// sources, inserts an end-of-image marker after a warning, so a truncated photo shows as far as
// its data goes.
struct FileSource {
    jpeg_source_mgr pub;  // first member: libjpeg sees a jpeg_source_mgr*
    int fd;
    JOCTET* buffer;
    size_t bufferSize;
    const std::atomic_bool* stop;  // when it turns true, reading ends the decoding
    bool failed;
    bool stopped;
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    FileSource* source = reinterpret_cast<FileSource*>(cinfo->src);
    if (source->stop && source->stop->load()) {
        source->stopped = true;
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    ssize_t got = 0;
    do
        got = ::read(source->fd, source->buffer, source->bufferSize);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        source->failed = true;
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (got == 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    FileSource* source = reinterpret_cast<FileSource*>(cinfo->src);
    if (count <= 0)
        return;
    if (size_t(count) <= source->pub.bytes_in_buffer) {
        source->pub.next_input_byte += count;
        source->pub.bytes_in_buffer -= size_t(count);
        return;
    }
    // Past what is in the buffer: the file position moves on; reading past the end gives the
    // end of the file, as anywhere else.
    const off_t beyond = off_t(size_t(count) - source->pub.bytes_in_buffer);
    source->pub.bytes_in_buffer = 0;
    if (::lseek(source->fd, beyond, SEEK_CUR) < 0) {
        source->failed = true;
        ERREXIT(cinfo, JERR_FILE_READ);
    }
}

// Everything one decoding needs, plain data only.
struct JpegJob {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    FileSource file;                  // with fd -1: the input is in memory
    const unsigned char* input;
    unsigned long inputSize;
    qint64 maxPixels;      // a picture claiming more pixels is refused after its header
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
    jpeg_decompress_struct& cinfo = job->cinfo;
    jpeg_create_decompress(&cinfo);
    // libjpeg's own buffers (the full-size coefficients of a progressive photo) stay within
    // bounds: more is refused (JERR_NO_BACKING_STORE) before it is allocated.
    cinfo.mem->max_memory_to_use = MaxDecoderMemory;
    if (job->file.fd >= 0) {
        job->file.pub.init_source = initSource;
        job->file.pub.fill_input_buffer = fillInputBuffer;
        job->file.pub.skip_input_data = skipInputData;
        job->file.pub.resync_to_restart = jpeg_resync_to_restart;
        job->file.pub.term_source = termSource;
        cinfo.src = &job->file.pub;
    } else {
        jpeg_mem_src(&cinfo, job->input, job->inputSize);
    }
    jpeg_read_header(&cinfo, TRUE);
    if (qint64(cinfo.image_width) * qint64(cinfo.image_height) > job->maxPixels)
        ERREXIT1(&cinfo, JERR_IMAGE_TOO_BIG, JPEG_MAX_DIMENSION);
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
    // Decodes the JPEG in `data`.
    explicit JpegDecoder(const QByteArray& data, qint64 maxPixels) : JpegDecoder()
    {
        job_.maxPixels = maxPixels;
        job_.input = reinterpret_cast<const unsigned char*>(data.constData());
        job_.inputSize = static_cast<unsigned long>(data.size());
    }
    // Decodes the JPEG read from the open file `fd` (named `path` in messages), from where it
    // stands; stops when `stop` turns true.
    JpegDecoder(int fd, const QString& path, const std::atomic_bool* stop) : JpegDecoder()
    {
        buffer_.resize(64 * 1024);
        job_.file.fd = fd;
        job_.file.stop = stop;
        job_.file.buffer = buffer_.data();
        job_.file.bufferSize = buffer_.size();
        path_ = path;
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
    JpegDecoder()
    {
        std::memset(&job_, 0, sizeof job_);
        job_.cinfo.err = jpeg_std_error(&job_.error.pub);
        job_.error.pub.error_exit = jumpBackOnError;
        job_.error.pub.emit_message = ignoreMessage;
        job_.error.pub.output_message = printNothing;
        job_.file.fd = -1;
        job_.maxPixels = MaxPhotoPixels;
    }

    void run(JpegStep step)
    {
        if (runGuarded(&job_, step))
            return;
        if (job_.file.stopped)
            throw platform::Error(QStringLiteral("Stopped"));
        if (job_.file.failed)
            throw platform::Error(QStringLiteral("Cannot open file %1").arg(path_));
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
    std::vector<JOCTET> buffer_;
    QString path_;
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

// A photo file open for reading: regular files only, so that nothing named like a photo (a
// FIFO, a device) can make the program wait or read without end.
class OpenPhoto {
public:
    explicit OpenPhoto(const QString& path) : path_(path), fd_(platform::openRegularFile(path))
    {
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0)
            throw platform::Error(QStringLiteral("Cannot open file %1").arg(path));
        size_ = st.st_size;
    }
    ~OpenPhoto()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenPhoto(const OpenPhoto&) = delete;
    OpenPhoto& operator=(const OpenPhoto&) = delete;

    int fd() const { return fd_; }
    qint64 size() const { return size_; }

    // The file from its start, for Qt's readers (the descriptor stays ours).
    std::unique_ptr<QFile> device() const
    {
        auto file = std::make_unique<QFile>();
        if (::lseek(fd_, 0, SEEK_SET) != 0 || !file->open(fd_, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            throw platform::Error(QStringLiteral("Cannot open file %1").arg(path_));
        return file;
    }

    // A JPEG decoder reading the file from its start. A file larger than any photo is refused
    // as too big a picture, before anything is read.
    std::unique_ptr<JpegDecoder> jpegDecoder(const std::atomic_bool* stop = nullptr) const
    {
        if (size_ > MaxPhotoFileBytes)
            throw platform::Error(QStringLiteral("JPEG error #%1").arg(int(JERR_IMAGE_TOO_BIG)));
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            throw platform::Error(QStringLiteral("Cannot open file %1").arg(path_));
        auto decoder = std::make_unique<JpegDecoder>(fd_, path_, stop);
        decoder->readHeader();
        return decoder;
    }

private:
    QString path_;
    int fd_ = -1;
    qint64 size_ = 0;
};

// A Qt reader for a bitmap or an icon.
struct DeviceReader {
    DeviceReader(std::unique_ptr<QFile> file, const char* format) : device(std::move(file))
    {
        reader.setDevice(device.get());
        reader.setFormat(format);
        reader.setDecideFormatFromContent(false);
    }
    std::unique_ptr<QFile> device;
    QImageReader reader;
};

const char* qtFormatOf(PhotoFile::Kind kind)
{
    return kind == PhotoFile::Kind::Icon ? "ico" : "bmp";
}

QString invalidImageMessage(PhotoFile::Kind kind)
{
    return kind == PhotoFile::Kind::Icon ? QStringLiteral("Icon image is not valid")
                                         : QStringLiteral("Bitmap image is not valid");
}

}  // namespace

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

namespace {

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
    const OpenPhoto file(path);
    if (file.size() == 0) {
        photo.storedSize = QSize(0, 0);
        return photo;
    }

    if (photo.kind == PhotoFile::Kind::Jpeg) {
        photo.storedSize = file.jpegDecoder()->size();
        // The orientation tag is read by Qt's JPEG reader, which parses the header only.
        DeviceReader exif(file.device(), "jpeg");
        photo.transformation = exif.reader.transformation();
    } else {
        DeviceReader reader(file.device(), qtFormatOf(photo.kind));
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

QImage decodeJpeg(const QByteArray& data, int scaleDenominator, qint64 maxPixels)
{
    JpegDecoder decoder(data, maxPixels);
    decoder.readHeader();
    return decoder.decode(scaleDenominator);
}

QImage decodePreview(const PhotoFile& photo, QSize panel, const std::atomic_bool* stop)
{
    const bool quarter = turnsByAQuarter(photo.transformation);
    const QSize storedPanel = quarter ? panel.transposed() : panel;

    // The file is read again, piece by piece: a photo is never held whole.
    const OpenPhoto file(photo.path);
    QImage picture;
    if (photo.kind == PhotoFile::Kind::Jpeg) {
        const auto decoder = file.jpegDecoder(stop);
        picture = decoder->decode(chooseScaleDenominator(decoder->size(), storedPanel));
    } else {
        DeviceReader reader(file.device(), qtFormatOf(photo.kind));
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

PreviewPicture loadPreview(const QString& path, const std::atomic_bool* stop)
{
    return loadPicture(path, previewPanelSize, stop);
}

PreviewPicture loadPicture(const QString& path, const PictureSizeFor& sizeFor, const std::atomic_bool* stop)
{
    const PhotoFile photo = readPhotoFile(path);
    const QSize displayed = photo.displayedSize();
    const QSize size = sizeFor(displayed.width(), displayed.height());
    return {displayed.width(), displayed.height(), decodePreview(photo, size, stop)};
}

}  // namespace picture
