// A host's top-level window for a plug-in's editor to live in, on the system's own window system.
#pragma once

#include <memory>
#include <string>

namespace zvalidate {

class ParentWindow {
public:
    // Null, with the reason in `why`, when no window can be made (no display to show it on).
    static std::unique_ptr<ParentWindow> open(int width, int height, std::string& why);
    virtual ~ParentWindow() = default;

    // What effEditOpen expects: an X11 window id or an HWND.
    virtual void* handle() const = 0;
    // Handles what is pending for this thread's windows, as a host's event loop does between idle calls.
    virtual void pump() = 0;
};

} // namespace zvalidate
