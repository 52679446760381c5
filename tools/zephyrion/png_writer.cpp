#include "tools/zephyrion/png_writer.h"

#include "tools/common/errors.h"

#include <png.h>
#include <vector>

namespace zcli {
namespace {

// libpng reports errors by longjmp; this stays a plain C function so no C++ object lives across the jump.
bool encode(FILE* stream, int width, int height, const std::vector<png_bytep>& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void writePng(const Canvas& canvas, AtomicOutput& output) {
    const int width = canvas.width();
    const int height = canvas.height();
    std::vector<png_byte> bytes(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < canvas.pixels().size(); ++i) {
        const Rgb colour = canvas.pixels()[i];
        bytes[3 * i] = static_cast<png_byte>(colour >> 16);
        bytes[3 * i + 1] = static_cast<png_byte>(colour >> 8);
        bytes[3 * i + 2] = static_cast<png_byte>(colour);
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[static_cast<std::size_t>(y)] = bytes.data() + static_cast<std::size_t>(y) * width * 3;
    }
    if (!encode(output.stream(), width, height, rows)) {
        throw RunError(output.path() + ": cannot be written (PNG encoding failed)");
    }
}

} // namespace zcli
