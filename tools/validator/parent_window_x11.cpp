#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>

#include "tools/validator/parent_window.h"

namespace zvalidate {
namespace {

class X11ParentWindow : public ParentWindow {
public:
    X11ParentWindow(Display* connection, Window created) : display(connection), window(created) {}
    ~X11ParentWindow() override {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    X11ParentWindow(const X11ParentWindow&) = delete;
    X11ParentWindow& operator=(const X11ParentWindow&) = delete;

    void* handle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

    void pump() override {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

private:
    Display* display;
    Window window;
};

} // namespace

std::unique_ptr<ParentWindow> ParentWindow::open(int width, int height, std::string& why) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        why = "no X display to open the editor on ($DISPLAY is not set)";
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        why = std::string("the X display ") + name + " does not answer";
        return nullptr;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, 0, 0);
    XStoreName(display, window, "zephyrion validate");
    XMapWindow(display, window);
    XSync(display, False);
    return std::make_unique<X11ParentWindow>(display, window);
}

} // namespace zvalidate
