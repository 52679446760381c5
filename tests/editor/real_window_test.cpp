// The editor in a real X11 window: the real plug-in library, loaded as a host loads it, opens its editor
// inside a window of this test, is fed audio and idled, and is driven with synthetic pointer input.
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "ui/png/PngWriter.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

constexpr ui::Color kOlive = ui::rgb(51, 51, 0);
constexpr ui::Color kYellow = ui::rgb(255, 255, 0);
constexpr ui::Color kMeterCover = ui::rgb(45, 25, 69);
constexpr int kWidth = 313;
constexpr int kHeight = 226;

class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        const char* name = std::getenv("DISPLAY");
        ASSERT_NE(display, nullptr) << "no X display answers at DISPLAY="
                                    << (name != nullptr ? name : "(unset)")
                                    << ": run the tests through test.sh, which starts Xvfb";
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor))
            << "the X server lacks XTest";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        plugin = vsthost::Plugin::load(testsupport::pluginPath());
        plugin->activate();
        ASSERT_TRUE(plugin->openEditor(reinterpret_cast<void*>(parent)));
        ASSERT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kOlive; }))
            << "the display never appeared";
        Window child = 0;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), 0, 0, &originX, &originY, &child);
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

    ui::PixelMap screenshot() {
        ui::PixelMap map(kWidth, kHeight);
        XImage* image = XGetImage(display, parent, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return map;
        }
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                map.setPixel(x, y, static_cast<ui::Color>(XGetPixel(image, x, y) & 0xFFFFFF));
            }
        }
        XDestroyImage(image);
        return map;
    }
    ui::Color pixel(int x, int y) {
        XImage* image = XGetImage(display, parent, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0;
        }
        const auto value = static_cast<ui::Color>(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
        return value;
    }
    void keepScreenshot(const std::string& name) {
        const char* dir = std::getenv("ZEPHYRION_SNAPSHOT_DIR");
        std::string error;
        EXPECT_TRUE(ui::png::writeFile((dir != nullptr ? std::string(dir) + "/" : testing::TempDir()) + name,
                                       screenshot(), error))
            << error;
    }

    // Idles the editor as a host does, about every 10 ms, until `done` holds; gives up after two seconds.
    template <class Condition> bool idleUntil(Condition done) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            plugin->idleEditor();
            XSync(display, False);
            if (done()) {
                return true;
            }
            usleep(10000);
        }
        return false;
    }

    void pointerTo(int x, int y) {
        XTestFakeMotionEvent(display, DefaultScreen(display), originX + x, originY + y, CurrentTime);
        XSync(display, False);
        plugin->idleEditor();
    }
    void button(bool down) {
        XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
        XSync(display, False);
        plugin->idleEditor();
    }
    bool automated(vst::VstInt32 index, float value) const {
        for (const vsthost::CallRecord& call : plugin->calls()) {
            if (call.opcode == vst::audioMasterAutomate && call.index == index && call.opt == value) {
                return true;
            }
        }
        return false;
    }
    void process(const testsupport::Signal& mono) {
        const vsthost::Channels inputs = testsupport::stereo(mono);
        vsthost::Channels outputs = testsupport::silentStereo(mono.size());
        plugin->processReplacing(inputs, outputs, 512);
    }

    Display* display = nullptr;
    Window parent = 0;
    int originX = 0;
    int originY = 0;
    std::unique_ptr<vsthost::Plugin> plugin;
};

TEST_F(RealWindow, DisplayLightsWhileANoteSoundsAndTheMeterRisesAndFalls) {
    process(testsupport::burst(8192, 100, 6000, 800.0, 44100.0, 0.9f));
    ASSERT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kYellow; }));
    EXPECT_NE(pixel(27, 150), kMeterCover);
    keepScreenshot("real-window-note.png");
    const auto quiet = testsupport::Signal(8192, 0.0f);
    bool fell = false;
    for (int block = 0; block < 200 && !fell; ++block) {
        process(quiet);
        plugin->idleEditor();
        XSync(display, False);
        fell = pixel(27, 150) == kMeterCover;
    }
    EXPECT_TRUE(fell) << "the meter never fell back";
    EXPECT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kOlive; }));
}

TEST_F(RealWindow, PointerDragsAndClicksReachTheHostAsAutomation) {
    plugin->clearRecords();
    // The volume slider's handle from the middle to the bottom.
    pointerTo(14, 110);
    button(true);
    pointerTo(14, 154);
    button(false);
    EXPECT_TRUE(idleUntil([&] { return automated(0, 1.0f); }));
    EXPECT_TRUE(idleUntil([&] { return pixel(11, 155) == ui::rgb(200, 200, 0); }));
    // The note label five steps up, from "C 3" to "F 3".
    pointerTo(262, 93);
    button(true);
    pointerTo(262, 83);
    button(false);
    EXPECT_TRUE(idleUntil([&] { return automated(5, 41.0f / 127.0f); }));
    // One left click on the output mode.
    pointerTo(258, 180);
    button(true);
    button(false);
    EXPECT_TRUE(idleUntil([&] { return automated(9, 0.2f); }));
    keepScreenshot("real-window-after-input.png");
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 1.0f);
    EXPECT_FLOAT_EQ(plugin->getParameter(9), 0.2f);
}

} // namespace
