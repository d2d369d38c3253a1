// Opening a folder of 1,000 and 10,000 photos through the real main window (listing, table,
// album and photo fields), without the folder picker: a fixed answer stands in for it.
#include "app/Windows.h"
#include "BenchDialogs.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString makeFolder(const QTemporaryDir& root, int photos)
{
    const QString folder = root.filePath(QStringLiteral("album%1").arg(photos));
    QDir().mkpath(folder);
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.save(folder + QStringLiteral("/IMG_00000.jpg"), "JPEG");
    for (int i = 1; i < photos; ++i) {
        QFile file(folder + QStringLiteral("/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
    }
    return folder;
}

void BM_OpenFolder(benchmark::State& state)
{
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeFolder(root, int(state.range(0)));
    Windows windows;
    for (auto _ : state) {
        windows.form1->state().Modified = false;  // no save question between rounds
        windows.form1->ui().MenuOpen->trigger();
        benchmark::DoNotOptimize(windows.form1->table().RowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenFolder)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
