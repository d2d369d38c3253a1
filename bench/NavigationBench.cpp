// Moving to the next photo in the real main window: once the neighbour was decoded ahead while
// the user looked at the photo shown (half a second is plenty), and once without that. A fixed
// number of rounds: each round also waits, untimed, for the decoding ahead.
//
// Then a user pressing Alt+D ten (and forty) times a second through an album of large photos, the presses
// arriving as the window system delivers them (queued while the window is busy): how many
// photos are decoded per step, and how long the window stays busy after the last press until
// the preview shows the photo the counter names.
#include "app/Windows.h"
#include "BenchSupport.h"
#include "ui/main/TForm1.h"
#include "picture/PictureService.h"
#include "ui/picture/PhotoSlot.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <qpa/qwindowsysteminterface.h>

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
            form.pictures().waitForAll();
        else
            form.pictures().forget();
        state.ResumeTiming();
        form.BitBtnNextClick();
        while (!form.previewSlot().complete())  // to the decoded picture
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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

// An album of `count` photos of 24 megapixels (one picture, copied: each file is its own).
QString makeLargeAlbum(const QTemporaryDir& root, int count)
{
    const QString folder = root.filePath(QStringLiteral("large"));
    QDir().mkpath(folder);
    QImage image(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, ((x ^ y) * 5) & 255);
    }
    const QString first = folder + QStringLiteral("/p000.jpg");
    image.save(first, "JPEG", 90);
    for (int i = 1; i < count; ++i)
        QFile::copy(first, folder + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    return folder;
}

void BM_AltDBurst(benchmark::State& state)
{
    constexpr int Steps = 30;
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeLargeAlbum(root, Steps + 2);
    for (auto _ : state) {
        Windows windows;
        TForm1& form = *windows.form1;
        form.ui().MenuOpen->trigger();
        form.show();
        QApplication::setActiveWindow(&form);
        if (!QTest::qWaitForWindowActive(&form))
            state.SkipWithError("the window never became active");
        form.pictures().waitForAll();
        const int decodesBefore = form.pictures().decodeCount();
        int sent = 0;
        QElapsedTimer sinceLast;
        QTimer presses;
        presses.setInterval(int(state.range(0)));
        QObject::connect(&presses, &QTimer::timeout, [&] {
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease})
                QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                    form.windowHandle(), type, Qt::Key_D, Qt::AltModifier, QStringLiteral("d"));
            if (++sent == Steps) {
                presses.stop();
                sinceLast.start();
            }
        });
        presses.start();
        const QString last = dialogs.folder + QStringLiteral("/p%1.jpg").arg(Steps, 3, 10, QLatin1Char('0'));
        const bool settled = QTest::qWaitFor([&] {
            return sent == Steps && form.ui().LabelFoto->text().startsWith(QString::number(Steps + 1) + u'/')
                && form.ui().Image1->isVisible() && form.ui().Image1->toolTip().startsWith(last);
        }, 60000);
        const double busy = sinceLast.nsecsElapsed() / 1e6;
        if (!settled)
            state.SkipWithError("the preview never showed the last photo");
        state.counters["decodes_per_step"] = double(form.pictures().decodeCount() - decodesBefore) / Steps;
        state.counters["ms_after_last_press"] = busy;
    }
}
// Ten presses a second, and forty (faster than this machine decodes a 24-megapixel photo).
BENCHMARK(BM_AltDBurst)->Arg(100)->Arg(25)->ArgName("ms_between_presses")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

ALBISKO_BENCHMARK_MAIN()
