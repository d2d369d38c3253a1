// The autosave timer's rules, on a timer that records every start, stop and new interval (a real
// timer's restarts cannot be seen without waiting for it).
#include "album/AutosaveTimer.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

struct RecordingTimer {
    bool active = false;
    int ms = 0;
    std::string done;  // S start, T stop, I<ms> new interval (each restarts a running timer)

    bool isActive() const { return active; }
    int interval() const { return ms; }
    void start()
    {
        active = true;
        done += "S";
    }
    void stop()
    {
        active = false;
        done += "T";
    }
    void setInterval(int interval)
    {
        ms = interval;
        done += "I" + std::to_string(interval);
    }
};

}  // namespace

TEST(AutosaveTimer, OnlyARealChangeRestartsTheInterval)
{
    constexpr int Never = std::numeric_limits<int>::max();
    struct Case {
        const char* what;
        bool active;
        int ms;
        void (*act)(RecordingTimer&);
        const char* done;
    };
    const Case cases[] = {
        {"switching on a stopped timer starts it", false, 300000,
         [](RecordingTimer& t) { album::switchAutosaveTimer(t, true); }, "S"},
        {"switching on a running timer (a second Open) changes nothing", true, 300000,
         [](RecordingTimer& t) { album::switchAutosaveTimer(t, true); }, ""},
        {"switching off stops it", true, 300000, [](RecordingTimer& t) { album::switchAutosaveTimer(t, false); }, "T"},
        {"the interval it has (5 retyped as 05) changes nothing", true, 300000,
         [](RecordingTimer& t) { album::setAutosaveMinutes(t, 5); }, ""},
        {"another interval restarts it", true, 300000, [](RecordingTimer& t) { album::setAutosaveMinutes(t, 6); }, "I360000"},
        {"0 minutes: no ticks", true, 300000, [](RecordingTimer& t) { album::setAutosaveMinutes(t, 0); }, "I2147483647"},
        {"0 minutes again changes nothing", true, Never, [](RecordingTimer& t) { album::setAutosaveMinutes(t, 0); }, ""},
        {"a huge interval is held as the longest", false, 0,
         [](RecordingTimer& t) { album::setAutosaveMinutes(t, 100000); }, "I2147483647"},
    };
    for (const Case& c : cases) {
        RecordingTimer timer{c.active, c.ms, ""};
        c.act(timer);
        EXPECT_EQ(timer.done, c.done) << c.what;
    }
}
