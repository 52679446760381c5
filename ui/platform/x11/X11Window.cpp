#include "ui/platform/x11/X11Window.h"

#include "ui/platform/x11/X11ErrorTrap.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace ui::platform::x11 {

namespace {

// Beyond the largest window X can make, and far beyond any editor.
constexpr int kMaxSide = 32767;

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

std::int64_t monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::size_t cursorIndex(Cursor cursor) {
    return static_cast<std::size_t>(cursor);
}

unsigned int cursorShape(Cursor cursor) {
    switch (cursor) {
    case Cursor::Arrow: return XC_left_ptr;
    case Cursor::Hand: return XC_hand2;
    case Cursor::UpDown: return XC_sb_v_double_arrow;
    }
    return XC_left_ptr;
}

// A server busy accepting other clients can refuse a connection for a moment (EAGAIN on a full listen
// queue); an editor that fails to open for that would look broken, so it asks again a few times.
Display* openDisplay() {
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            return display;
        }
        if (std::getenv("DISPLAY") == nullptr) {
            break;
        }
    }
    return nullptr;
}

} // namespace

std::unique_ptr<X11Window> X11Window::create(Window parent, int width, int height, WindowEvents& events) {
    if (parent == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return nullptr;
    }
    Display* display = openDisplay();
    if (display == nullptr) {
        return nullptr;
    }
    std::unique_ptr<X11Window> window(new X11Window(display, width, height, events));
    if (!window->createWindow(parent)) {
        return nullptr;
    }
    return window;
}

X11Window::X11Window(Display* display, int width, int height, WindowEvents& events)
    : display_(display), width_(width), height_(height), events_(events) {}

bool X11Window::createWindow(Window parent) {
    X11ErrorTrap trap(display_);
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display_, parent, &parentAttributes) == 0 || trap.failed()) {
        return false;
    }
    // The child lives on the parent's screen, which need not be the connection's default one. That
    // screen's default visual may still differ from the host's: giving the colormap and border explicitly
    // lets the server accept the child whatever visual the parent has. No background keeps the server from
    // clearing what the next Expose repaints anyway.
    Screen* screen = parentAttributes.screen;
    Visual* visual = DefaultVisualOfScreen(screen);
    const int depth = DefaultDepthOfScreen(screen);
    const auto format =
        PixelFormat::fromMasks(visual->red_mask, visual->green_mask, visual->blue_mask, depth);
    if (!format) {
        return false;
    }
    format_ = *format;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = DefaultColormapOfScreen(screen);
    attributes.event_mask = kEventMask;
    window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), 0, depth, InputOutput, visual,
                            CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    if (trap.failed()) {
        window_ = 0;
        return false;
    }
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    image_ = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32, 0);
    if (image_ == nullptr || trap.failed()) {
        return false;
    }
    // The frame is written in this machine's byte order; Xlib swaps on the way if the server differs.
    image_->byte_order = LSBFirst;
    frame_.assign(
        (static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height_) + 3) / 4, 0);
    image_->data = reinterpret_cast<char*>(frame_.data());
    XMapWindow(display_, window_);
    return !trap.failed();
}

X11Window::~X11Window() {
    {
        X11ErrorTrap trap(display_);
        if (captured_) {
            XUngrabPointer(display_, CurrentTime);
        }
        if (image_ != nullptr) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        for (::Cursor cursor : cursors_) {
            if (cursor != 0) {
                XFreeCursor(display_, cursor);
            }
        }
        if (gc_ != nullptr) {
            XFreeGC(display_, gc_);
        }
        if (window_ != 0) {
            XDestroyWindow(display_, window_);
        }
    }
    XCloseDisplay(display_);
}

void X11Window::present(const std::uint32_t* pixels, int stride) {
    if (pixels == nullptr || stride < width_) {
        return;
    }
    const bool direct = format_.isIdentity() && image_->bits_per_pixel == 32;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        if (direct) {
            auto* row = reinterpret_cast<std::uint32_t*>(image_->data + static_cast<std::ptrdiff_t>(y) *
                                                                            image_->bytes_per_line);
            for (int x = 0; x < width_; ++x) {
                row[x] = source[x] & 0xFFFFFFu;
            }
        } else {
            for (int x = 0; x < width_; ++x) {
                XPutPixel(image_, x, y, format_.toNative(source[x]));
            }
        }
    }
    X11ErrorTrap trap(display_);
    paint(0, 0, width_, height_);
}

void X11Window::paint(int x, int y, int width, int height) {
    if (window_ != 0) {
        XPutImage(display_, window_, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    }
}

void X11Window::pump() {
    X11ErrorTrap trap(display_);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handleEvent(event);
    }
    fireDueTimers();
}

void X11Window::handleEvent(const XEvent& event) {
    switch (event.type) {
    case Expose: paint(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height); return;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_) {
            window_ = 0;
            captured_ = false;
        }
        return;
    default: break;
    }
    if (const auto pointer = input_.translate(event)) {
        events_.onPointer(*pointer);
    }
}

void X11Window::fireDueTimers() {
    for (int id : timers_.takeDue(monotonicMs())) {
        // An earlier tick of this round may have stopped this timer.
        if (timers_.isRunning(id)) {
            events_.onTimer(id);
        }
    }
}

::Cursor X11Window::cursorFor(Cursor cursor) {
    ::Cursor& shape = cursors_[cursorIndex(cursor)];
    if (shape == 0) {
        shape = XCreateFontCursor(display_, cursorShape(cursor));
    }
    return shape;
}

void X11Window::setCursor(Cursor cursor) {
    if (window_ == 0) {
        return;
    }
    X11ErrorTrap trap(display_);
    XDefineCursor(display_, window_, cursorFor(cursor));
}

void X11Window::captureMouse(bool captured) {
    if (window_ == 0 || captured == captured_) {
        return;
    }
    X11ErrorTrap trap(display_);
    if (captured) {
        constexpr unsigned int kGrabMask =
            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
        captured_ = XGrabPointer(display_, window_, False, kGrabMask, GrabModeAsync, GrabModeAsync, None,
                                 None, CurrentTime) == GrabSuccess;
    } else {
        XUngrabPointer(display_, CurrentTime);
        captured_ = false;
    }
}

void X11Window::startTimer(int timerId, int intervalMs) {
    timers_.start(timerId, intervalMs, monotonicMs());
}

void X11Window::stopTimer(int timerId) {
    timers_.stop(timerId);
}

void X11Window::show(bool visible) {
    if (window_ == 0) {
        return;
    }
    X11ErrorTrap trap(display_);
    if (visible) {
        XMapWindow(display_, window_);
    } else {
        XUnmapWindow(display_, window_);
    }
}

void* X11Window::handle() const {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
}

} // namespace ui::platform::x11
