// Pictures of the editor for tests, the README and the command-line tool: the window's frame as a host would
// show it, written as a PNG. Kept out of the plug-in, which writes no files.
#pragma once

#include <string>

#include "editor/uEditor.h"
#include "ui/PixelMap.h"

namespace editor {

// Paints whatever is pending and answers the window's frame.
const ui::PixelMap& paintedFrame(TPluginEditorWindow& window);

// False with the reason in `error` when the file cannot be written.
bool writeSnapshot(TPluginEditorWindow& window, const std::string& path, std::string& error);

} // namespace editor
