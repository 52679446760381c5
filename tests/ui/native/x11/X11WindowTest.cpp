// The X11 backend against a real server: a test-made "host" window on a connection of its own, the
// plug-in's child inside it, input synthesised through XTest, pixels read back with XGetImage.
// gtest first: Xlib defines macros such as None that clash with its names.
#include <gtest/gtest.h>

#include "tests/ui/native/RecordedEvents.h"
#include "tests/ui/native/x11/TestDisplay.h"
#include "ui/platform/x11/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

namespace {

using ui::platform::PointerEvent;
using ui::platform::x11::X11Window;
using Kind = ui::platform::PointerEvent::Kind;
using native_test::testPattern;

constexpr int kWidth = 313;
constexpr int kHeight = 226;
constexpr int kParentX = 40; // where the host's window lies on the screen
constexpr int kParentY = 30;

int hostErrors = 0;
int countHostError(Display*, XErrorEvent*) {
    ++hostErrors;
    return 0;
}

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string problem = native_test::ensureDisplay();
        ASSERT_TRUE(problem.empty()) << problem;
        host_ = native_test::openDisplay();
        ASSERT_NE(host_, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(host_, &event, &error, &major, &minor)) << "the server lacks XTEST";
        hostErrors = 0;
        XSetErrorHandler(&countHostError);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True; // no window manager may move it
        attributes.background_pixel = 0x808080;
        parent_ =
            XCreateWindow(host_, DefaultRootWindow(host_), kParentX, kParentY, 400, 300, 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(host_, parent_);
        XSync(host_, False);
    }

    void TearDown() override {
        window_.reset();
        if (host_ != nullptr) {
            XSync(host_, False);
            EXPECT_EQ(hostErrors, 0) << "the plug-in's X errors reached the host's handler";
            XSetErrorHandler(nullptr);
            XCloseDisplay(host_);
        }
    }

    void openChild() {
        window_ = X11Window::create(parent_, kWidth, kHeight, events_);
        ASSERT_NE(window_, nullptr);
    }

    Window child() const { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(window_->handle())); }

    // Pumps as the host's idle would, every 10 ms, until the condition holds or the rounds are over.
    bool pumpUntil(const std::function<bool()>& condition, int rounds = 200) {
        for (int i = 0; i < rounds; ++i) {
            window_->pump();
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void movePointer(int x, int y) {
        XTestFakeMotionEvent(host_, DefaultScreen(host_), kParentX + x, kParentY + y, CurrentTime);
        XSync(host_, False);
    }
    void button(unsigned int which, bool down) {
        XTestFakeButtonEvent(host_, which, down ? True : False, CurrentTime);
        XSync(host_, False);
    }
    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(host_, XKeysymToKeycode(host_, symbol), down ? True : False, CurrentTime);
        XSync(host_, False);
    }
    bool sawPointer(Kind kind) {
        return pumpUntil([&] { return events_.last(kind) != nullptr; });
    }

    std::vector<std::uint32_t> readBack() {
        XImage* image = XGetImage(host_, child(), 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        std::vector<std::uint32_t> pixels;
        if (image != nullptr) {
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
                }
            }
            XDestroyImage(image);
        }
        return pixels;
    }

    Display* host_ = nullptr;
    Window parent_ = 0;
    native_test::RecordedEvents events_;
    std::unique_ptr<X11Window> window_;
};

TEST_F(X11WindowTest, RefusesWhatCannotHostAWindow) {
    native_test::RecordedEvents events;
    EXPECT_EQ(X11Window::create(0, kWidth, kHeight, events), nullptr);
    EXPECT_EQ(X11Window::create(parent_, 0, kHeight, events), nullptr);
    EXPECT_EQ(X11Window::create(parent_, kWidth, -1, events), nullptr);
    // Ids that name no window: the server's BadWindow must stay inside the plug-in.
    const auto pixmap = XCreatePixmap(host_, parent_, 4, 4, static_cast<unsigned>(DefaultDepth(host_, 0)));
    XSync(host_, False);
    EXPECT_EQ(X11Window::create(pixmap, kWidth, kHeight, events), nullptr);
    EXPECT_EQ(X11Window::create(0x7FFFFFF0, kWidth, kHeight, events), nullptr);
    XFreePixmap(host_, pixmap);
    EXPECT_EQ(XSetErrorHandler(&countHostError), &countHostError) << "the host's handler was not put back";

    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(X11Window::create(parent_, kWidth, kHeight, events), nullptr);
    setenv("DISPLAY", display.c_str(), 1);
}

