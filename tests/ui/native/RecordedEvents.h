// What both backends' tests share: the events a window delivered, and a frame in which every pixel differs
// from its neighbours, so a shifted, flipped or partial copy shows.
#pragma once

#include "ui/platform/NativeWindow.h"

#include <cstdint>
#include <vector>

namespace native_test {

struct RecordedEvents : ui::platform::WindowEvents {
    void onPointer(const ui::platform::PointerEvent& event) override { pointer.push_back(event); }
    void onTimer(int timerId) override { timers.push_back(timerId); }

    const ui::platform::PointerEvent* last(ui::platform::PointerEvent::Kind kind) const {
        for (auto event = pointer.rbegin(); event != pointer.rend(); ++event) {
            if (event->kind == kind) {
                return &*event;
            }
        }
        return nullptr;
    }

    std::vector<ui::platform::PointerEvent> pointer;
    std::vector<int> timers;
};

// width x height pixels, rows `stride` apart; the padding is white so that reading it would show.
inline std::vector<std::uint32_t> testPattern(int width, int height, int stride) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height),
                                      0xFFFFFFFFu);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y * stride + x)] =
                static_cast<std::uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x + y) & 0xFF));
        }
    }
    return pixels;
}

} // namespace native_test
