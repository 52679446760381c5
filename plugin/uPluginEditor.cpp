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
    created->plugin = this;
    window = std::move(created);
    parentWindow = parent;
    return true;
}

void APluginEditor::destroyWindow() {
    window.reset();
    parentWindow = nullptr;
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
    // Whatever changed before is taken now.
    parametersChanged.exchange(false, std::memory_order_acquire);
    window->takeParameters();
    window->showTaken();
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
    window->idle(parametersChanged.exchange(false, std::memory_order_acquire));
}

void APluginEditor::update() {
    parametersChanged.store(true, std::memory_order_release);
}

float APluginEditor::getParameter(std::int32_t index) {
    return plugin().getParameter(index);
}

void APluginEditor::setParameterAutomated(std::int32_t index, float value) {
    plugin().setParameterAutomated(index, value);
}

float APluginEditor::getSampleRate() {
    return plugin().getSampleRate();
}

float APluginEditor::getMeterLevel() {
    return plugin().getMeterLevel();
}

float APluginEditor::getMeterPeak() {
    return plugin().getMeterPeak();
}

bool APluginEditor::isNoteActive() {
    return plugin().isNoteActive();
}

} // namespace zephyrion
