#include <windows.h>

#include "tools/validator/parent_window.h"

namespace zvalidate {
namespace {

constexpr const char* kClassName = "ZephyrionValidateParent";

class Win32ParentWindow : public ParentWindow {
public:
    explicit Win32ParentWindow(HWND created) : window(created) {}
    ~Win32ParentWindow() override { DestroyWindow(window); }
    Win32ParentWindow(const Win32ParentWindow&) = delete;
    Win32ParentWindow& operator=(const Win32ParentWindow&) = delete;

    void* handle() const override { return window; }

    void pump() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

private:
    HWND window;
};

} // namespace

std::unique_ptr<ParentWindow> ParentWindow::open(int width, int height, std::string& why) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // the arrow
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        why = "no window class could be registered (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    HWND window = CreateWindowExA(0, kClassName, "zephyrion validate", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr) {
        why = "no window could be made (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return std::make_unique<Win32ParentWindow>(window);
}

} // namespace zvalidate
