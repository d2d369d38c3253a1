#include "album/AutosaveTimer.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace album {

void switchAutosaveTimer(QTimer& timer, bool on)
{
    if (!on)
        timer.stop();
    else if (!timer.isActive())
        timer.start();
}

void setAutosaveMinutes(QTimer& timer, int minutes)
{
    const qint64 ms = qint64(minutes) * 60000;
    // An interval of 0 minutes means no ticks (a timer of 0 ms would fire on every pass of
    // the event loop): the longest interval a timer can hold stands for it.
    const int interval = ms <= 0 ? std::numeric_limits<int>::max()
                                 : int(std::min<qint64>(ms, std::numeric_limits<int>::max()));
    if (interval == timer.interval())
        return;
    timer.setInterval(interval);  // a running timer starts its new interval now
}

}  // namespace album
