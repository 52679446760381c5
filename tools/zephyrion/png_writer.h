// Saves a Canvas as an 8-bit RGB PNG through libpng.
#pragma once

#include "tools/common/atomic_output.h"
#include "tools/zephyrion/canvas.h"

namespace zcli {

// Throws RunError naming the output if libpng reports a failure.
void writePng(const Canvas& canvas, AtomicOutput& output);

} // namespace zcli
