// Colours as the canvas stores them: 0x00RRGGBB in one 32-bit word.
#pragma once

#include <algorithm>
#include <cstdint>

namespace ui {

using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return (static_cast<Color>(r & 0xFF) << 16) | (static_cast<Color>(g & 0xFF) << 8) |
           static_cast<Color>(b & 0xFF);
}
constexpr int redOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr int greenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(Color c) {
    return static_cast<int>(c & 0xFF);
}

// Per channel weight / 255 of a and the rest of b, to the nearest: anti-aliased text and shaded lettering.
constexpr Color mix(Color a, Color b, int weight) {
    auto channel = [weight](int x, int y) { return (weight * x + (255 - weight) * y + 127) / 255; };
    return rgb(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)), channel(blueOf(a), blueOf(b)));
}

// Per channel (weight x a + (255 - weight) x b) div 256; the truncation is part of the look, keep it.
constexpr Color blend(Color a, Color b, int weight) {
    auto mix = [weight](int x, int y) { return (weight * x + (255 - weight) * y) / 256; };
    return rgb(mix(redOf(a), redOf(b)), mix(greenOf(a), greenOf(b)), mix(blueOf(a), blueOf(b)));
}

// Adds `amount` to every channel, clamped to 0..255.
constexpr Color shiftColor(Color c, int amount) {
    auto move = [amount](int x) { return std::clamp(x + amount, 0, 255); };
    return rgb(move(redOf(c)), move(greenOf(c)), move(blueOf(c)));
}

inline constexpr Color clBlack = rgb(0, 0, 0);
inline constexpr Color clWhite = rgb(255, 255, 255);
inline constexpr Color clSilver = rgb(192, 192, 192);
inline constexpr Color clGray = rgb(128, 128, 128);
inline constexpr Color clYellow = rgb(255, 255, 0);
inline constexpr Color clFuchsia = rgb(255, 0, 255);

// The system colours of the classic Windows scheme, the one whose window frame is black.
inline constexpr Color clBtnFace = rgb(192, 192, 192);
inline constexpr Color clBtnShadow = rgb(128, 128, 128);
inline constexpr Color clBtnHighlight = rgb(255, 255, 255);
inline constexpr Color clWindow = rgb(255, 255, 255);
inline constexpr Color clWindowText = rgb(0, 0, 0);
inline constexpr Color clWindowFrame = rgb(0, 0, 0);

} // namespace ui
