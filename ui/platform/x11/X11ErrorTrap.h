// Xlib reports protocol errors through one handler for the whole process, and its default handler ends the
// process. The plug-in shares that process with its host, so it installs a handler of its own only while it
// talks to its own connection, waits for the server's answers before removing it, and passes errors of any
// other connection on to the handler it displaced.
#pragma once

#include <X11/Xlib.h>

namespace ui::platform::x11 {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; true when any request on this
    // connection failed since the trap was set.
    bool failed();

private:
    static int onError(Display* display, XErrorEvent* error);

    Display* display_;
    XErrorHandler displaced_;
    X11ErrorTrap* outer_;
    bool failed_ = false;
};

} // namespace ui::platform::x11
