#include "ui/platform/x11/PixelFormat.h"

#include <algorithm>
#include <bit>

namespace ui::platform::x11 {

std::optional<PixelFormat::Channel> PixelFormat::channelOf(unsigned long mask) {
    const auto mask32 = static_cast<std::uint32_t>(mask);
    if (mask32 == 0 || mask32 != mask) {
        return std::nullopt;
    }
    Channel channel;
    channel.shift = std::countr_zero(mask32);
    channel.bits = std::countr_one(mask32 >> channel.shift);
    // A mask with holes in it is no colour channel.
    if ((mask32 >> channel.shift) >> channel.bits != 0) {
        return std::nullopt;
    }
    return channel;
}

std::optional<PixelFormat> PixelFormat::fromMasks(unsigned long redMask, unsigned long greenMask,
                                                  unsigned long blueMask, int depth) {
    const auto red = channelOf(redMask);
    const auto green = channelOf(greenMask);
    const auto blue = channelOf(blueMask);
    if (!red || !green || !blue || depth < 1 || depth > 32) {
        return std::nullopt;
    }
    PixelFormat format;
    format.red_ = *red;
    format.green_ = *green;
    format.blue_ = *blue;
    const std::uint32_t depthBits = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1u;
    format.unusedBits_ = depthBits & ~static_cast<std::uint32_t>(redMask | greenMask | blueMask);
    format.identity_ =
        redMask == 0xFF0000 && greenMask == 0xFF00 && blueMask == 0xFF && format.unusedBits_ == 0;
    return format;
}

std::uint32_t PixelFormat::place(const Channel& channel, std::uint32_t value8) {
    if (channel.bits <= 8) {
        return (value8 >> (8 - channel.bits)) << channel.shift;
    }
    // Wider channels repeat the value's top bits in the low ones, so full white stays full white.
    const int extra = std::min(channel.bits - 8, 8);
    const std::uint32_t widened = (value8 << extra) | (value8 >> (8 - extra));
    return widened << (channel.shift + channel.bits - 8 - extra);
}

std::uint32_t PixelFormat::toNative(std::uint32_t rgb) const {
    if (identity_) {
        return rgb & 0xFFFFFFu;
    }
    return place(red_, (rgb >> 16) & 0xFF) | place(green_, (rgb >> 8) & 0xFF) | place(blue_, rgb & 0xFF) |
           unusedBits_;
}

} // namespace ui::platform::x11
