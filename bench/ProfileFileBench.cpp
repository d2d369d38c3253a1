// Writing and reading caption files of 1,000 and 10,000 photo sections (five keys each,
// Windows-1250) through ProfileFile, as a save and an open do; and a settings file whose one
// section holds 10,000 to 1,000,000 keys, read, rewritten and added to.
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

// A settings file (UTF-8) of one section "[config]" holding `keys` keys, each once.
QByteArray oneSectionFile(int keys)
{
    QByteArray bytes = "[config]\r\n";
    bytes.reserve(qsizetype(keys) * 40);
    for (int i = 0; i < keys; ++i)
        bytes += "Key" + QByteArray::number(i) + "=value of key " + QByteArray::number(i) + "\r\n";
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

const QString Config = QStringLiteral("config");

// The file read and every one of its keys looked up.
void BM_ReadOneBigSection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("albisko.ini"));
    const int keys = int(state.range(0));
    writeFile(path, oneSectionFile(keys));
    const QString empty;
    for (auto _ : state) {
        ProfileFile file(path, Encoding::Utf8);
        qsizetype total = 0;
        for (int i = 0; i < keys; ++i)
            total += file.ReadString(Config, QStringLiteral("key%1").arg(i), empty).size();
        if (total == 0)
            state.SkipWithError("no key read");
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}

// The file read, its last key given a new value, and the file replaced (as closing the program
// writes its settings).
void BM_RewriteOneKeyOfABigSection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("albisko.ini"));
    const int keys = int(state.range(0));
    writeFile(path, oneSectionFile(keys));
    const QString last = QStringLiteral("KEY%1").arg(keys - 1);
    int round = 0;
    for (auto _ : state) {
        ProfileFile file(path, Encoding::Utf8);
        file.WriteString(Config, last, QString::number(++round));
        file.Flush();
    }
    state.SetComplexityN(state.range(0));
}

// The file read, as many new keys added to its section as it had (each written twice: added,
// then found and replaced), and the file replaced.
void BM_AddKeysToABigSection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("albisko.ini"));
    const int keys = int(state.range(0));
    const QByteArray bytes = oneSectionFile(keys);
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(path, bytes);
        state.ResumeTiming();
        ProfileFile file(path, Encoding::Utf8);
        for (int i = 0; i < keys; ++i) {
            const QString key = QStringLiteral("new%1").arg(i);
            file.WriteString(Config, key, QStringLiteral("added"));
            file.WriteString(Config, key, QStringLiteral("replaced"));
        }
        file.Flush();
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_WriteNewFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_RewriteExistingFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ReadFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK(BM_ReadOneBigSection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_RewriteOneKeyOfABigSection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_AddKeysToABigSection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
