// The encoder wherever libpng exists: compressed, and as every other program reads it.
#include <png.h>

#include "ui/png/PngWriter.h"

namespace ui::png {
namespace {

void append(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// libpng reports errors by longjmp; no object with a destructor may be created between here and the jump.
bool encodeRows(std::vector<std::uint8_t>& out, int width, int height, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Unfiltered rows, packed hard: the pictures are mostly flat colour, which deflate packs well as it is.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> encode(const PixelMap& image) {
    const auto stride = static_cast<std::size_t>(image.width()) * 3;
    std::vector<png_byte> bytes(stride * static_cast<std::size_t>(image.height()));
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        png_bytep row = bytes.data() + stride * static_cast<std::size_t>(y);
        rows[static_cast<std::size_t>(y)] = row;
        for (int x = 0; x < image.width(); ++x) {
            const Color c = image.row(y)[x];
            row[3 * x] = static_cast<png_byte>(redOf(c));
            row[3 * x + 1] = static_cast<png_byte>(greenOf(c));
            row[3 * x + 2] = static_cast<png_byte>(blueOf(c));
        }
    }
    std::vector<std::uint8_t> out;
    if (image.empty() || !encodeRows(out, image.width(), image.height(), rows.data())) {
        out.clear();
    }
    return out;
}

} // namespace ui::png
