// Start-up to first paint: the program's three windows created as the program creates them,
// then the main window shown and painted once (offscreen).
#include "BenchSupport.h"
#include "app/Windows.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void BM_StartupToFirstPaint(benchmark::State& state)
{
    QTemporaryDir working;  // the program's working folder: no settings file yet
    QDir::setCurrent(working.path());
    BenchDialogs dialogs;
    for (auto _ : state) {
        Windows windows;
        FirstPaint paint;
        windows.form1->installEventFilter(&paint);
        windows.form1->show();
        while (!paint.painted)
            QApplication::processEvents();
        windows.form1->removeEventFilter(&paint);
        state.PauseTiming();
        windows.form1->hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

ALBISKO_BENCHMARK_MAIN()
