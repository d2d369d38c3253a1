// The album's overview in the real main window, maximised on a 1920 x 1080 screen (offscreen),
// with camera photos of 24 megapixels carrying an EXIF thumbnail (hard links of one photo: each
// its own file name, so its own thumbnail, read from the page cache):
// - Open of 1,000 photos, thumbnails cached or not: after the first photo is shown, how soon the
//   first row of tiles and every tile in view show their thumbnails (painted), and, not cached,
//   how soon all 1,000 are made;
// - 10,000 photos, cached: each screenful, scrolled to from the one before, until painted with
//   every thumbnail;
// - while the thumbnails of 1,000 photos are made: a step ("Další"), a key typed into the title,
//   a click on a tile, each from the input to the painted first picture or text;
// - resident memory of 50,000 photos with the overview against the same album without it.
#include "BenchSupport.h"
#include "CameraPhotos.h"
#include "app/Windows.h"
#include "picture/PictureService.h"
#include "picture/ThumbnailMaker.h"
#include "ui/main/TForm1.h"
#include "ui/overview/AlbumOverview.h"
#include "ui/overview/OverviewPlace.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QtConcurrent>
#include <benchmark/benchmark.h>

namespace {

// The program with its own thumbnail cache, its main window maximised (or at its built-in size).
struct Program {
    QTemporaryDir cacheHome;
    BenchDialogs dialogs;
    std::unique_ptr<Windows> windows;
    TForm1* form = nullptr;

    Program(const QString& folder, bool maximised, const QString& cache = {})
    {
        qputenv("XDG_CACHE_HOME", (cache.isEmpty() ? cacheHome.path() : cache).toLocal8Bit());
        dialogs.folder = folder;
        windows = std::make_unique<Windows>();
        form = windows->form1.get();
        if (maximised)
            form->showMaximized();
        else
            form->show();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitForWindowActive(form))
            qWarning("the window never became active");
    }
    AlbumOverview& overview() { return form->overviewPlace().overview(); }
    picture::ThumbnailMaker& thumbnails() { return form->pictures().thumbnails(); }

