// Moving to the next photo in the real main window: once the neighbour was decoded ahead while
// the user looked at the photo shown (half a second is plenty), and once without that. A fixed
// number of rounds: each round also waits, untimed, for the decoding ahead.
#include "app/Windows.h"
#include "BenchSupport.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Two camera-sized photos with some detail in them.
QString makeFolder(const QTemporaryDir& root)
{
    const QString folder = root.filePath(QStringLiteral("album"));
    QDir().mkpath(folder);
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, ((x ^ y) * 5) & 255);
    }
    image.save(folder + QStringLiteral("/a.jpg"), "JPEG", 90);
    image.save(folder + QStringLiteral("/b.jpg"), "JPEG", 90);
    return folder;
}

void moveToNext(benchmark::State& state, bool prefetched)
{
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeFolder(root);
    Windows windows;
    TForm1& form = *windows.form1;
    form.ui().MenuOpen->trigger();
    for (auto _ : state) {
        state.PauseTiming();
        form.BitBtnFirstClick();
        if (prefetched)
            form.previewPrefetch().waitForAll();
        else
            form.previewPrefetch().prefetch({});
        state.ResumeTiming();
        form.BitBtnNextClick();
    }
}

void BM_NextPhotoDecodedAhead(benchmark::State& state)
{
    moveToNext(state, true);
}
BENCHMARK(BM_NextPhotoDecodedAhead)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_NextPhotoDecodedOnTheSpot(benchmark::State& state)
{
    moveToNext(state, false);
}
BENCHMARK(BM_NextPhotoDecodedOnTheSpot)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

ALBISKO_BENCHMARK_MAIN()
