#pragma once

#include <algorithm>
#include <limits>

namespace album {

// The autosave timer's two switches. Switching it on, or changing its interval, starts a full
// interval from that moment; switching on a running timer, or setting the interval it already
// has, changes nothing. An interval of 0 minutes (or less) gives no ticks at all.
// They work on any timer with QTimer's isActive, start, stop, interval and setInterval: the
// program's QTimer, or a test's timer that records what is done to it.
template <class Timer> void switchAutosaveTimer(Timer& timer, bool on)
{
    if (!on)
        timer.stop();
    else if (!timer.isActive())
        timer.start();
}

template <class Timer> void setAutosaveMinutes(Timer& timer, int minutes)
{
    const long long ms = static_cast<long long>(minutes) * 60000;
    // An interval of 0 minutes means no ticks (a timer of 0 ms would fire on every pass of
    // the event loop): the longest interval a timer can hold stands for it.
    constexpr long long longest = std::numeric_limits<int>::max();
    const int interval = static_cast<int>(ms <= 0 ? longest : std::min(ms, longest));
    if (interval == timer.interval())
        return;
    timer.setInterval(interval);  // a running timer starts its new interval now
}

}  // namespace album
