#include <cmath>

#include <gtest/gtest.h>

#include "vst/DVstUtils.h"

namespace {

TEST(FourCharCode, PacksFirstCharacterMostSignificant) {
    EXPECT_EQ(vst::FourCharCode('V', 's', 't', 'P'), 0x56737450);
    EXPECT_EQ(vst::FourCharCode('Z', 'Q', 'M', 'V'), (90 << 24) | (81 << 16) | (77 << 8) | 86);
    // Characters above 127 are masked to 8 bits, not sign-extended into the higher bytes.
    EXPECT_EQ(vst::FourCharCode('\0', '\0', '\0', static_cast<char>(0xFF)), 0xFF);
    EXPECT_EQ(static_cast<unsigned>(vst::FourCharCode(static_cast<char>(0x80), 0, 0, 0)), 0x80000000u);
}

TEST(FloatToDisplayText, WritesTwoDecimals) {
    char text[16];
    vst::FloatToDisplayText(text, sizeof text, 0.5f);
    EXPECT_STREQ(text, "0.50");
    vst::FloatToDisplayText(text, sizeof text, 1.0f);
    EXPECT_STREQ(text, "1.00");
    vst::FloatToDisplayText(text, sizeof text, -0.25f);
    EXPECT_STREQ(text, "-0.25");
    vst::FloatToDisplayText(text, sizeof text, 100.0f);
    EXPECT_STREQ(text, "100.00");
}

TEST(FloatToDisplayText, NeverWritesPastTheBuffer) {
    char text[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    vst::FloatToDisplayText(text, 4, 123.456f);
    EXPECT_STREQ(text, "123");
    EXPECT_EQ(text[4], 'x');
}

TEST(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(vst::roundHalfEven(0.5), 0);
    EXPECT_EQ(vst::roundHalfEven(1.5), 2);
    EXPECT_EQ(vst::roundHalfEven(2.5), 2);
    EXPECT_EQ(vst::roundHalfEven(-2.5), -2);
    EXPECT_EQ(vst::roundHalfEven(63.5), 64);
    EXPECT_EQ(vst::roundHalfEven(62.5), 62);
    EXPECT_EQ(vst::roundHalfEven(2.4999), 2);
}

TEST(RoundHalfEven, SaturatesAndMapsNanToZero) {
    EXPECT_EQ(vst::roundHalfEven(std::nan("")), 0);
    EXPECT_EQ(vst::roundHalfEven(1e30), 2147483647);
    EXPECT_EQ(vst::roundHalfEven(-1e30), -2147483647 - 1);
}

} // namespace
