// The Win32 backend in a real window system (wine's, under an X display): a test-made "host" window, the
// plug-in's child inside it, mouse messages sent to it, pixels read back from its device context.
#include <gtest/gtest.h>

#include "tests/ui/native/RecordedEvents.h"
#include "ui/platform/win32/Win32Window.h"

#include <functional>
#include <vector>

namespace {

using ui::platform::MouseButton;
using ui::platform::PointerEvent;
using ui::platform::win32::Win32Window;
using Kind = ui::platform::PointerEvent::Kind;
using native_test::testPattern;

constexpr int kWidth = 313;
constexpr int kHeight = 226;
constexpr int kParentX = 60; // where the host's window lies on the screen
constexpr int kParentY = 50;

void dispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs the host's message loop, every 10 ms, until the condition holds or the rounds are over.
bool loopUntil(const std::function<bool()>& condition, int rounds = 200) {
    for (int i = 0; i < rounds; ++i) {
        dispatchPending();
        if (condition()) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = DefWindowProcW;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.lpszClassName = L"ZephyrionTestHost";
        RegisterClassW(&hostClass);
        parent_ = CreateWindowExW(0, L"ZephyrionTestHost", L"host", WS_POPUP | WS_VISIBLE, kParentX, kParentY,
                                  400, 300, nullptr, nullptr, hostClass.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr)
            << "no window could be made: wine needs an X display, run the Windows tests "
               "under Xvfb (e.g. xvfb-run -a ctest)";
        dispatchPending();
    }

    void TearDown() override {
        window_.reset();
        if (parent_ != nullptr && IsWindow(parent_)) {
            DestroyWindow(parent_);
        }
        dispatchPending();
    }

    void openChild() {
        window_ = Win32Window::create(parent_, kWidth, kHeight, events_);
        ASSERT_NE(window_, nullptr);
        dispatchPending();
    }
    HWND child() const { return static_cast<HWND>(window_->handle()); }

    LRESULT send(UINT message, WPARAM keys, int x, int y) {
        return SendMessageW(child(), message, keys, MAKELPARAM(x, y));
    }

    std::vector<std::uint32_t> readBack() {
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
        HDC window = GetDC(child());
        BitBlt(memory, 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
        ReleaseDC(child(), window);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> copy;
        for (std::size_t i = 0; i < static_cast<std::size_t>(kWidth) * kHeight; ++i) {
            copy.push_back(pixels[i] & 0xFFFFFFu);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return copy;
    }

    HWND parent_ = nullptr;
    native_test::RecordedEvents events_;
    std::unique_ptr<Win32Window> window_;
};

bool classIsRegistered(const std::wstring& name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(ui::platform::win32::thisModule(), name.c_str(), &info) != FALSE;
}

std::wstring classNameOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

TEST_F(Win32WindowTest, RefusesWhatCannotHostAWindow) {
    EXPECT_EQ(Win32Window::create(nullptr, kWidth, kHeight, events_), nullptr);
    EXPECT_EQ(Win32Window::create(reinterpret_cast<HWND>(0x7654320), kWidth, kHeight, events_), nullptr);
    EXPECT_EQ(Win32Window::create(parent_, 0, kHeight, events_), nullptr);
    EXPECT_EQ(Win32Window::create(parent_, kWidth, -5, events_), nullptr);
}

TEST_F(Win32WindowTest, IsAVisibleChildOfTheHostsWindowAtItsOrigin) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    EXPECT_EQ(GetParent(child()), parent_);
    EXPECT_TRUE(GetWindowLongW(child(), GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(child()));
    RECT client{};
    GetClientRect(child(), &client);
    EXPECT_EQ(client.right, kWidth);
    EXPECT_EQ(client.bottom, kHeight);
    POINT origin{0, 0};
    MapWindowPoints(child(), parent_, &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);

    window_->show(false);
    EXPECT_FALSE(IsWindowVisible(child()));
    window_->show(true);
    EXPECT_TRUE(IsWindowVisible(child()));
}

TEST_F(Win32WindowTest, ItsClassLivesAsLongAsItsWindows) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const std::wstring name = classNameOf(child());
    EXPECT_NE(name.find(L"Zephyrion"), std::wstring::npos);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetClassLongPtrW(child(), GCLP_HMODULE)),
              ui::platform::win32::thisModule());
    EXPECT_TRUE(GetClassLongPtrW(child(), GCL_STYLE) & CS_DBLCLKS);

    native_test::RecordedEvents otherEvents;
    auto second = Win32Window::create(parent_, kWidth, kHeight, otherEvents);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(classNameOf(static_cast<HWND>(second->handle())), name);
    window_.reset();
    EXPECT_TRUE(classIsRegistered(name)) << "unregistered while a window still uses it";
    second.reset();
    EXPECT_FALSE(classIsRegistered(name));
    ASSERT_NO_FATAL_FAILURE(openChild());
    EXPECT_TRUE(classIsRegistered(name)) << "registered again for the next window";
}

TEST_F(Win32WindowTest, ShowsTheFrameAndRepaintsIt) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const int stride = kWidth + 5;
    const auto frame = testPattern(kWidth, kHeight, stride);
    window_->present(frame.data(), stride);
    const auto expected = testPattern(kWidth, kHeight, kWidth);
    EXPECT_EQ(readBack(), expected);

    // The host paints over part of the child and invalidates it: WM_PAINT must bring the frame back.
    HDC dc = GetDC(child());
    RECT spoiled{50, 40, 150, 100};
    FillRect(dc, &spoiled, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(child(), dc);
    ASSERT_NE(readBack(), expected);
    InvalidateRect(child(), &spoiled, FALSE);
    UpdateWindow(child());
    EXPECT_EQ(readBack(), expected);
}

