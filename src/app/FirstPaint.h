#pragma once

#include <QWidget>
#include <chrono>
#include <functional>

// Runs `work` once, in the event loop's turn after `window` was first painted (so after the
// picture has gone to the screen), or once `latest` has passed without a paint (a window that
// starts minimised). Work the first picture does not need waits here, so that it does not take
// the processor while the window is being drawn. Nothing runs when the window goes first.
void afterFirstPaint(QWidget& window, std::function<void()> work,
                     std::chrono::milliseconds latest = std::chrono::milliseconds(2000));
