#pragma once

namespace platform {

// True when input from the window system (keys, the mouse) has arrived and waits to be handled:
// the user is ahead of the program.
bool inputWaiting();

}  // namespace platform
