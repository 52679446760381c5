// The editor's window class, registered under the plug-in DLL's own instance handle with a name unique to
// that module, so two copies of the plug-in (or two builds) loaded by one host never share a class. It is
// registered while any window of it exists and unregistered with the last one, so the DLL can be unloaded
// without leaving a class that points into freed code.
#pragma once

#include <windows.h>

#include <string>

namespace ui::platform::win32 {

class WindowClassLease {
public:
    explicit WindowClassLease(WNDPROC procedure);
    ~WindowClassLease();
    WindowClassLease(const WindowClassLease&) = delete;
    WindowClassLease& operator=(const WindowClassLease&) = delete;

    // False when the class could not be registered; no window can then be made.
    bool valid() const { return valid_; }
    const wchar_t* className() const;
    HINSTANCE module() const;

private:
    bool valid_ = false;
};

// The module this code is linked into: the plug-in DLL, or the test program.
HINSTANCE thisModule();

} // namespace ui::platform::win32
