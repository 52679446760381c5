// What the X11 and the Win32 window tests share: the host's side of the real plug-in library (audio,
// automation records, screenshots) and the two scenarios. Each platform supplies its window, its pixels,
// one round of its message loop and its pointer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/Plugin.h"
#include "tests/support/Signals.h"
#include "ui/PixelMap.h"

namespace editortest {

inline constexpr int kEditorWidth = 313;
inline constexpr int kEditorHeight = 226;

class RealWindowHost {
public:
    virtual ~RealWindowHost() = default;

    // In the editor's own pixels, read back from the window system.
    virtual ui::Color pixel(int x, int y) = 0;
    virtual ui::PixelMap screenshot() = 0;
    // One round of the host's event loop followed by effEditIdle.
    virtual void idleOnce() = 0;
    // The left button, at editor coordinates.
    virtual void press(int x, int y) = 0;
    virtual void moveTo(int x, int y, bool buttonHeld) = 0;
    virtual void release(int x, int y) = 0;

    // Idles about every 10 ms until `done` holds; gives up after two seconds.
    bool idleUntil(const std::function<bool()>& done);
    bool automated(vst::VstInt32 index, float value) const;
    void process(const testsupport::Signal& mono);
    // Left where ZEPHYRION_SNAPSHOT_DIR says, or in the test's temporary folder.
    void keepScreenshot(const std::string& name);

    std::unique_ptr<vsthost::Plugin> plugin;
};

// A note lights the display yellow and lifts the meter; silence lets both fall back.
void displayLightsAndMeterMoves(RealWindowHost& host, const std::string& screenshotName);
// A slider drag, a label drag and a mode click each reach the host as automation.
void pointerReachesTheHost(RealWindowHost& host, const std::string& screenshotName);

} // namespace editortest
