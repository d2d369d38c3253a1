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
    const int interval = int(std::clamp<qint64>(ms, 0, std::numeric_limits<int>::max()));
    if (interval == timer.interval())
        return;
    timer.setInterval(interval);  // a running timer starts its new interval now
}

}  // namespace album
