#pragma once

// What the window benchmarks share: dialogs that answer without a person, and a main that
// runs the benchmarks in a QApplication on the offscreen platform.
#include "platform/Dialogs.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <benchmark/benchmark.h>

// The folder picker answers a fixed folder, questions are answered No, and an error box ends
// the run (a benchmark that hits an error measures nothing useful).
class BenchDialogs : public platform::Dialogs {
public:
    BenchDialogs() { platform::installDialogs(this); }
    ~BenchDialogs() override { platform::installDialogs(nullptr); }

    QString folder;
    bool askYesNo(const QString&, const QString&) override { return false; }
    void showAppError(const QString& text) override { qFatal("error box: %s", qPrintable(text)); }
    void showWarning(const QString&) override {}
    void showNotice(const QString&) override {}
    void showMessage(const QString&, const QString&) override {}
    std::optional<QString> pickFolder(const QString&) override { return folder; }
    std::optional<QString> pickSaveFile(const platform::SaveRequest&) override { return std::nullopt; }
    void beep() override {}
    int showModal(QDialog&) override { return 0; }
    void openWithDesktop(const QString&) override {}
};

#define ALBISKO_BENCHMARK_MAIN()                           \
    int main(int argc, char** argv)                        \
    {                                                      \
        qputenv("QT_QPA_PLATFORM", "offscreen");           \
        QApplication app(argc, argv);                      \
        benchmark::Initialize(&argc, argv);                \
        benchmark::RunSpecifiedBenchmarks();               \
        benchmark::Shutdown();                             \
        return 0;                                          \
    }

// The benchmarks run as ALBISKO_BENCHMARK_MAIN runs them, on a 1920 x 1080 screen, as the picture
// budgets are stated for.
inline int runOnFullHdScreen(int argc, char** argv)
{
    QTemporaryDir config;
    QFile screens(config.filePath(QStringLiteral("screens.json")));
    screens.open(QIODevice::WriteOnly);
    screens.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
