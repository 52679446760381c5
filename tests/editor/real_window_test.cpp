// The editor in a real X11 window: the real plug-in library, loaded as a host loads it, opens its editor
// inside a window of this test, is fed audio and idled, and is driven with XTest's synthetic pointer.
#include <string>

#include <gtest/gtest.h>

#include "tests/editor/RealWindowScenarios.h"
#include "tests/support/PluginPath.h"
#include "tests/ui/native/x11/TestDisplay.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace editortest {
namespace {

class RealX11Window : public testing::Test, public RealWindowHost {
protected:
    void SetUp() override {
        // A display of this process's own, which the plug-in's connection finds through $DISPLAY too, so
        // the synthetic pointer moves no other test's windows.
        const std::string problem = native_test::ensureDisplay();
        ASSERT_EQ(problem, "") << "no X display for the editor's window test";
        display = native_test::openDisplay();
        ASSERT_NE(display, nullptr) << "the X display does not answer";
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor))
            << "the X server lacks XTest";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kEditorWidth, kEditorHeight,
                                     0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        Window child = 0;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), 0, 0, &originX, &originY, &child);
        plugin = vsthost::Plugin::load(testsupport::pluginPath());
        plugin->activate();
        ASSERT_TRUE(plugin->openEditor(reinterpret_cast<void*>(parent)));
    }

    void TearDown() override {
        if (plugin) {
            plugin->closeEditor();
            plugin.reset();
        }
        if (display != nullptr) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    ui::PixelMap screenshot() override {
        ui::PixelMap map(kEditorWidth, kEditorHeight);
        if (XImage* image =
                XGetImage(display, parent, 0, 0, kEditorWidth, kEditorHeight, AllPlanes, ZPixmap)) {
            for (int y = 0; y < kEditorHeight; ++y) {
                for (int x = 0; x < kEditorWidth; ++x) {
                    map.setPixel(x, y, static_cast<ui::Color>(XGetPixel(image, x, y) & 0xFFFFFF));
                }
            }
            XDestroyImage(image);
        }
        return map;
    }
    ui::Color pixel(int x, int y) override { return pixelOf(parent, x, y); }
    ui::Color pixelOf(Window window, int x, int y) {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0;
        }
        const auto value = static_cast<ui::Color>(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
        return value;
    }
    void idleOnce() override {
        XSync(display, False);
        plugin->idleEditor();
        XSync(display, False);
    }
    void press(int, int) override { button(true); }
    void moveTo(int x, int y, bool) override {
        XTestFakeMotionEvent(display, DefaultScreen(display), originX + x, originY + y, CurrentTime);
        idleOnce();
    }
    void release(int, int) override { button(false); }
    void button(bool down) {
        XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
        idleOnce();
    }

    Display* display = nullptr;
    Window parent = 0;
    int originX = 0;
    int originY = 0;
};

TEST_F(RealX11Window, DisplayLightsWhileANoteSoundsAndTheMeterRisesAndFalls) {
    displayLightsAndMeterMoves(*this, "real-x11-window-note.png");
}

TEST_F(RealX11Window, PointerDragsAndClicksReachTheHostAsAutomation) {
    pointerReachesTheHost(*this, "real-x11-window-after-input.png");
}

// A host that opens the editor again in another of its windows, without closing it first, finds it there and
// no longer in the first one.
TEST_F(RealX11Window, SecondOpenIntoAnotherWindowMovesTheEditorThere) {
    constexpr int x = 114 + 50;
    constexpr int y = 64 + 20;
    constexpr ui::Color olive = ui::rgb(51, 51, 0);
    ASSERT_TRUE(idleUntil([&] { return pixel(x, y) == olive; }));
    const Window second = XCreateSimpleWindow(display, DefaultRootWindow(display), kEditorWidth + 20, 0,
                                              kEditorWidth, kEditorHeight, 0, 0, 0);
    XMapRaised(display, second);
    XSync(display, False);
    ASSERT_TRUE(plugin->openEditor(reinterpret_cast<void*>(second)));
    EXPECT_TRUE(idleUntil([&] { return pixelOf(second, x, y) == olive && pixel(x, y) == 0; }))
        << "first window " << pixel(x, y) << ", second " << pixelOf(second, x, y);
    plugin->closeEditor();
    plugin->closeEditor();
    XDestroyWindow(display, second);
}

} // namespace
} // namespace editortest
