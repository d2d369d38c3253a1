#pragma once

class QTimer;

namespace album {

// The autosave timer's two switches. Switching it on, or changing its interval, starts a full
// interval from that moment; switching on a running timer, or setting the interval it already
// has, changes nothing. An interval of 0 minutes (or less) gives no ticks at all.
void switchAutosaveTimer(QTimer& timer, bool on);
void setAutosaveMinutes(QTimer& timer, int minutes);

}  // namespace album
