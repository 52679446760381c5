#include "ui/platform/win32/WindowClassLease.h"

#include <cstdint>
#include <cwchar>
#include <mutex>

namespace ui::platform::win32 {

namespace {

// A window class belongs to the module, not to one editor, so its registration is counted module-wide.
// Editors of separate plug-in instances may be opened by separate host threads, hence the lock.
struct Registration {
    std::mutex lock;
    int leases = 0;
    wchar_t name[64] = {};
};

Registration& registration() {
    static Registration shared;
    return shared;
}

} // namespace

HINSTANCE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

WindowClassLease::WindowClassLease(WNDPROC procedure) {
    Registration& shared = registration();
    std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.leases == 0) {
        std::swprintf(shared.name, std::size(shared.name), L"ZephyrionEditor%llX",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(thisModule())));
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        // Without CS_DBLCLKS Windows sends a second press instead of the double click.
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = thisModule();
        windowClass.lpszClassName = shared.name;
        if (RegisterClassExW(&windowClass) == 0) {
            return;
        }
    }
    ++shared.leases;
    valid_ = true;
}

WindowClassLease::~WindowClassLease() {
    if (!valid_) {
        return;
    }
    Registration& shared = registration();
    std::lock_guard<std::mutex> guard(shared.lock);
    if (--shared.leases == 0) {
        UnregisterClassW(shared.name, thisModule());
    }
}

const wchar_t* WindowClassLease::className() const {
    return registration().name;
}

HINSTANCE WindowClassLease::module() const {
    return thisModule();
}

} // namespace ui::platform::win32
