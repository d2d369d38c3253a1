#include "platform/Input.h"

#include <qpa/qwindowsysteminterface_p.h>

namespace platform {

bool inputWaiting()
{
    // Key and mouse events the window system has delivered to Qt that Qt has not handled yet
    // (other events, such as a window being exposed, do not count). Qt offers no public way to ask.
    using Events = QWindowSystemInterfacePrivate;
    return Events::peekWindowSystemEvent(Events::Key) || Events::peekWindowSystemEvent(Events::Mouse);
}

}  // namespace platform
