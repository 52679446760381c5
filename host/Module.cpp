#include "host/Module.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include "host/LoadError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vsthost {
namespace {

#ifdef _WIN32
std::string systemMessage(DWORD code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
        text[--length] = '\0';
    }
    return "error " + std::to_string(code) + (length > 0 ? ": " + std::string(text) : std::string());
}

void* openLibrary(const std::string& path, std::string& error) {
    // No error dialog box from the system: the caller reports the failure itself.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryA(path.c_str());
    DWORD code = GetLastError();
    SetErrorMode(previousMode);
    if (library == nullptr) {
        error = systemMessage(code);
    }
    return reinterpret_cast<void*>(library);
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openLibrary(const std::string& path, std::string& error) {
    int flags = RTLD_NOW | RTLD_LOCAL;
#if defined(__SANITIZE_ADDRESS__)
    // A leak report names the plug-in's functions only while its code is still mapped at exit.
    flags |= RTLD_NODELETE;
#endif
    void* handle = dlopen(path.c_str(), flags);
    if (handle == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown loader error";
    }
    return handle;
}

void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void closeLibrary(void* handle) {
    dlclose(handle);
}
#endif

} // namespace

std::shared_ptr<Module> Module::load(const std::string& path) {
    std::error_code status;
    if (!std::filesystem::exists(path, status)) {
        throw LoadError(LoadFailure::FileMissing, path + ": no such file");
    }
    if (!std::filesystem::is_regular_file(path, status)) {
        throw LoadError(LoadFailure::NotALibrary, path + ": not a regular file");
    }
    std::string error;
    void* handle = openLibrary(path, error);
    if (handle == nullptr) {
        throw LoadError(LoadFailure::NotALibrary, path + ": not a loadable library (" + error + ")");
    }
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = findSymbol(handle, name)) {
            // The loader hands out code addresses as data pointers; the entry's type is fixed by the format.
            auto found = reinterpret_cast<PluginEntry>(reinterpret_cast<std::uintptr_t>(symbol));
            return std::shared_ptr<Module>(new Module(path, handle, found, name));
        }
    }
    closeLibrary(handle);
    throw LoadError(LoadFailure::NoEntry, path + ": exports neither VSTPluginMain nor main");
}

Module::Module(std::string path, void* libraryHandle, PluginEntry entryPoint, std::string entryName)
    : libraryPath(std::move(path)), handle(libraryHandle), entryFunction(entryPoint),
      foundEntryName(std::move(entryName)) {}

Module::~Module() {
    closeLibrary(handle);
}

} // namespace vsthost
