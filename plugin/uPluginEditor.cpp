#include "plugin/uPluginEditor.h"

#include "plugin/uPlugin.h"

namespace zephyrion {

APluginEditor::APluginEditor(APlugin* owner) : vst::AEffEditor(owner) {}

} // namespace zephyrion
