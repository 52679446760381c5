// The library's only exported symbol, `main`, and the floating-point set-up that runs when the library loads.
// Compiled into the plug-in library alone: a test program has a `main` of its own.
#include <cstdint>

#include "vst/entry.h"

#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// No floating-point exception may trap inside the plug-in: NaN and infinity propagate quietly instead.
void maskFloatingPointExceptions() {
#if defined(__i386__)
    // All six exceptions masked, 64-bit mantissa, round to nearest.
    const std::uint16_t controlWord = 0x133F;
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
#endif
#if defined(__i386__) || defined(__x86_64__)
    _mm_setcsr(_mm_getcsr() | 0x1F80);
#endif
}

} // namespace

extern "C" {

#ifdef _WIN32
// Exported under the name `main` by the module-definition file.
vst::AEffect* zephyrionMain(vst::audioMasterCallback audioMaster) {
    return vst::pluginEntry(audioMaster);
}

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        maskFloatingPointExceptions();
    }
    return TRUE;
}
#else
// C++ reserves the name `main` for programs; the assembler name gives the host the symbol it looks up.
__attribute__((visibility("default"))) vst::AEffect*
zephyrionMain(vst::audioMasterCallback audioMaster) __asm__("main");
vst::AEffect* zephyrionMain(vst::audioMasterCallback audioMaster) {
    return vst::pluginEntry(audioMaster);
}

__attribute__((constructor)) static void onLibraryLoad() {
    maskFloatingPointExceptions();
}
#endif

} // extern "C"
