#include "plugin/uPluginEditor.h"

#include "editor/EditorLayout.h"
#include "editor/uEditor.h"
#include "plugin/uPlugin.h"

namespace zephyrion {

APluginEditor::APluginEditor(APlugin* owner) : vst::AEffEditor(owner) {}

APluginEditor::~APluginEditor() {
    if (window) {
        plugin().setEditorClosed(true);
        destroyWindow();
    }
}

APlugin& APluginEditor::plugin() const {
    return *static_cast<APlugin*>(effect);
}

bool APluginEditor::createWindow(void* parent) {
    auto created = std::make_unique<editor::TPluginEditorWindow>(parent);
    if (created->nativeWindow() == nullptr) {
        return false;
    }
    created->plugin = &plugin();
    window = std::move(created);
    parentWindow = parent;
    return true;
}

void APluginEditor::destroyWindow() {
    window.reset();
    parentWindow = nullptr;
}

void APluginEditor::takeParameters(bool always) {
    if (parametersChanged.exchange(false, std::memory_order_acquire) || always) {
        window->takeParameters();
    }
}

vst::VstInt32 APluginEditor::getRect(vst::ERect** answer) {
    rect.top = 0;
    rect.left = 0;
    if (window) {
        rect.bottom = static_cast<std::int16_t>(window->height());
        rect.right = static_cast<std::int16_t>(window->width());
    } else {
        rect.bottom = editor::kWindowHeight;
        rect.right = editor::kWindowWidth;
    }
    *answer = &rect;
    return 1;
}

vst::VstInt32 APluginEditor::open(void* parent) {
    if (window && parent != parentWindow) {
        // Opened again into another of the host's windows without a close: the editor moves there.
        destroyWindow();
    }
    if (!window && !createWindow(parent)) {
        // Nothing would show: tell the host so, and leave no half-open editor behind.
        if (openCount > 0) {
            openCount = 0;
            plugin().setEditorClosed(true);
        }
        return 0;
    }
    ++openCount;
    plugin().setEditorClosed(false);
    editor::TPluginEditorWindow& shown = *window;
    takeParameters(true);
    shown.update();
    shown.show();
    shown.DrawDisplay();
    shown.UpdaterTimer();
    shown.update();
    return 1;
}

void APluginEditor::close() {
    if (window) {
        window->hide();
    }
    openCount = openCount > 0 ? openCount - 1 : 0;
    if (openCount == 0) {
        plugin().setEditorClosed(true);
        destroyWindow();
    }
}

void APluginEditor::idle() {
    if (plugin().isEditorClosed() || !window) {
        return;
    }
    editor::TPluginEditorWindow& shown = *window;
    // Before the events, so the timers they deliver already show the new values.
    takeParameters(false);
    // The host's idle is where the window system's events and the window's timers are delivered.
    shown.pumpEvents();
    shown.setMeter(plugin().getMeterLevel(), plugin().getMeterPeak());
    if (shown.formShown) {
        shown.DrawDisplay();
    }
    shown.noteActive = plugin().isNoteActive();
    shown.update();
}

void APluginEditor::update() {
    parametersChanged.store(true, std::memory_order_release);
}

} // namespace zephyrion
