// The photo preview of a 6000 x 4000 JPEG on its 400 x 266 panel, and the same photo in the
// full-screen view of a 1920 x 1080 screen, each side by side with libjpeg's own decode of the
// same file at the same DCT scale, plus the peak memory of one preview above
// idle, measured in a fresh process, for the photo stored baseline and stored progressive.
//
//   preview_bench [Google Benchmark options]
//
// At the end it prints the ratios preview / libjpeg (budget: at most 1.3) and full screen /
// libjpeg (budget: at most 1.2), and the peak memory
// (budget: under 16 MB above idle for a baseline photo; a progressive photo needs libjpeg's
// full-size buffers, held under its memory limit).
#include "picture/PhotoDecoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

namespace {

constexpr int PhotoWidth = 6000;
constexpr int PhotoHeight = 4000;

QString photoPath;
QString progressivePhotoPath;  // the same picture stored progressive
int scaleDenominator = 0;
const QSize Screen(1920, 1080);
int fullScreenDenominator = 0;

// Something like a photograph: smooth gradients and shapes with fine grain, so that the file has
// the size and the entropy-coded work of a camera picture rather than of a flat colour.
bool writeTestPhotos(const QString& path, const QString& progressivePath)
{
    QImage image(PhotoWidth, PhotoHeight, QImage::Format_RGB32);
    quint32 seed = 2024;
    for (int y = 0; y < PhotoHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PhotoWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;  // -8 .. 7
            const double wave = std::sin(x / 97.0) * std::cos(y / 61.0);
            const int r = std::clamp(x * 255 / PhotoWidth + grain, 0, 255);
            const int g = std::clamp(y * 255 / PhotoHeight + grain, 0, 255);
            const int b = std::clamp(int(128 + 100 * wave) + grain, 0, 255);
            row[x] = qRgb(r, g, b);
        }
    }
    for (const QString& file : {path, progressivePath}) {
        QImageWriter writer(file, "jpeg");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(file == progressivePath);
        if (!writer.write(image))
            return false;
    }
    return true;
}

// --- libjpeg on its own, for comparison -----------------------------------------------------------

// The plain way: libjpeg reads the file itself and decodes it at 1/denominator into one row.
void plainLibjpegDecode(const QString& path, int denominator)
{
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(denominator);
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(size_t(cinfo.output_width) * size_t(cinfo.output_components));
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows, 1);
    benchmark::DoNotOptimize(row.data());
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

// --- Memory ---------------------------------------------------------------------------------------

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1.
long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Run in a fresh process: warm up on a small JPEG (plugins, libjpeg's tables), then reset the
// peak to the current resident size and do one decode. Prints "idle_kb peak_kb".
int measureMemory(const QString& what, const QString& path)
{
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small.jpg"));
    QImage warmUp(64, 48, QImage::Format_RGB32);
    warmUp.fill(Qt::gray);
    if (!warmUp.save(small, "JPEG"))
        return 1;
    picture::loadPreview(small);
    plainLibjpegDecode(small, 1);

    const long idle = statusKb("VmRSS");
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
    clearRefs.close();
    const long before = statusKb("VmHWM");
    if (what == QLatin1String("preview")) {
        const picture::PreviewPicture picture = picture::loadPreview(path);
        benchmark::DoNotOptimize(picture.image.constBits());
    } else {
        const QSize panel = picture::previewPanelSize(PhotoWidth, PhotoHeight);
        plainLibjpegDecode(path, picture::chooseScaleDenominator({PhotoWidth, PhotoHeight}, panel));
    }
    const long peak = statusKb("VmHWM");
    // Without the reset the peak before the decode may already be above idle; report the rise.
    std::printf("%ld %ld\n", idle, reset ? peak : idle + (peak - before));
    return 0;
}

struct MemoryFigures {
    long idleKb = -1;
    long peakKb = -1;
};

MemoryFigures memoryInFreshProcess(const QString& what, const QString& path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure-memory"), what, path});
    MemoryFigures figures;
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return figures;
    const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
    if (numbers.size() == 2) {
        figures.idleKb = numbers[0].toLong();
        figures.peakKb = numbers[1].toLong();
    }
    return figures;
}

// --- Benchmarks -----------------------------------------------------------------------------------

void BM_ShowPhotoPreview(benchmark::State& state)
{
    for (auto _ : state) {
        const picture::PreviewPicture picture = picture::loadPreview(photoPath);
        benchmark::DoNotOptimize(picture.image.constBits());
    }
}

void BM_LibjpegDecodeSameScale(benchmark::State& state)
{
    for (auto _ : state)
        plainLibjpegDecode(photoPath, scaleDenominator);
}

void BM_ShowPhotoFullScreen(benchmark::State& state)
{
    const picture::PictureSizeFor fit = [](int width, int height) { return picture::fitInto(width, height, Screen); };
    for (auto _ : state) {
        const picture::PreviewPicture picture = picture::loadPicture(photoPath, fit);
        benchmark::DoNotOptimize(picture.image.constBits());
    }
}

void BM_LibjpegDecodeFullScreenScale(benchmark::State& state)
{
    for (auto _ : state)
        plainLibjpegDecode(photoPath, fullScreenDenominator);
}

void BM_ReadPhotoFileOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const picture::PhotoFile photo = picture::readPhotoFile(photoPath);
        benchmark::DoNotOptimize(photo.storedSize);
    }
}

