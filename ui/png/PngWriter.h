// Writes 32-bit pixel maps as PNG files (8-bit RGB): the editor's snapshots, the tool's plots and the tests'
// pictures. Encoded by libpng where the target has it (LibpngEncoder.cpp), elsewhere stored uncompressed by
// the toolkit's own encoder (StoredEncoder.cpp). Kept out of the plug-in, which writes no files; everything
// else links it as zephyrion_ui_png.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/PixelMap.h"

namespace ui::png {

// The complete file contents; empty if the encoder fails.
std::vector<std::uint8_t> encode(const PixelMap& image);

// Writes the file's contents to an open stream; false when the stream takes them not all.
bool write(std::FILE* stream, const PixelMap& image);

// False with a reason in `error` when the file cannot be written.
bool writeFile(const std::string& path, const PixelMap& image, std::string& error);

} // namespace ui::png