    // Every tile from `first` to `end` (not included) has its thumbnail at hand.
    bool thumbnailsAt(int first, int end)
    {
        for (int row = first; row < end; ++row)
            if (!thumbnails().find(form->album().photoPath(row)))
                return false;
        return true;
    }
    // Every tile in view has its thumbnail at hand.
    bool inViewMade()
    {
        const auto [first, end] = overview().rowsInView();
        return thumbnailsAt(first, end);
    }
    // Waits until `done`, looked at after every event (the program's own loop sleeps only while
    // nothing comes), then paints the tiles; the time from `timer`.
    double until(const QElapsedTimer& timer, const std::function<bool()>& done, int limitMs = 60000)
    {
        QTimer wake;  // for conditions no event brings
        wake.start(5);
        while (!done() && timer.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        overview().viewport()->repaint();
        return timer.nsecsElapsed() / 1e6;
    }
};

// The desktop's cache under `home` filled with the thumbnails of every photo in `folder`.
void fillCache(const QString& home, const QString& folder, int count)
{
    const picture::ThumbnailCache cache(home);
    QList<int> rows(count);
    std::iota(rows.begin(), rows.end(), 0);
    QtConcurrent::blockingMap(rows, [&](int i) {
        cache.thumbnail(cameraPhotoPath(folder, i));
    });
}

// One thumbnail read back from the desktop's cache (the photo's state, the name, the PNG).
void BM_CachedThumbnailRead(benchmark::State& state)
{
    QTemporaryDir root;
    const QString folder = makeCameraAlbum(root, 1, cameraPhoto());
    QTemporaryDir cache;
    fillCache(cache.path(), folder, 1);
    const picture::ThumbnailCache thumbnails(cache.path());
    const QString photo = cameraPhotoPath(folder, 0);
    for (auto _ : state)
        if (thumbnails.cached(photo).isNull())
            state.SkipWithError("not cached");
}
BENCHMARK(BM_CachedThumbnailRead)->Unit(benchmark::kMicrosecond);

void BM_OverviewOpen(benchmark::State& state)
{
    constexpr int Photos = 1000;
    const bool cached = state.range(0) != 0;
    QTemporaryDir root;
    const QString folder = makeCameraAlbum(root, Photos, cameraPhoto(), true);
    QTemporaryDir cache;
    if (cached)
        fillCache(cache.path(), folder, Photos);
    for (auto _ : state) {
        QTemporaryDir fresh;
        Program program(folder, true, cached ? cache.path() : fresh.path());
        QElapsedTimer timer;
        program.form->ui().MenuOpen->trigger();
        timer.start();  // the first photo is shown
        const int columns = program.overview().columns();
        state.counters["first_row_ms"] = program.until(timer, [&] { return program.thumbnailsAt(0, columns); });
        state.counters["in_view_ms"] = program.until(timer, [&] { return program.inViewMade(); });
        const auto [first, end] = program.overview().rowsInView();
        state.counters["tiles_in_view"] = end - first;
        if (!cached)
            state.counters["all_made_s"] = program.until(timer, [&] { return program.thumbnails().idle(); }) / 1000;
    }
}
BENCHMARK(BM_OverviewOpen)->Arg(1)->Arg(0)->ArgName("cached")->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OverviewScroll(benchmark::State& state)
{
    constexpr int Photos = 10000;
    QTemporaryDir root;
    const QString folder = makeCameraAlbum(root, Photos, cameraPhoto(), true);
    QTemporaryDir cache;
    fillCache(cache.path(), folder, Photos);
    for (auto _ : state) {
        Program program(folder, true, cache.path());
        program.form->ui().MenuOpen->trigger();
        QScrollBar* bar = program.overview().verticalScrollBar();
        std::vector<double> screenfuls;
        while (bar->value() < bar->maximum()) {
            QElapsedTimer timer;
            timer.start();
            bar->setValue(bar->value() + bar->pageStep());
            screenfuls.push_back(program.until(timer, [&] { return program.inViewMade(); }));
        }
        state.counters["screenfuls"] = double(screenfuls.size());
        std::string slow;
        for (std::size_t i = 0; i < screenfuls.size(); ++i)
            if (screenfuls[i] > 16)
                slow += std::to_string(i) + ":" + std::to_string(int(screenfuls[i])) + "ms ";
        state.SetLabel("over 16 ms: " + slow);
        state.counters["median_ms"] = median(screenfuls);
        state.counters["max_ms"] = *std::max_element(screenfuls.begin(), screenfuls.end());
        state.counters["over_16ms"] = double(std::count_if(screenfuls.begin(), screenfuls.end(), [](double ms) { return ms > 16; }));
    }
}
BENCHMARK(BM_OverviewScroll)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_InputWhileMaking(benchmark::State& state)
{
    constexpr int Photos = 1000;
    constexpr int Rounds = 20;
    QTemporaryDir root;
    const QString folder = makeCameraAlbum(root, Photos, cameraPhoto(), true);
    for (auto _ : state) {
        QTemporaryDir fresh;
        Program program(folder, true, fresh.path());
        TForm1& form = *program.form;
        form.ui().MenuOpen->trigger();
        std::vector<double> steps, keys, clicks;
        const auto measure = [](std::vector<double>& into, const std::function<void()>& input, QWidget* painted) {
            QElapsedTimer timer;
            timer.start();
            input();
            painted->repaint();
            into.push_back(timer.nsecsElapsed() / 1e6);
            QTest::qWait(30);  // the workers go on meanwhile
        };
        for (int i = 0; i < Rounds; ++i) {
            measure(steps, [&] { form.ui().BitBtnNext->click(); }, form.ui().Image1);
            measure(keys, [&] { QTest::keyClick(form.ui().EditFTitle, Qt::Key_A); }, form.ui().EditFTitle);
            AlbumOverview& overview = program.overview();
            const int row = (i * 7) % overview.columns() + overview.columns();
            measure(clicks, [&] {
                QTest::mouseClick(overview.viewport(), Qt::LeftButton, {}, overview.tileRect(row).center());
            }, form.ui().Image1);
        }
        state.counters["still_making"] = program.thumbnails().laterLeft();
        state.counters["step_max_ms"] = *std::max_element(steps.begin(), steps.end());
        state.counters["step_median_ms"] = median(steps);
        state.counters["key_max_ms"] = *std::max_element(keys.begin(), keys.end());
        state.counters["key_median_ms"] = median(keys);
        state.counters["click_max_ms"] = *std::max_element(clicks.begin(), clicks.end());
        state.counters["click_median_ms"] = median(clicks);
    }
}
BENCHMARK(BM_InputWhileMaking)->Unit(benchmark::kMillisecond)->Iterations(1);

// 0: the main window at its built-in size (no room: no overview); 1: maximised with it.
void BM_OverviewMemory(benchmark::State& state)
{
    constexpr int Photos = 50000;
    QTemporaryDir root;
    const QString folder = makeCameraAlbum(root, Photos, cameraPhoto(), true);
    for (auto _ : state) {
        Program program(folder, state.range(0) != 0);
        program.form->ui().MenuOpen->trigger();
        program.form->pictures().waitForAll();
        program.thumbnails().waitForAll();
        QTest::qWait(3000);  // thumbnails are made meanwhile
        QScrollBar* bar = program.overview().verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        program.thumbnails().waitForAll();
        state.counters["rss_mb"] = residentMb();
        state.counters["overview_shown"] = program.overview().isVisible();
    }
}
BENCHMARK(BM_OverviewMemory)->Arg(0)->Arg(1)->ArgName("overview")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    return runOnFullHdScreen(argc, argv);
}