TEST_F(X11WindowTest, IsAMappedChildOfTheHostsWindowAtItsOrigin) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    ASSERT_TRUE(XQueryTree(host_, child(), &root, &parent, &children, &count));
    XFree(children);
    EXPECT_EQ(parent, parent_);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(host_, child(), &attributes));
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.width, kWidth);
    EXPECT_EQ(attributes.height, kHeight);
    EXPECT_EQ(attributes.map_state, IsViewable);

    window_->show(false);
    ASSERT_TRUE(XGetWindowAttributes(host_, child(), &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    window_->show(true);
    ASSERT_TRUE(XGetWindowAttributes(host_, child(), &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
}

// Hosts that draw with alpha give a parent of a 32-bit visual, unlike the screen's default one.
TEST_F(X11WindowTest, ShowsFramesInAParentOfAnotherVisual) {
    XVisualInfo argb;
    ASSERT_TRUE(XMatchVisualInfo(host_, DefaultScreen(host_), 32, TrueColor, &argb));
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(host_, DefaultRootWindow(host_), argb.visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    const Window argbParent =
        XCreateWindow(host_, DefaultRootWindow(host_), kParentX, kParentY, 400, 300, 0, 32, InputOutput,
                      argb.visual, CWColormap | CWBorderPixel | CWOverrideRedirect, &attributes);
    XMapRaised(host_, argbParent);
    XSync(host_, False);
    window_ = X11Window::create(argbParent, kWidth, kHeight, events_);
    ASSERT_NE(window_, nullptr);
    const auto frame = testPattern(kWidth, kHeight, kWidth);
    window_->present(frame.data(), kWidth);
    EXPECT_EQ(readBack(), frame);
    window_.reset();
    XDestroyWindow(host_, argbParent);
    XFreeColormap(host_, attributes.colormap);
}

TEST_F(X11WindowTest, ShowsTheFrameAndRepaintsItWhenExposed) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const int stride = kWidth + 7;
    const auto frame = testPattern(kWidth, kHeight, stride);
    window_->present(frame.data(), stride);
    const auto expected = testPattern(kWidth, kHeight, kWidth);
    EXPECT_EQ(readBack(), expected);

    // The host paints over the child and exposes it: the next idle must bring the frame back.
    GC gc = XCreateGC(host_, child(), 0, nullptr);
    XSetForeground(host_, gc, 0x000000);
    XFillRectangle(host_, child(), gc, 50, 40, 100, 60);
    XFreeGC(host_, gc);
    XClearArea(host_, child(), 50, 40, 100, 60, True);
    XSync(host_, False);
    ASSERT_NE(readBack(), expected);
    EXPECT_TRUE(pumpUntil([&] { return readBack() == expected; }));
}

TEST_F(X11WindowTest, TranslatesPointerInput) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    movePointer(20, 30);
    ASSERT_TRUE(sawPointer(Kind::Move));
    EXPECT_EQ(events_.pointer.back().x, 20);
    EXPECT_EQ(events_.pointer.back().y, 30);

    key(XK_Shift_L, true);
    button(Button1, true);
    ASSERT_TRUE(sawPointer(Kind::Press));
    const PointerEvent press = *events_.last(Kind::Press);
    EXPECT_EQ(press.button, ui::platform::MouseButton::Left);
    EXPECT_EQ(press.shift, ui::platform::ShiftKey | ui::platform::LeftButton);
    EXPECT_EQ(press.x, 20);
    button(Button1, false);
    key(XK_Shift_L, false);
    ASSERT_TRUE(sawPointer(Kind::Release));
    EXPECT_EQ(events_.last(Kind::Release)->shift, ui::platform::ShiftKey);

    events_.pointer.clear();
    button(Button1, true);
    button(Button1, false);
    ASSERT_TRUE(sawPointer(Kind::Press));
    EXPECT_TRUE(events_.last(Kind::Press)->shift & ui::platform::DoubleClick)
        << "a second quick press at the same place";

    button(Button3, true);
    button(Button3, false);
    button(Button5, true);
    button(Button5, false);
    ASSERT_TRUE(sawPointer(Kind::Wheel));
    EXPECT_EQ(events_.last(Kind::Wheel)->wheelDelta, -1);
    const PointerEvent* right = events_.last(Kind::Press);
    EXPECT_EQ(right->button, ui::platform::MouseButton::Right);
    EXPECT_FALSE(right->shift & ui::platform::DoubleClick);

    movePointer(kWidth + 40, 10); // still inside the host's window, outside the child
    EXPECT_TRUE(sawPointer(Kind::Leave));
}

TEST_F(X11WindowTest, CaptureKeepsThePointerOutsideTheWindow) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    movePointer(10, 10);
    ASSERT_TRUE(sawPointer(Kind::Move));
    window_->captureMouse(true);
    events_.pointer.clear();
    movePointer(-30, 250);
    ASSERT_TRUE(pumpUntil([&] { return !events_.pointer.empty() && events_.pointer.back().y == 250; }));
    EXPECT_EQ(events_.pointer.back().kind, Kind::Move);
    EXPECT_EQ(events_.pointer.back().x, -30);

    window_->captureMouse(false);
    events_.pointer.clear();
    movePointer(-20, 240);
    movePointer(20, 20);
    ASSERT_TRUE(sawPointer(Kind::Move));
    for (const PointerEvent& event : events_.pointer) {
        EXPECT_FALSE(event.kind == Kind::Move && event.x < 0) << "a move outside reached the released window";
    }
}

TEST_F(X11WindowTest, TimersFireFromPumpUntilStopped) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    window_->startTimer(3, 20);
    window_->startTimer(4, 30);
    ASSERT_TRUE(pumpUntil([&] { return events_.timers.size() >= 4; }));
    for (int id : events_.timers) {
        EXPECT_TRUE(id == 3 || id == 4);
    }
    window_->stopTimer(3);
    window_->stopTimer(4);
    events_.timers.clear();
    pumpUntil([] { return false; }, 10);
    EXPECT_TRUE(events_.timers.empty());
}

TEST_F(X11WindowTest, OutlivesTheHostsWindow) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    window_->setCursor(ui::platform::Cursor::Hand);
    XDestroyWindow(host_, parent_);
    XSync(host_, False);
    const auto frame = testPattern(kWidth, kHeight, kWidth);
    // Calls both before and after the backend has heard of the destruction.
    window_->present(frame.data(), kWidth);
    window_->setCursor(ui::platform::Cursor::UpDown);
    window_->captureMouse(true);
    EXPECT_TRUE(pumpUntil([&] { return window_->handle() == nullptr; }));
    window_->present(frame.data(), kWidth);
    window_->show(true);
    window_.reset();
}

} // namespace
