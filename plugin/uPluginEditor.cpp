#include "plugin/uPluginEditor.h"

#include <algorithm>

#include "editor/EditorLayout.h"
#include "editor/uEditor.h"
#include "plugin/parameters.h"
#include "plugin/uPlugin.h"

namespace zephyrion {

APluginEditor::APluginEditor(APlugin* owner) : vst::AEffEditor(owner) {}

APluginEditor::~APluginEditor() {
    if (ownedWindow) {
        plugin().setEditorClosed(true);
        destroyWindow();
    }
}

APlugin& APluginEditor::plugin() const {
    return *static_cast<APlugin*>(effect);
}

void APluginEditor::destroyWindow() {
    window.store(nullptr, std::memory_order_relaxed);
    ownedWindow.reset();
    parentWindow = nullptr;
}

void APluginEditor::copyParameters(editor::TPluginEditorWindow& target) const {
    APlugin& source = plugin();
    const std::pair<std::atomic<float>*, vst::VstInt32> copies[] = {
        {&target.volume, kVolume},
        {&target.ampLo, kAmpLo},
        {&target.ampHi, kAmpHi},
        {&target.freqLo, kFreqLo},
        {&target.freqHi, kFreqHi},
        {&target.midiNote, kMidiNote},
        {&target.falloff, kFalloff},
        {&target.midiChannel, kMidiChannel},
        {&target.midiVelocity, kMidiVelocity},
        {&target.outMode, kOutMode},
        {&target.noteOrCC, kNoteOrCC},
        {&target.veloSw, kVeloSw},
        {&target.release, kRelease},
        {&target.freqMode, kFreqMode},
    };
    for (auto [copy, index] : copies) {
        editor::storeCopy(*copy, source.getParameter(index));
    }
}

vst::VstInt32 APluginEditor::getRect(vst::ERect** answer) {
    rect.top = 0;
    rect.left = 0;
    if (const editor::TPluginEditorWindow* shown = editorWindow()) {
        rect.bottom = static_cast<std::int16_t>(shown->height());
        rect.right = static_cast<std::int16_t>(shown->width());
    } else {
        rect.bottom = editor::kWindowHeight;
        rect.right = editor::kWindowWidth;
    }
    *answer = &rect;
    return 1;
}

vst::VstInt32 APluginEditor::open(void* parent) {
    parentWindow = parent;
    ++openCount;
    if (openCount == 1 || !ownedWindow) {
        auto created = std::make_unique<editor::TPluginEditorWindow>(parent);
        if (created->nativeWindow() == nullptr) {
            // Nothing would show: tell the host so, and leave no half-open editor behind.
            openCount = std::max(openCount - 1, 0);
            parentWindow = nullptr;
            return 0;
        }
        copyParameters(*created);
        created->plugin = &plugin();
        ownedWindow = std::move(created);
        window.store(ownedWindow.get(), std::memory_order_relaxed);
    }
    plugin().setEditorClosed(false);
    editor::TPluginEditorWindow& shown = *ownedWindow;
    shown.update();
    shown.show();
    shown.DrawDisplay();
    shown.UpdaterTimer();
    shown.update();
    return 1;
}

void APluginEditor::close() {
    if (ownedWindow) {
        ownedWindow->hide();
    }
    openCount = std::max(openCount - 1, 0);
    if (openCount == 0) {
        plugin().setEditorClosed(true);
        destroyWindow();
    }
}

void APluginEditor::idle() {
    if (plugin().isEditorClosed() || !ownedWindow) {
        return;
    }
    editor::TPluginEditorWindow& shown = *ownedWindow;
    // The host's idle is where the window system's events and the window's timers are delivered.
    shown.pumpEvents();
    shown.setMeter(plugin().getMeterLevel(), plugin().getMeterPeak());
    if (shown.formShown) {
        shown.DrawDisplay();
    }
    shown.noteActive.store(plugin().isNoteActive(), std::memory_order_relaxed);
    shown.update();
}

void APluginEditor::update() {
    editor::TPluginEditorWindow* shown = editorWindow();
    if (plugin().isEditorClosed() || shown == nullptr) {
        return;
    }
    copyParameters(*shown);
}

} // namespace zephyrion