// Keeps every single run's time per benchmark so that the medians can be compared at the end.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    explicit CollectingReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }
    double median(const std::string& name) const
    {
        auto it = times.find(name);
        if (it == times.end() || it->second.empty())
            return 0;
        std::vector<double> sorted = it->second;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    std::map<std::string, std::vector<double>> times;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--measure-memory")
        return measureMemory(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QTemporaryDir dir;
    photoPath = dir.filePath(QStringLiteral("photo 6000x4000.jpg"));
    progressivePhotoPath = dir.filePath(QStringLiteral("progressive photo 6000x4000.jpg"));
    if (!dir.isValid() || !writeTestPhotos(photoPath, progressivePhotoPath)) {
        std::fprintf(stderr, "cannot write the test photo\n");
        return 1;
    }
    const QSize panel = picture::previewPanelSize(PhotoWidth, PhotoHeight);
    scaleDenominator = picture::chooseScaleDenominator({PhotoWidth, PhotoHeight}, panel);
    const QSize fullScreen = picture::fitInto(PhotoWidth, PhotoHeight, Screen);
    fullScreenDenominator = picture::chooseScaleDenominator({PhotoWidth, PhotoHeight}, fullScreen);
    std::printf("Photo %d x %d, %lld bytes; panel %d x %d, DCT scale 1/%d; full screen %d x %d, DCT scale 1/%d\n",
                PhotoWidth, PhotoHeight, static_cast<long long>(QFile(photoPath).size()), panel.width(),
                panel.height(), scaleDenominator, fullScreen.width(), fullScreen.height(), fullScreenDenominator);

    for (auto* b : {benchmark::RegisterBenchmark("ShowPhotoPreview", BM_ShowPhotoPreview),
                    benchmark::RegisterBenchmark("LibjpegDecodeSameScale", BM_LibjpegDecodeSameScale),
                    benchmark::RegisterBenchmark("ShowPhotoFullScreen", BM_ShowPhotoFullScreen),
                    benchmark::RegisterBenchmark("LibjpegDecodeFullScreenScale", BM_LibjpegDecodeFullScreenScale),
                    benchmark::RegisterBenchmark("ReadPhotoFileOnly", BM_ReadPhotoFileOnly)})
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

    // Repetitions in random interleaved order, so that both see the same state of the machine.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int argCount = int(args.size());
    benchmark::Initialize(&argCount, args.data());
    CollectingReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                       : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double preview = reporter.median("ShowPhotoPreview");
    const double plain = reporter.median("LibjpegDecodeSameScale");
    if (preview > 0 && plain > 0)
        std::printf("\nPreview / libjpeg at 1/%d (medians): %.3f (%.2f ms / %.2f ms; budget 1.3)\n",
                    scaleDenominator, preview / plain, preview, plain);
    const double full = reporter.median("ShowPhotoFullScreen");
    const double plainFull = reporter.median("LibjpegDecodeFullScreenScale");
    if (full > 0 && plainFull > 0)
        std::printf("Full screen / libjpeg at 1/%d (medians): %.3f (%.2f ms / %.2f ms; budget 1.2)\n",
                    fullScreenDenominator, full / plainFull, full, plainFull);

    for (const auto& [kind, path, budget] :
         {std::tuple{"baseline", photoPath, "budget 16 MB"},
          std::tuple{"progressive", progressivePhotoPath, "libjpeg's limit 256 MB"}}) {
        const MemoryFigures ours = memoryInFreshProcess(QStringLiteral("preview"), path);
        const MemoryFigures libjpeg = memoryInFreshProcess(QStringLiteral("libjpeg"), path);
        if (ours.peakKb >= 0 && libjpeg.peakKb >= 0)
            std::printf("Peak memory above idle, one decode of the %s photo (%lld bytes) in a fresh process: "
                        "preview %.1f MB, libjpeg alone %.1f MB (%s)\n",
                        kind, static_cast<long long>(QFile(path).size()), (ours.peakKb - ours.idleKb) / 1024.0,
                        (libjpeg.peakKb - libjpeg.idleKb) / 1024.0, budget);
        else
            std::printf("Peak memory of the %s photo: the measuring process failed\n", kind);
    }
    return 0;
}
