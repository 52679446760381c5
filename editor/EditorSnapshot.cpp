#include "editor/EditorSnapshot.h"

#include "ui/png/PngWriter.h"

namespace editor {

const ui::PixelMap& paintedFrame(TPluginEditorWindow& window) {
    window.update();
    return window.frame();
}

bool writeSnapshot(TPluginEditorWindow& window, const std::string& path, std::string& error) {
    return ui::png::writeFile(path, paintedFrame(window), error);
}

} // namespace editor
