// The editor in a real Win32 window (wine's, under an X display): the real plug-in DLL, loaded as a host
// loads it, opens its editor inside a window of this test, is fed audio and idled while the test runs the
// host's message loop, and is driven with mouse messages.
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "ui/png/PngWriter.h"

#include <windows.h>

namespace {

constexpr ui::Color kOlive = ui::rgb(51, 51, 0);
constexpr ui::Color kYellow = ui::rgb(255, 255, 0);
constexpr ui::Color kMeterCover = ui::rgb(45, 25, 69);
constexpr int kWidth = 313;
constexpr int kHeight = 226;

void dispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class RealWin32Window : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = DefWindowProcW;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.lpszClassName = L"ZephyrionEditorTestHost";
        RegisterClassW(&hostClass);
        parent = CreateWindowExW(0, L"ZephyrionEditorTestHost", L"host", WS_POPUP | WS_VISIBLE, 40, 40,
                                 kWidth, kHeight, nullptr, nullptr, hostClass.hInstance, nullptr);
        ASSERT_NE(parent, nullptr)
            << "no window could be made: wine needs an X display (run through test.sh)";
        plugin = vsthost::Plugin::load(testsupport::pluginPath());
        plugin->activate();
        ASSERT_TRUE(plugin->openEditor(parent));
        child = GetWindow(parent, GW_CHILD);
        ASSERT_NE(child, nullptr) << "the editor made no child window";
        ASSERT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kOlive; }))
            << "the display never appeared";
    }

    void TearDown() override {
        if (plugin) {
            plugin->closeEditor();
            plugin.reset();
        }
        if (parent != nullptr) {
            DestroyWindow(parent);
        }
        dispatchPending();
    }

    ui::PixelMap screenshot() {
        ui::PixelMap map(kWidth, kHeight);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        HDC window = GetDC(child);
        BitBlt(memory, 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
        ReleaseDC(child, window);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                map.setPixel(x, y, pixels[y * kWidth + x] & 0xFFFFFFu);
            }
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return map;
    }
    ui::Color pixel(int x, int y) {
        HDC window = GetDC(child);
        const COLORREF c = GetPixel(window, x, y);
        ReleaseDC(child, window);
        return ui::rgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    void keepScreenshot(const std::string& name) {
        const char* dir = std::getenv("ZEPHYRION_SNAPSHOT_DIR");
        std::string error;
        EXPECT_TRUE(ui::png::writeFile((dir != nullptr ? std::string(dir) + "/" : testing::TempDir()) + name,
                                       screenshot(), error))
            << error;
    }

    // The host's message loop and editor idle, about every 10 ms, until `done` holds; two seconds at most.
    bool idleUntil(const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            dispatchPending();
            plugin->idleEditor();
            if (done()) {
                return true;
            }
            Sleep(10);
        }
        return false;
    }

    void mouse(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(child, message, keys, MAKELPARAM(x, y));
        dispatchPending();
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

    HWND parent = nullptr;
    HWND child = nullptr;
    std::unique_ptr<vsthost::Plugin> plugin;
};

TEST_F(RealWin32Window, DisplayLightsWhileANoteSoundsAndTheMeterRisesAndFalls) {
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    process(testsupport::burst(8192, 100, 6000, 800.0, 44100.0, 0.9f));
    ASSERT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kYellow; }));
    EXPECT_NE(pixel(27, 150), kMeterCover);
    keepScreenshot("real-win32-window-note.png");
    const auto quiet = testsupport::Signal(8192, 0.0f);
    bool fell = false;
    for (int block = 0; block < 200 && !fell; ++block) {
        process(quiet);
        dispatchPending();
        plugin->idleEditor();
        fell = pixel(27, 150) == kMeterCover;
    }
    EXPECT_TRUE(fell) << "the meter never fell back";
    EXPECT_TRUE(idleUntil([&] { return pixel(114 + 50, 64 + 20) == kOlive; }));
}

TEST_F(RealWin32Window, MouseDragsAndClicksReachTheHostAsAutomation) {
    plugin->clearRecords();
    mouse(WM_MOUSEMOVE, 0, 14, 110);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 14, 110);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, 14, 154);
    mouse(WM_LBUTTONUP, 0, 14, 154);
    EXPECT_TRUE(idleUntil([&] { return automated(0, 1.0f); }));
    EXPECT_TRUE(idleUntil([&] { return pixel(11, 155) == ui::rgb(200, 200, 0); }));
    mouse(WM_MOUSEMOVE, 0, 262, 93);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 262, 93);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, 262, 83);
    mouse(WM_LBUTTONUP, 0, 262, 83);
    EXPECT_TRUE(idleUntil([&] { return automated(5, 41.0f / 127.0f); }));
    mouse(WM_MOUSEMOVE, 0, 258, 180);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 258, 180);
    mouse(WM_LBUTTONUP, 0, 258, 180);
    EXPECT_TRUE(idleUntil([&] { return automated(9, 0.2f); }));
    keepScreenshot("real-win32-window-after-input.png");
}

} // namespace
