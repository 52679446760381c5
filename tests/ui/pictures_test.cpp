#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "ui/png/PngWriter.h"

#ifdef ZEPHYRION_PNG_BY_LIBPNG
#include <zlib.h>
#endif

namespace {

// Reads back what the writer produces: chunk lengths and checksums, the header, and the unfiltered rows.
// Independent of the writer's code paths except the format itself.
struct DecodedPng {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rows; // filter byte + RGB per row
    bool checksumsValid = true;
};

std::uint32_t readBigEndian(const std::vector<std::uint8_t>& d, std::size_t at) {
    return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) | (std::uint32_t{d[at + 2]} << 8) |
           d[at + 3];
}

std::uint32_t referenceCrc(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// The image data: through zlib where the writer is libpng's, else from the stored blocks the toolkit's own
// encoder writes.
std::vector<std::uint8_t> inflated(const std::vector<std::uint8_t>& zlib, [[maybe_unused]] std::size_t size) {
#ifdef ZEPHYRION_PNG_BY_LIBPNG
    std::vector<std::uint8_t> rows(size);
    uLongf length = size;
    EXPECT_EQ(uncompress(rows.data(), &length, zlib.data(), zlib.size()), Z_OK);
    rows.resize(length);
#else
    std::vector<std::uint8_t> rows;
    std::size_t pos = 2;
    bool last = false;
    while (!last && pos + 5 <= zlib.size()) {
        last = (zlib[pos] & 1) != 0;
        const std::size_t len = zlib[pos + 1] | (zlib[pos + 2] << 8);
        rows.insert(rows.end(), zlib.begin() + static_cast<long>(pos) + 5,
                    zlib.begin() + static_cast<long>(pos + 5 + len));
        pos += 5 + len;
    }
#endif
    return rows;
}

DecodedPng decode(const std::vector<std::uint8_t>& file) {
    DecodedPng png;
    std::vector<std::uint8_t> zlib;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = readBigEndian(file, at);
        const std::string type(file.begin() + static_cast<long>(at) + 4,
                               file.begin() + static_cast<long>(at) + 8);
        png.checksumsValid = png.checksumsValid &&
                             referenceCrc(&file[at + 4], length + 4) == readBigEndian(file, at + 8 + length);
        if (type == "IHDR") {
            png.width = readBigEndian(file, at + 8);
            png.height = readBigEndian(file, at + 12);
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), file.begin() + static_cast<long>(at) + 8,
                        file.begin() + static_cast<long>(at + 8 + length));
        }
        at += 12 + length;
    }
    png.rows = inflated(zlib, png.height * (1 + 3 * std::size_t{png.width}));
    return png;
}

TEST(PngWriter, PixelsSurviveTheRoundTrip) {
    // Wide enough that the image data needs more than one stored block or IDAT chunk.
    ui::PixelMap image(23000, 2, ui::rgb(1, 2, 3));
    image.setPixel(0, 0, ui::rgb(255, 128, 0));
    image.setPixel(22999, 1, ui::rgb(9, 8, 7));
    const std::vector<std::uint8_t> file = ui::png::encode(image);
    ASSERT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    const DecodedPng png = decode(file);
    EXPECT_TRUE(png.checksumsValid);
    EXPECT_EQ(png.width, 23000u);
    EXPECT_EQ(png.height, 2u);
    const std::size_t stride = 1 + 3 * 23000;
    ASSERT_EQ(png.rows.size(), 2 * stride);
    EXPECT_EQ(png.rows[0], 0);
    EXPECT_EQ((std::vector<std::uint8_t>(png.rows.begin() + 1, png.rows.begin() + 7)),
              (std::vector<std::uint8_t>{255, 128, 0, 1, 2, 3}));
    EXPECT_EQ((std::vector<std::uint8_t>(png.rows.end() - 3, png.rows.end())),
              (std::vector<std::uint8_t>{9, 8, 7}));
}

TEST(PngWriter, WritesFilesAndExplainsFailures) {
    const std::string path = ::testing::TempDir() + "ui_png_writer_test.png";
    std::string error;
    ASSERT_TRUE(ui::png::writeFile(path, ui::PixelMap(3, 2, ui::clWhite), error)) << error;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, ui::png::encode(ui::PixelMap(3, 2, ui::clWhite)));
    std::remove(path.c_str());

    EXPECT_FALSE(
        ui::png::writeFile(::testing::TempDir() + "no/such/folder/x.png", ui::PixelMap(1, 1), error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos);
    EXPECT_FALSE(ui::png::writeFile(path, ui::PixelMap(), error));
    EXPECT_FALSE(error.empty());
}

} // namespace
