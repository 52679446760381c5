// The plug-in's editor adapter: answers the host's editor opcodes, owns the editor window and tells it when
// the plug-in's values changed; the window then takes them from the plug-in through this adapter, its
// EditorHost. Meter levels and the note state go into the window at idle.
//
// Threads: getRect, open, close and idle arrive with the editor opcodes on the host's user-interface thread,
// which is where the window lives and the only thread that ever touches it. update arrives on whichever
// thread set a parameter and only records that values changed, in the adapter, which lives as long as the
// plug-in; so a host may automate from any thread while the user opens and closes the editor.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "editor/EditorHost.h"
#include "vst/AEffEditor.h"

namespace editor {
class TPluginEditorWindow;
}

namespace zephyrion {

class APlugin;

class APluginEditor : public vst::AEffEditor, public editor::EditorHost {
public:
    explicit APluginEditor(APlugin* owner);
    // Destroys any window; the plug-in's buffers are still there while it goes.
    ~APluginEditor() override;

    // 313 x 226 at (0, 0), from the window when there is one; the rectangle lives as long as the adapter.
    vst::VstInt32 getRect(vst::ERect** rect) override;
    // Creates the window inside the host's `parent` on the first open, shows and refreshes it. An open into
    // another parent while the window exists moves the editor there (a new window in the new parent). Answers
    // 0 when the window system gives no window, and then keeps none.
    vst::VstInt32 open(void* parent) override;
    // Hides the window; the close that balances the first open destroys it.
    void close() override;
    // Changed values, window events and timers, the meter, the display and the note state.
    void idle() override;
    // Any thread: notes that the plug-in's values changed; the window takes them at the next idle.
    void update() override;

    // The window's view of the plug-in, on the user-interface thread.
    float getParameter(std::int32_t index) override;
    void setParameterAutomated(std::int32_t index, float value) override;
    float getSampleRate() override;
    float getMeterLevel() override;
    float getMeterPeak() override;
    bool isNoteActive() override;

    // For tests and tools, on the user-interface thread: the window while one exists, and the opens not yet
    // balanced by a close.
    editor::TPluginEditorWindow* editorWindow() const { return window.get(); }
    vst::VstInt32 getOpenCount() const { return openCount; }
    void* getParentWindow() const { return parentWindow; }

private:
    APlugin& plugin() const;
    bool createWindow(void* parent);
    void destroyWindow();

    vst::ERect rect{};
    vst::VstInt32 openCount = 0;
    std::unique_ptr<editor::TPluginEditorWindow> window;
    void* parentWindow = nullptr;
    // Set with release after a setter stored its value and cleared with acquire before the window reads the
    // values, so the window sees at least every value stored before the flag it cleared.
    std::atomic<bool> parametersChanged{false};
};

} // namespace zephyrion
