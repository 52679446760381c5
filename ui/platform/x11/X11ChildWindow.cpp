// The toolkit's way in to the X11 backend; kept apart so tests can link the backend beside another one.
#include "ui/platform/x11/X11Window.h"

#include <cstdint>

namespace ui::platform {

std::unique_ptr<NativeWindow> createChildWindow(void* parent, int width, int height, WindowEvents& events) {
    // Hosts hand the parent's X window id over in the pointer-sized editor argument.
    const auto parentId = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
    return x11::X11Window::create(parentId, width, height, events);
}

} // namespace ui::platform
