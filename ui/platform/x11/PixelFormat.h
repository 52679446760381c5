// How a 0x00RRGGBB pixel becomes a pixel value of the X visual the window uses. Most servers use 24-bit
// true colour laid out exactly like the frame, which is then copied as it is.
#pragma once

#include <cstdint>
#include <optional>

namespace ui::platform::x11 {

class PixelFormat {
public:
    // Null for visuals without colour channel masks (palette visuals), which cannot show a frame.
    static std::optional<PixelFormat> fromMasks(unsigned long redMask, unsigned long greenMask,
                                                unsigned long blueMask, int depth);

    bool isIdentity() const { return identity_; }
    std::uint32_t toNative(std::uint32_t rgb) const;

private:
    struct Channel {
        int shift = 0; // position of the mask's lowest bit
        int bits = 0;  // width of the mask, at most 8 bits are kept
    };
    static std::optional<Channel> channelOf(unsigned long mask);
    static std::uint32_t place(const Channel& channel, std::uint32_t value8);

    Channel red_;
    Channel green_;
    Channel blue_;
    std::uint32_t unusedBits_ = 0; // bits of the depth no channel uses (alpha): set, so the window is opaque
    bool identity_ = false;
};

} // namespace ui::platform::x11
