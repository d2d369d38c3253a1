// Opening a folder of 1,000, 10,000 and 50,000 photos with an "info.txt" holding a section for
// each, through the real main window (listing, table, captions, album and photo fields, the
// first photo's preview), without the folder picker: a fixed answer stands in for it. Saving it
// again whole. Beside each, in the same run, its floor: listing the same folder with readdir and
// a stat of each entry; writing the same bytes durably (write, fdatasync, rename).
#include "app/Windows.h"
#include "BenchSupport.h"
#include "platform/FileSystem.h"
#include "ui/main/TForm1.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString makeFolder(const QTemporaryDir& root, int photos)
{
    const QString folder = root.filePath(QStringLiteral("album%1").arg(photos));
    QDir().mkpath(folder);
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.save(folder + QStringLiteral("/IMG_00000.jpg"), "JPEG");
    QByteArray captions = "[head]\r\nname=Velk\xE9 album\r\ndate=15.1.2004\r\ndesc=\"Popis alba\"\r\nrights=0\r\n";
    for (int i = 0; i < photos; ++i) {
        const QByteArray key = QStringLiteral("IMG_%1").arg(i, 5, 10, QLatin1Char('0')).toLatin1();
        if (i > 0) {
            QFile file(folder + u'/' + QString::fromLatin1(key) + QStringLiteral(".jpg"));
            file.open(QIODevice::WriteOnly);
        }
        captions += "[" + key + "]\r\ntitle=Fotka " + key + "\r\nname=" + key + "\r\ndate=16.1.2004\r\n"
                    "desc=\"Dlouh\xFD popis fotky\"\r\nrights=0\r\n";
    }
    QFile info(folder + QStringLiteral("/info.txt"));
    info.open(QIODevice::WriteOnly);
    info.write(captions);
    return folder;
}

void BM_OpenFolder(benchmark::State& state)
{
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeFolder(root, int(state.range(0)));
    Windows windows;
    for (auto _ : state) {
        windows.album->state().Modified = false;  // no save question between rounds
        windows.form1->ui().MenuOpen->trigger();
        benchmark::DoNotOptimize(windows.album->table().RowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenFolder)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Save of the opened album: "info.txt" written whole, through the main window's Save.
void BM_SaveAlbum(benchmark::State& state)
{
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeFolder(root, int(state.range(0)));
    Windows windows;
    windows.form1->ui().MenuOpen->trigger();
    for (auto _ : state)
        windows.form1->MenuSaveClick();  // the menu item is disabled once saved
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SaveAlbum)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The floor of Open's listing: every entry of the folder read and stated, nothing else.
void BM_ListingFloor(benchmark::State& state)
{
    QTemporaryDir root;
    const QString folder = makeFolder(root, int(state.range(0)));
    for (auto _ : state) {
        DIR* dir = ::opendir(QFile::encodeName(folder).constData());
        const int fd = ::dirfd(dir);
        qint64 total = 0;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st {};
            if (::fstatat(fd, entry->d_name, &st, 0) == 0)
                total += st.st_mtim.tv_sec;
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ListingFloor)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The floor of Save: the bytes Save writes, written durably in their place.
void BM_WritingFloor(benchmark::State& state)
{
    QTemporaryDir root;
    BenchDialogs dialogs;
    dialogs.folder = makeFolder(root, int(state.range(0)));
    QByteArray bytes;
    {
        Windows windows;
        windows.form1->ui().MenuOpen->trigger();
        windows.form1->MenuSaveClick();
        QFile saved(dialogs.folder + QStringLiteral("/info.txt"));
        saved.open(QIODevice::ReadOnly);
        bytes = saved.readAll();
    }
    const QString path = dialogs.folder + QStringLiteral("/info.txt");
    for (auto _ : state)
        platform::replaceFile(path, bytes);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WritingFloor)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

ALBISKO_BENCHMARK_MAIN()
