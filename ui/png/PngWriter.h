// Writes 32-bit pixel maps as PNG files (8-bit RGB) for snapshots. Kept out of the plug-in, which writes no
// files; tests and the command-line tool link it as zephyrion_ui_png.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/PixelMap.h"

namespace ui::png {

// The complete file contents. Compression is not attempted: the images are small and this keeps the writer
// free of any library, on every target.
std::vector<std::uint8_t> encode(const PixelMap& image);

// Writes the file's contents to an open stream; false when the stream takes them not all.
bool write(std::FILE* stream, const PixelMap& image);

// False with a reason in `error` when the file cannot be written.
bool writeFile(const std::string& path, const PixelMap& image, std::string& error);

} // namespace ui::png
