#include <gtest/gtest.h>

#include "ui/Font.h"

namespace {

const ui::Font arialBold11{11, true, ui::clSilver};
const ui::Font arialBold12{12, true, ui::clFuchsia};
const ui::Font sansSerif11{11, false, ui::clBlack};

TEST(EmbeddedFonts, LineHeightsMatchTheDesignedLayout) {
    EXPECT_EQ(ui::faceFor(arialBold11).lineHeight, 14);
    EXPECT_EQ(ui::faceFor(arialBold12).lineHeight, 15);
    EXPECT_EQ(ui::faceFor(sansSerif11).lineHeight, 13);
}

TEST(EmbeddedFonts, ValueLabelTextsMeasureAsDesigned) {
    const ui::FontFace& face = ui::faceFor(arialBold11);
    EXPECT_EQ(face.textWidth("16"), 12);
    EXPECT_EQ(face.textWidth("127"), 18);
    EXPECT_EQ(face.textWidth("C#3"), 20);
    EXPECT_EQ(face.textWidth("lin"), 13);
    EXPECT_EQ(face.textWidth("X"), 7);
}

TEST(EmbeddedFonts, NearestSizeOfTheRequestedWeight) {
    EXPECT_EQ(ui::faceFor({11, true}).pixelHeight, 11);
    EXPECT_TRUE(ui::faceFor({11, true}).bold);
    EXPECT_FALSE(ui::faceFor({11, false}).bold);
    EXPECT_EQ(ui::faceFor({19, true}).pixelHeight, 20);
    EXPECT_EQ(ui::faceFor({13, true}).pixelHeight, 12); // tie between 12 and 14: the smaller
    EXPECT_EQ(ui::faceFor({-40, true}).pixelHeight, 9);
    EXPECT_EQ(ui::faceFor({400, false}).pixelHeight, 12);
}

TEST(EmbeddedFonts, EveryGlyphLiesInsideItsLine) {
    for (const ui::FontFace* face : ui::embeddedFaces()) {
        for (char c = ' '; c <= '~'; ++c) {
            const ui::Glyph& g = face->glyph(c);
            if (g.height == 0) {
                continue;
            }
            EXPECT_LE(g.top, face->ascent) << face->pixelHeight << " '" << c << "'";
            EXPECT_LE(g.height - g.top, face->lineHeight - face->ascent)
                << face->pixelHeight << " '" << c << "'";
            EXPECT_GE(g.advance, 1);
        }
    }
}

} // namespace
