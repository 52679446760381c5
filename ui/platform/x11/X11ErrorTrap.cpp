#include "ui/platform/x11/X11ErrorTrap.h"

#include <atomic>

namespace ui::platform::x11 {

namespace {

// The innermost trap now set. Xlib's handler takes no context, so the handler finds its trap here; traps
// nest when one window's event handling reaches another window.
std::atomic<X11ErrorTrap*> innermostTrap{nullptr};

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display)
    : display_(display), displaced_(XSetErrorHandler(&X11ErrorTrap::onError)),
      outer_(innermostTrap.exchange(this)) {}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display_, False);
    innermostTrap.store(outer_);
    XSetErrorHandler(displaced_);
}

bool X11ErrorTrap::failed() {
    XSync(display_, False);
    return failed_;
}

int X11ErrorTrap::onError(Display* display, XErrorEvent* error) {
    X11ErrorTrap* trap = innermostTrap.load();
    XErrorHandler hostHandler = nullptr;
    for (; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ == display) {
            trap->failed_ = true;
            return 0;
        }
        hostHandler = trap->displaced_;
    }
    return hostHandler != nullptr ? hostHandler(display, error) : 0;
}

} // namespace ui::platform::x11
