// The LV2 editor in a real X11 window of this test, loaded from the bundle as a host loads it: a drag on a
// slider reaches the host as a port write, and values the host sends move the window without being
// written back.
#include <dlfcn.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include "lv2/Lv2Ports.h"
#include "tests/ui/native/x11/TestDisplay.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace lv2test {
namespace {

constexpr int kWidth = 313;
constexpr int kHeight = 226;
constexpr unsigned long kOlive = 0x333300;
constexpr unsigned long kYellow = 0xFFFF00;
constexpr unsigned long kHandle = 0xC8C800;
constexpr int kDisplayX = 114 + 50;
constexpr int kDisplayY = 64 + 20;

struct PortWrite {
    std::uint32_t port;
    float value;
};

class Lv2UiWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(native_test::ensureDisplay(), "") << "no X display for the editor's window test";
        display = native_test::openDisplay();
        ASSERT_NE(display, nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        Window child = 0;
        XTranslateCoordinates(display, parent, DefaultRootWindow(display), 0, 0, &originX, &originY, &child);

        library = dlopen(ZEPHYRION_LV2_BUNDLE_DIR "/zephyrion_ui.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_EQ(entry(1), nullptr);
        LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature* features[] = {&parentFeature, nullptr};
        LV2UI_Widget widget = nullptr;
        handle = descriptor->instantiate(descriptor, zephyrion::lv2::kPluginUri, ZEPHYRION_LV2_BUNDLE_DIR,
                                         &Lv2UiWindow::write, this, &widget, features);
        ASSERT_NE(handle, nullptr);
        EXPECT_NE(widget, nullptr);
        idleInterface =
            static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);
    }

    void TearDown() override {
        if (handle != nullptr) {
            descriptor->cleanup(handle);
        }
        if (library != nullptr) {
            dlclose(library);
        }
        if (display != nullptr) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t format, const void* buffer) {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(format, 0u);
        static_cast<Lv2UiWindow*>(controller)->writes.push_back({port, *static_cast<const float*>(buffer)});
    }

    void send(std::uint32_t port, float value) {
        descriptor->port_event(handle, port, sizeof value, 0, &value);
    }

    void idleOnce() {
        XSync(display, False);
        EXPECT_EQ(idleInterface->idle(handle), 0);
        XSync(display, False);
    }

    bool idleUntil(const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            idleOnce();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    unsigned long pixel(int x, int y) {
        XImage* image = XGetImage(display, parent, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0;
        }
        const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return value;
    }

    void pointerTo(int x, int y) {
        XTestFakeMotionEvent(display, DefaultScreen(display), originX + x, originY + y, CurrentTime);
        idleOnce();
    }
    void button(bool down) {
        XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
        idleOnce();
    }

    bool wrote(std::uint32_t port, float value) const {
        for (const PortWrite& w : writes) {
            if (w.port == port && w.value == value) {
                return true;
            }
        }
        return false;
    }

    Display* display = nullptr;
    Window parent = 0;
    int originX = 0;
    int originY = 0;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    std::vector<PortWrite> writes;
};

TEST_F(Lv2UiWindow, ASliderDragReachesTheHostAsAPortWrite) {
    ASSERT_TRUE(idleUntil([&] { return pixel(kDisplayX, kDisplayY) == kOlive; }))
        << "the display never appeared";
    // The volume slider's handle from the middle to the bottom.
    pointerTo(14, 110);
    button(true);
    pointerTo(14, 154);
    button(false);
    EXPECT_TRUE(idleUntil([&] { return wrote(zephyrion::lv2::parameterPort(zephyrion::kVolume), 1.0f); }));
    EXPECT_TRUE(idleUntil([&] { return pixel(11, 155) == kHandle; }));
}

TEST_F(Lv2UiWindow, HostValuesMoveTheWindowWithoutBeingWrittenBack) {
    ASSERT_TRUE(idleUntil([&] { return pixel(kDisplayX, kDisplayY) == kOlive; }));
    send(zephyrion::lv2::parameterPort(zephyrion::kVolume), 1.0f);
    EXPECT_TRUE(idleUntil([&] { return pixel(11, 155) == kHandle; })) << "the slider did not follow the host";
    send(zephyrion::lv2::kNoteActivePort, 1.0f);
    send(zephyrion::lv2::kMeterLevelPort, 0.9f);
    EXPECT_TRUE(idleUntil([&] { return pixel(kDisplayX, kDisplayY) == kYellow; }))
        << "the note does not show";
    send(zephyrion::lv2::kNoteActivePort, 0.0f);
    EXPECT_TRUE(idleUntil([&] { return pixel(kDisplayX, kDisplayY) == kOlive; }));
    EXPECT_TRUE(writes.empty()) << writes.size() << " values went back to the host, the first to port "
                                << writes.front().port;
}

} // namespace
} // namespace lv2test
