// The toolkit's way in to the Win32 backend; kept apart so tests can link the backend beside another one.
#include "ui/platform/win32/Win32Window.h"

namespace ui::platform {

std::unique_ptr<NativeWindow> createChildWindow(void* parent, int width, int height, WindowEvents& events) {
    return win32::Win32Window::create(static_cast<HWND>(parent), width, height, events);
}

} // namespace ui::platform
