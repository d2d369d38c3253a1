// "Data fotek podle EXIF": reading the date taken of every photo of an album from its EXIF header.
#include "album/ExifDate.h"
#include "support/JpegWriter.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ExifDates(benchmark::State& state)
{
    QTemporaryDir root;
    // A 640 x 480 photo with the EXIF header a camera writes first; a JFIF header before it.
    QByteArray photo = withExifDates(writeJpegBytes(640, 480), "2003:07:14 10:00:00", "2003:07:15 11:00:00");
    QStringList paths;
    for (int i = 0; i < state.range(0); ++i) {
        paths << root.filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        QFile file(paths.back());
        file.open(QIODevice::WriteOnly);
        file.write(photo);
    }
    for (auto _ : state) {
        int dated = 0;
        for (const QString& path : paths)
            dated += album::exifDate(path).has_value();
        if (dated != paths.size())
            state.SkipWithError("a photo without its date");
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExifDates)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
