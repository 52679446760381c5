#include "ui/png/PngWriter.h"

#include <memory>

namespace ui::png {

bool write(std::FILE* stream, const PixelMap& image) {
    const std::vector<std::uint8_t> bytes = encode(image);
    return !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

bool writeFile(const std::string& path, const PixelMap& image, std::string& error) {
    if (image.empty()) {
        error = "an empty image has no PNG form";
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    if (!write(file.get(), image) || std::fflush(file.get()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace ui::png