TEST_F(Win32WindowTest, TranslatesMouseMessages) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    send(WM_MOUSEMOVE, 0, 20, 30);
    ASSERT_NE(events_.last(Kind::Move), nullptr);
    EXPECT_EQ(events_.last(Kind::Move)->x, 20);
    EXPECT_EQ(events_.last(Kind::Move)->y, 30);

    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 21, 31);
    ASSERT_NE(events_.last(Kind::Press), nullptr);
    EXPECT_EQ(events_.last(Kind::Press)->button, MouseButton::Left);
    EXPECT_EQ(events_.last(Kind::Press)->shift, ui::platform::ShiftKey | ui::platform::LeftButton);
    send(WM_LBUTTONUP, MK_SHIFT, 21, 31);
    ASSERT_NE(events_.last(Kind::Release), nullptr);
    EXPECT_EQ(events_.last(Kind::Release)->shift, ui::platform::ShiftKey);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, 21, 31);
    EXPECT_EQ(events_.last(Kind::Press)->shift,
              ui::platform::CtrlKey | ui::platform::LeftButton | ui::platform::DoubleClick);

    send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 6);
    EXPECT_EQ(events_.last(Kind::Press)->button, MouseButton::Right);
    EXPECT_EQ(events_.last(Kind::Press)->shift, ui::platform::RightButton);
    send(WM_MBUTTONUP, 0, 5, 6);
    EXPECT_EQ(events_.last(Kind::Release)->button, MouseButton::Middle);

    // While captured, positions beyond the left and top edges are negative.
    send(WM_MOUSEMOVE, MK_LBUTTON, -5, -7);
    EXPECT_EQ(events_.last(Kind::Move)->x, -5);
    EXPECT_EQ(events_.last(Kind::Move)->y, -7);
}

TEST_F(Win32WindowTest, WheelCountsWholeNotchesAtTheWindowsPosition) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const LPARAM screenPoint = MAKELPARAM(kParentX + 30, kParentY + 40);
    SendMessageW(child(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 2 * WHEEL_DELTA), screenPoint);
    const PointerEvent* wheel = events_.last(Kind::Wheel);
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->wheelDelta, 2);
    EXPECT_EQ(wheel->x, 30);
    EXPECT_EQ(wheel->y, 40);
    EXPECT_EQ(wheel->shift, ui::platform::CtrlKey);

    events_.pointer.clear();
    SendMessageW(child(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), screenPoint);
    EXPECT_TRUE(events_.pointer.empty()) << "half a notch is kept for later";
    SendMessageW(child(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), screenPoint);
    ASSERT_NE(events_.last(Kind::Wheel), nullptr);
    EXPECT_EQ(events_.last(Kind::Wheel)->wheelDelta, -1);
}

TEST_F(Win32WindowTest, RealClicksGiveDoubleClicksAndLeaving) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    SetCursorPos(kParentX + 100, kParentY + 100);
    ASSERT_TRUE(loopUntil([&] { return events_.last(Kind::Move) != nullptr; }));
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    SendInput(4, clicks, sizeof(INPUT));
    ASSERT_TRUE(loopUntil([&] {
        const PointerEvent* press = events_.last(Kind::Press);
        return press != nullptr && (press->shift & ui::platform::DoubleClick);
    })) << "the second click did not arrive as a double click";

    SetCursorPos(kParentX + 380, kParentY + 280); // inside the host's window, outside the child
    EXPECT_TRUE(loopUntil([&] { return events_.last(Kind::Leave) != nullptr; }));
}

TEST_F(Win32WindowTest, TimersTickUntilStopped) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    window_->startTimer(5, 10);
    ASSERT_TRUE(loopUntil([&] { return events_.timers.size() >= 3; }));
    for (int id : events_.timers) {
        EXPECT_EQ(id, 5);
    }
    window_->stopTimer(5);
    dispatchPending();
    events_.timers.clear();
    loopUntil([] { return false; }, 10);
    EXPECT_TRUE(events_.timers.empty());
}

TEST_F(Win32WindowTest, CursorsAndCapture) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const LPARAM inClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    window_->setCursor(ui::platform::Cursor::Hand);
    EXPECT_TRUE(SendMessageW(child(), WM_SETCURSOR, reinterpret_cast<WPARAM>(child()), inClient));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    window_->setCursor(ui::platform::Cursor::UpDown);
    SendMessageW(child(), WM_SETCURSOR, reinterpret_cast<WPARAM>(child()), inClient);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZENS));
    window_->setCursor(ui::platform::Cursor::Arrow);
    SendMessageW(child(), WM_SETCURSOR, reinterpret_cast<WPARAM>(child()), inClient);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));

    window_->captureMouse(true);
    EXPECT_EQ(GetCapture(), child());
    window_->captureMouse(false);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Win32WindowTest, OutlivesTheHostsWindow) {
    ASSERT_NO_FATAL_FAILURE(openChild());
    const std::wstring name = classNameOf(child());
    window_->captureMouse(true);
    DestroyWindow(parent_);
    EXPECT_EQ(window_->handle(), nullptr);
    const auto frame = testPattern(kWidth, kHeight, kWidth);
    window_->present(frame.data(), kWidth);
    window_->setCursor(ui::platform::Cursor::Hand);
    window_->startTimer(1, 10);
    window_->show(true);
    window_.reset();
    EXPECT_FALSE(classIsRegistered(name));
}

} // namespace
