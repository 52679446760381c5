// The plug-in's editor adapter: answers the host's editor opcodes, owns the editor window and carries values
// between the effect object and the window: parameter values into the window's copies, meter levels and
// the note state into its meter and display.
//
// Threads: getRect, open, close and idle arrive with the editor opcodes on the host's user-interface thread,
// which is where the window lives. update arrives on whichever thread set a parameter and touches nothing
// but the window's fourteen atomic copies.
#pragma once

#include <atomic>
#include <memory>

#include "vst/AEffEditor.h"

namespace editor {
class TPluginEditorWindow;
}

namespace zephyrion {

class APlugin;

class APluginEditor : public vst::AEffEditor {
public:
    explicit APluginEditor(APlugin* owner);
    // Destroys any window; the plug-in's buffers are still there while it goes.
    ~APluginEditor() override;

    // 313 x 226 at (0, 0), from the window when there is one; the rectangle lives as long as the adapter.
    vst::VstInt32 getRect(vst::ERect** rect) override;
    // Creates the window inside the host's `parent` on the first open, shows and refreshes it. Answers 0
    // when the window system gives no window, and then keeps none.
    vst::VstInt32 open(void* parent) override;
    // Hides the window; the close that balances the first open destroys it.
    void close() override;
    // Window events and timers, the meter, the display and the note state.
    void idle() override;
    // Copies the parameter values into the window; the controls follow at its next refresh.
    void update() override;

    // For tests and tools: the window while one exists, and the opens not yet balanced by a close.
    editor::TPluginEditorWindow* editorWindow() const { return window.load(std::memory_order_relaxed); }
    vst::VstInt32 getOpenCount() const { return openCount; }
    void* getParentWindow() const { return parentWindow; }

private:
    APlugin& plugin() const;
    void copyParameters(editor::TPluginEditorWindow& target) const;
    void destroyWindow();

    vst::ERect rect{};
    vst::VstInt32 openCount = 0;
    std::unique_ptr<editor::TPluginEditorWindow> ownedWindow;
    // The same window, for update on a foreign thread, which must never see a half-written pointer.
    std::atomic<editor::TPluginEditorWindow*> window{nullptr};
    void* parentWindow = nullptr;
};

} // namespace zephyrion
