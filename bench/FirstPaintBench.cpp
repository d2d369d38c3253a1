// Start-up to first paint as the desktop sees it: the program (build/albisko) and a minimal Qt
// Widgets program with a menu bar (startup_reference, MinimalWindow.cpp) are started in turn as
// new processes, each in a new empty working folder that is also its home (so no settings file
// and nothing of the user's), and timed from the fork to the first drawing into one of their
// windows, which the X server's DAMAGE extension reports. Then the process is killed.
//
// Reported: the medians over the iterations of both times, in milliseconds, and their ratio
// (the program's median over the minimal program's); the benchmark's own time is the program's.
// Runs on the display in DISPLAY, else on an Xvfb of its own; any window made on that display
// while a program starts counts as the program's, so nothing else should start windows there.
//
// The program timed can be another build of it: FIRST_PAINT_PROGRAM=/path/to/albisko.
//
//   build/bench/first_paint_bench          (40 iterations, each one start of both programs)
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// An Xvfb for the run when there is no display: it tells its display number through a pipe.
class OwnXvfb {
public:
    OwnXvfb()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;  // the display number and a newline
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~OwnXvfb()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// A folder of its own for one start, removed afterwards.
class FreshFolder {
public:
    FreshFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "albisko-start-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~FreshFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;  // a window the program made and destroyed before we watched it
}

class FirstPaintClock {
public:
    explicit FirstPaintClock(Display* display) : display_(display)
    {
        int errorBase = 0;
        if (!XDamageQueryExtension(display_, &damageEvent_, &errorBase))
            damageEvent_ = -1;
        XSetErrorHandler(ignoreXErrors);
        // Every new top-level window is announced (CreateNotify) before it can be drawn into.
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, True);
    }

    bool usable() const { return damageEvent_ >= 0; }

    // Milliseconds from the fork of `program` to the first drawing into a window of its own;
    // nothing when it draws nothing within 20 seconds.
    std::optional<double> measure(const std::string& program)
    {
        const FreshFolder folder;
        const Clock::time_point start = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(folder.path().c_str()) != 0)
                _exit(126);
            setenv("HOME", folder.path().c_str(), 1);
            setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            unsetenv("QT_QPA_PLATFORM");
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::optional<double> millis;
        const Clock::time_point deadline = start + std::chrono::seconds(20);
        while (!millis && Clock::now() < deadline) {
            if (XPending(display_) == 0) {
                pollfd connection{ConnectionNumber(display_), POLLIN, 0};
                poll(&connection, 1, 100);
                if (XPending(display_) == 0)
                    continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == CreateNotify)
                XDamageCreate(display_, event.xcreatewindow.window, XDamageReportNonEmpty);
            else if (event.type == damageEvent_ + XDamageNotify)
                millis = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        XSync(display_, True);  // the rest of this start's events go
        return millis;
    }

private:
    Display* display_;
    int damageEvent_ = -1;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_FirstPaintAgainstMinimal(benchmark::State& state)
{
    std::optional<OwnXvfb> xvfb;
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        xvfb.emplace();
        if (xvfb->display().empty()) {
            state.SkipWithError("no DISPLAY, and Xvfb did not start");
            return;
        }
        setenv("DISPLAY", xvfb->display().c_str(), 1);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("cannot open the display");
        return;
    }
    {
        FirstPaintClock clock(display);
        if (!clock.usable()) {
            state.SkipWithError("the X server has no DAMAGE extension");
        } else {
            const char* other = std::getenv("FIRST_PAINT_PROGRAM");
            const std::string albisko = other && *other ? other : ALBISKO_PROGRAM;
            std::vector<double> minimal, program;
            clock.measure(ALBISKO_MINIMAL_PROGRAM);  // both once unmeasured: files into the page cache
            clock.measure(albisko);
            for (auto _ : state) {
                const std::optional<double> reference = clock.measure(ALBISKO_MINIMAL_PROGRAM);
                const std::optional<double> ours = clock.measure(albisko);
                if (!reference || !ours) {
                    state.SkipWithError("a program drew nothing within 20 seconds");
                    break;
                }
                minimal.push_back(*reference);
                program.push_back(*ours);
                state.SetIterationTime(*ours / 1000.0);
            }
            if (!program.empty()) {
                state.counters["albisko_ms"] = median(program);
                state.counters["minimal_ms"] = median(minimal);
                state.counters["ratio"] = median(program) / median(minimal);
            }
        }
    }
    XCloseDisplay(display);
}
BENCHMARK(BM_FirstPaintAgainstMinimal)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
