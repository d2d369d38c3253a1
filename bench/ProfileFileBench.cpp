// Writing and reading caption files of 1,000 and 10,000 photo sections (five keys each,
// Windows-1250) through ProfileFile, as a save and an open do.
#include "storage/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using storage::Encoding;
using storage::ProfileFile;

namespace {

QString sectionName(int i)
{
    return QStringLiteral("IMG_%1").arg(i, 5, 10, QLatin1Char('0'));
}

// A caption file: descriptions go on over lines.
const QString MultiLineKey = QStringLiteral("desc");

void writeCaptions(const QString& path, int sections)
{
    ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, MultiLineKey);
    file.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("Tatry"));
    file.WriteString(QStringLiteral("head"), QStringLiteral("date"), QStringLiteral("15.1.2004"));
    file.WriteString(QStringLiteral("head"), QStringLiteral("desc"), QStringLiteral("\"Návštěva Vysokých Tater\""));
    file.WriteString(QStringLiteral("head"), QStringLiteral("rights"), QStringLiteral("0"));
    for (int i = 0; i < sections; ++i) {
        const QString section = sectionName(i);
        file.WriteString(section, QStringLiteral("title"), QStringLiteral("Chata pod Kriváněm č. %1").arg(i));
        file.WriteString(section, QStringLiteral("name"), section);
        file.WriteString(section, QStringLiteral("date"), QStringLiteral("15.1.2004"));
        file.WriteString(section, QStringLiteral("desc"), QStringLiteral("\"Ráno u plesa,\nodpoledne na hřebeni\""));
        file.WriteString(section, QStringLiteral("rights"), QStringLiteral("0"));
    }
    file.Flush();
}

// A new file, as a save writes it after deleting the old one.
void BM_WriteNewFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.txt"));
    const int sections = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        writeCaptions(path, sections);
    }
    state.SetComplexityN(state.range(0));
}

// Every key of an existing file replaced in place.
void BM_RewriteExistingFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.txt"));
    const int sections = int(state.range(0));
    writeCaptions(path, sections);
    for (auto _ : state)
        writeCaptions(path, sections);
    state.SetComplexityN(state.range(0));
}

// Every section looked up and its five keys read, as opening a folder does.
void BM_ReadFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.txt"));
    const int sections = int(state.range(0));
    writeCaptions(path, sections);
    const QString empty;
    for (auto _ : state) {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, MultiLineKey);
        qsizetype total = file.ReadString(QStringLiteral("head"), QStringLiteral("name"), empty).size();
        for (int i = 0; i < sections; ++i) {
            const QString section = sectionName(i);
            if (!file.SectionExists(section))
                state.SkipWithError("a section is missing");
            for (const char* key : {"title", "name", "date", "desc", "rights"})
                total += file.ReadString(section, QLatin1String(key), empty).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_WriteNewFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_RewriteExistingFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ReadFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
