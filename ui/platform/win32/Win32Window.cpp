#include "ui/platform/win32/Win32Window.h"

#include <windowsx.h>

namespace ui::platform::win32 {

namespace {

constexpr int kMaxSide = 32767;

// The system's cursors are named by number, which the ANSI call takes just as well in any build.
LPCSTR systemCursorOf(Cursor cursor) {
    switch (cursor) {
    case Cursor::Arrow: return IDC_ARROW;
    case Cursor::Hand: return IDC_HAND;
    case Cursor::UpDown: return IDC_SIZENS;
    }
    return IDC_ARROW;
}

bool altIsDown() {
    return GetKeyState(VK_MENU) < 0;
}

} // namespace

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, int width, int height, WindowEvents& events) {
    if (parent == nullptr || !IsWindow(parent) || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide) {
        return nullptr;
    }
    std::unique_ptr<Win32Window> window(new Win32Window(width, height, events));
    if (!window->lease_.valid()) {
        return nullptr;
    }
    // WM_NCCREATE stores the object in the window before any other message can need it.
    CreateWindowExW(0, window->lease_.className(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width,
                    height, parent, nullptr, window->lease_.module(), window.get());
    if (window->hwnd_ == nullptr) {
        return nullptr;
    }
    return window;
}

Win32Window::Win32Window(int width, int height, WindowEvents& events)
    : lease_(&Win32Window::procedure), width_(width), height_(height),
      frame_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0), events_(events) {}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr) {
        if (GetCapture() == hwnd_) {
            ReleaseCapture();
        }
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->onMessage(message, wParam, lParam);
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(hwnd_, &paintStruct);
        paint(dc);
        EndPaint(hwnd_, &paintStruct);
        return 0;
    }
    case WM_ERASEBKGND: return 1; // the frame covers every pixel; erasing first would only flicker
    case WM_TIMER: events_.onTimer(static_cast<int>(wParam)); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, systemCursorOf(cursor_)));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: pointerMessage(message, wParam, lParam); return 0;
    case WM_MOUSEWHEEL: wheelMessage(wParam, lParam); return 0;
    case WM_MOUSELEAVE: leaveMessage(); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::paint(HDC dc) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top-down rows, as the frame is stored
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                      static_cast<UINT>(height_), frame_.data(), &info, DIB_RGB_COLORS);
}

void Win32Window::pointerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Windows reports leaving only when asked to, once per entry.
    if (message == WM_MOUSEMOVE && !trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd_;
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    if (const auto event = translateMouseMessage(message, wParam, lParam, altIsDown())) {
        events_.onPointer(*event);
    }
}

void Win32Window::wheelMessage(WPARAM wParam, LPARAM lParam) {
    const int notches = wheel_.notches(GET_WHEEL_DELTA_WPARAM(wParam));
    if (notches == 0) {
        return;
    }
    // The wheel's position comes in screen coordinates.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &point);
    events_.onPointer({PointerEvent::Kind::Wheel, point.x, point.y, MouseButton::Left,
                       shiftFromKeys(GET_KEYSTATE_WPARAM(wParam), altIsDown()), notches});
}

void Win32Window::leaveMessage() {
    trackingLeave_ = false;
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(hwnd_, &point);
    events_.onPointer({PointerEvent::Kind::Leave, point.x, point.y, MouseButton::Left, 0, 0});
}

void Win32Window::present(const std::uint32_t* pixels, int stride) {
    if (pixels == nullptr || stride < width_) {
        return;
    }
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint32_t* row = frame_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            row[x] = source[x] & 0xFFFFFFu;
        }
    }
    if (hwnd_ == nullptr) {
        return;
    }
    // Drawn at once rather than at the next WM_PAINT: the frame is current now, and a host that is slow
    // to dispatch paints would show the meter late.
    HDC dc = GetDC(hwnd_);
    paint(dc);
    ReleaseDC(hwnd_, dc);
    ValidateRect(hwnd_, nullptr);
}

bool Win32Window::pointerIsOver() const {
    POINT point{};
    return GetCursorPos(&point) && WindowFromPoint(point) == hwnd_;
}

void Win32Window::setCursor(Cursor cursor) {
    cursor_ = cursor;
    // WM_SETCURSOR comes only with the next move; a change under a still pointer should show now.
    if (hwnd_ != nullptr && (GetCapture() == hwnd_ || pointerIsOver())) {
        SetCursor(LoadCursorA(nullptr, systemCursorOf(cursor)));
    }
}

void Win32Window::captureMouse(bool captured) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (captured) {
        SetCapture(hwnd_);
    } else if (GetCapture() == hwnd_) {
        ReleaseCapture();
    }
}

void Win32Window::startTimer(int timerId, int intervalMs) {
    if (hwnd_ != nullptr) {
        SetTimer(hwnd_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(intervalMs > 0 ? intervalMs : 0),
                 nullptr);
    }
}

void Win32Window::stopTimer(int timerId) {
    if (hwnd_ != nullptr) {
        KillTimer(hwnd_, static_cast<UINT_PTR>(timerId));
    }
}

void Win32Window::show(bool visible) {
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

} // namespace ui::platform::win32
