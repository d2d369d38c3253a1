// The views of the photo in the real windows, on a 1920 x 1080 screen (offscreen), with camera
// photos of 24 megapixels carrying an EXIF thumbnail as cameras write it:
// - a cold jump (the photo not decoded ahead): how soon the preview shows the thumbnail, and the
//   decoded photo, against libjpeg's own decode of the same file at the preview's scale;
// - decodes per step with the preview alone, with the full-screen view, and with the big preview
//   too;
// - clicks on "Další" in a burst (ten and forty a second): how long after the last click the
//   preview shows the decoded photo, in decodes;
// - resident memory after stepping through 200 photos, then through the full-screen view, and
//   what the Czech dictionary adds.
#include "BenchSupport.h"
#include "CameraPhotos.h"
#include "app/Windows.h"
#include "picture/PhotoDecoding.h"
#include "picture/PictureService.h"
#include "picture/ThumbnailCache.h"
#include "spelling/SpellChecker.h"
#include "support/JpegWriter.h"
#include "ui/main/TForm1.h"
#include "ui/picture/BigPreview.h"
#include "ui/picture/FullScreenView.h"
#include "ui/picture/PhotoSlot.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <vector>

namespace {

QString makeAlbum(const QTemporaryDir& root, int count)
{
    return makeCameraAlbum(root, count, cameraPhoto());
}

double libjpegDecodeMs(int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(picture::decodeJpeg(cameraPhoto(), 8));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// Until the preview shows the decoded photo.
void waitForPreview(TForm1& form)
{
    if (form.previewSlot().complete())
        return;
    QEventLoop loop;
    QObject::connect(&form.previewSlot(), &ui::PhotoSlot::changed, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Program {
    QTemporaryDir root;
    BenchDialogs dialogs;
    std::unique_ptr<Windows> windows;
    TForm1* form = nullptr;

    explicit Program(int photos)
    {
        dialogs.folder = makeAlbum(root, photos);
        windows = std::make_unique<Windows>();
        form = windows->form1.get();
        form->ui().MenuOpen->trigger();
        form->show();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitForWindowActive(form))
            qWarning("the window never became active");
        form->pictures().waitForAll();
    }
};

void BM_ColdJump(benchmark::State& state)
{
    Program program(3);
    TForm1& form = *program.form;
    std::vector<double> firstPaint, full;
    for (auto _ : state) {
        form.BitBtnFirstClick();
        form.pictures().waitForAll();
        form.pictures().forget();
        QElapsedTimer timer;
        timer.start();
        form.BitBtnLastClick();
        form.ui().Image1->repaint();
        firstPaint.push_back(timer.nsecsElapsed() / 1e6);
        if (form.ui().Image1->isHidden())
            state.SkipWithError("no thumbnail shown");
        waitForPreview(form);
        full.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double libjpeg = libjpegDecodeMs(10);
    state.counters["first_paint_ms"] = median(firstPaint);
    state.counters["full_ms"] = median(full);
    state.counters["libjpeg_1_8_ms"] = libjpeg;
    state.counters["full_vs_libjpeg"] = median(full) / libjpeg;
}
BENCHMARK(BM_ColdJump)->Unit(benchmark::kMillisecond)->Iterations(15);

// 0: the preview alone; 1: with the full-screen view; 2: with the big preview too.
void BM_DecodesPerStep(benchmark::State& state)
{
    constexpr int Steps = 10;
    Program program(Steps + 2);
    TForm1& form = *program.form;
    for (auto _ : state) {
        form.BitBtnFirstClick();
        if (state.range(0) >= 2)
            form.bigPreview().open();
        if (state.range(0) >= 1)
            form.fullScreenView().open();
        QTest::qWait(300);  // the windows settle at their sizes
        form.pictures().waitForAll();
        const int before = form.pictures().decodeCount();
        for (int i = 0; i < Steps; ++i) {
            form.BitBtnNextClick();
            form.pictures().waitForAll();
        }
        state.counters["decodes_per_step"] = double(form.pictures().decodeCount() - before) / Steps;
    }
}
BENCHMARK(BM_DecodesPerStep)->Arg(0)->Arg(1)->Arg(2)->ArgName("views")->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ClickBurst(benchmark::State& state)
{
    constexpr int Steps = 20;
    Program program(Steps + 2);
    TForm1& form = *program.form;
    QWidget* next = form.ui().BitBtnNext;
    const QPointF centre = next->mapTo(&form, next->rect().center());
    for (auto _ : state) {
        form.BitBtnFirstClick();
        form.pictures().waitForAll();
        const int before = form.pictures().decodeCount();
        int sent = 0;
        QElapsedTimer sinceLast;
        QTimer clicks;
        clicks.setInterval(int(state.range(0)));
        QObject::connect(&clicks, &QTimer::timeout, [&] {
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                    form.windowHandle(), centre, form.mapToGlobal(centre),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
            if (++sent == Steps) {
                clicks.stop();
                sinceLast.start();
            }
        });
        QElapsedTimer all;
        all.start();
        clicks.start();
        const QString counter = QString::number(Steps + 1) + u'/';
        // Looked at every millisecond (QTest::qWaitFor sleeps 10 ms between looks).
        QEventLoop loop;
        QTimer look;
        look.setInterval(1);
        bool settled = false;
        QObject::connect(&look, &QTimer::timeout, [&] {
            settled = sent == Steps && form.ui().LabelFoto->text().startsWith(counter) && form.previewSlot().complete();
            if (settled || all.elapsed() > 60000)
                loop.quit();
        });
        look.start();
        loop.exec();
        const double tail = sinceLast.nsecsElapsed() / 1e6;
        if (!settled)
            state.SkipWithError("the clicks did not all count, or the photo never showed");
        const double decode = libjpegDecodeMs(5);
        state.counters["ms_after_last_click"] = tail;
        state.counters["in_decodes"] = tail / decode;
        state.counters["decodes_per_step"] = double(form.pictures().decodeCount() - before) / Steps;
    }
}
BENCHMARK(BM_ClickBurst)->Arg(100)->Arg(25)->ArgName("ms_between_clicks")->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ResidentMemory(benchmark::State& state)
{
    constexpr int Photos = 200;
    for (auto _ : state) {
        Program program(Photos);
        TForm1& form = *program.form;
        for (int i = 1; i < Photos; ++i) {
            form.BitBtnNextClick();
            form.pictures().waitForAll();
        }
        state.counters["rss_after_200_mb"] = residentMb();
        form.fullScreenView().open();
        for (int i = 0; i < 20; ++i) {
            form.BitBtnPreviousClick();
            form.pictures().waitForAll();
        }
        state.counters["rss_full_screen_mb"] = residentMb();
        form.fullScreenView().leave();
        const double before = residentMb();
        {
            SpellChecker checker(SpellChecker::systemDictionaryFolder(), program.root.filePath(QStringLiteral("words.txt")));
            state.counters["dictionary_mb"] = residentMb() - before;
        }
    }
}
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// Thumbnails made for the desktop's cache (not cached yet), one thread: from 24-megapixel photos
// with the camera's EXIF thumbnail, and without one (the fastest scaled decode, 1/8).
void BM_ThumbnailsMade(benchmark::State& state)
{
    const bool exif = state.range(0) != 0;
    QTemporaryDir root;
    const QString photo = root.filePath(QStringLiteral("photo.jpg"));
    QFile file(photo);
    file.open(QIODevice::WriteOnly);
    file.write(exif ? cameraPhoto() : cameraPhotoWithoutThumbnail());
    file.close();
    int made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cache;  // nothing cached
        const picture::ThumbnailCache thumbnails(cache.path());
        state.ResumeTiming();
        if (thumbnails.thumbnail(photo).isNull())
            state.SkipWithError("no thumbnail");
        ++made;
    }
    state.counters["thumbnails_per_second"] = benchmark::Counter(made, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThumbnailsMade)->Arg(1)->Arg(0)->ArgName("exif_thumbnail")->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    return runOnFullHdScreen(argc, argv);
}
