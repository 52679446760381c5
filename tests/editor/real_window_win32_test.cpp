// The editor in a real Win32 window (wine's, under an X display): the real plug-in DLL, loaded as a host
// loads it, opens its editor inside a window of this test, is fed audio and idled while the test runs the
// host's message loop, and is driven with mouse messages.
#include <gtest/gtest.h>

#include "tests/editor/RealWindowScenarios.h"
#include "tests/support/PluginPath.h"

#include <windows.h>

namespace editortest {
namespace {

class RealWin32Window : public testing::Test, public RealWindowHost {
protected:
    void SetUp() override {
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = DefWindowProcW;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.lpszClassName = L"ZephyrionEditorTestHost";
        RegisterClassW(&hostClass);
        parent = CreateWindowExW(0, L"ZephyrionEditorTestHost", L"host", WS_POPUP | WS_VISIBLE, 40, 40,
                                 kEditorWidth, kEditorHeight, nullptr, nullptr, hostClass.hInstance, nullptr);
        ASSERT_NE(parent, nullptr)
            << "no window could be made: wine needs an X display (run through test.sh)";
        plugin = vsthost::Plugin::load(testsupport::pluginPath());
        plugin->activate();
        ASSERT_TRUE(plugin->openEditor(parent));
        child = GetWindow(parent, GW_CHILD);
        ASSERT_NE(child, nullptr) << "the editor made no child window";
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
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

    static void dispatchPending() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    ui::PixelMap screenshot() override {
        ui::PixelMap map(kEditorWidth, kEditorHeight);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kEditorWidth;
        info.bmiHeader.biHeight = -kEditorHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        HDC window = GetDC(child);
        BitBlt(memory, 0, 0, kEditorWidth, kEditorHeight, window, 0, 0, SRCCOPY);
        ReleaseDC(child, window);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < kEditorHeight; ++y) {
            for (int x = 0; x < kEditorWidth; ++x) {
                map.setPixel(x, y, pixels[y * kEditorWidth + x] & 0xFFFFFFu);
            }
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return map;
    }
    ui::Color pixel(int x, int y) override {
        HDC window = GetDC(child);
        const COLORREF c = GetPixel(window, x, y);
        ReleaseDC(child, window);
        return ui::rgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    void idleOnce() override {
        dispatchPending();
        plugin->idleEditor();
    }
    void press(int x, int y) override { mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void moveTo(int x, int y, bool buttonHeld) override {
        mouse(WM_MOUSEMOVE, buttonHeld ? MK_LBUTTON : 0, x, y);
    }
    void release(int x, int y) override { mouse(WM_LBUTTONUP, 0, x, y); }
    void mouse(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(child, message, keys, MAKELPARAM(x, y));
        idleOnce();
    }

    HWND parent = nullptr;
    HWND child = nullptr;
};

TEST_F(RealWin32Window, DisplayLightsWhileANoteSoundsAndTheMeterRisesAndFalls) {
    displayLightsAndMeterMoves(*this, "real-win32-window-note.png");
}

TEST_F(RealWin32Window, MouseDragsAndClicksReachTheHostAsAutomation) {
    pointerReachesTheHost(*this, "real-win32-window-after-input.png");
}

} // namespace
} // namespace editortest
