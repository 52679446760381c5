#include "ui/PalettePicture.h"

#include <algorithm>
#include <map>

namespace ui {

PalettePicture::PalettePicture(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      indices_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {
    if (empty()) {
        width_ = height_ = 0;
    }
}

std::uint8_t PalettePicture::index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return row(y)[x];
}

void PalettePicture::setIndex(int x, int y, std::uint8_t index) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        indices_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)] = index;
    }
}

namespace {

struct Box {
    std::vector<std::pair<Color, std::size_t>> colors; // colour and how many pixels have it
    std::size_t pixels() const {
        std::size_t n = 0;
        for (const auto& c : colors) {
            n += c.second;
        }
        return n;
    }
};

int channel(Color c, int which) {
    return which == 0 ? redOf(c) : which == 1 ? greenOf(c) : blueOf(c);
}

// The channel with the widest spread, and that spread.
std::pair<int, int> widestChannel(const Box& box) {
    std::pair<int, int> best{0, -1};
    for (int which = 0; which < 3; ++which) {
        int low = 255;
        int high = 0;
        for (const auto& c : box.colors) {
            low = std::min(low, channel(c.first, which));
            high = std::max(high, channel(c.first, which));
        }
        if (high - low > best.second) {
            best = {which, high - low};
        }
    }
    return best;
}

// Splits boxes until there are 256, always the one with the widest spread weighted by its pixel count, at the
// median pixel of that channel.
std::vector<Box> medianCut(std::vector<std::pair<Color, std::size_t>> counted) {
    std::vector<Box> boxes{Box{std::move(counted)}};
    while (boxes.size() < 256) {
        std::size_t chosen = boxes.size();
        double bestScore = 0.0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colors.size() < 2) {
                continue;
            }
            const double score =
                static_cast<double>(widestChannel(boxes[i]).second) * static_cast<double>(boxes[i].pixels());
            if (chosen == boxes.size() || score > bestScore) {
                chosen = i;
                bestScore = score;
            }
        }
        if (chosen == boxes.size()) {
            break;
        }
        Box& box = boxes[chosen];
        const int which = widestChannel(box).first;
        std::sort(box.colors.begin(), box.colors.end(), [which](const auto& a, const auto& b) {
            return channel(a.first, which) < channel(b.first, which);
        });
        const std::size_t half = box.pixels() / 2;
        std::size_t seen = 0;
        std::size_t split = 1;
        for (; split < box.colors.size() - 1; ++split) {
            seen += box.colors[split - 1].second;
            if (seen >= half) {
                break;
            }
        }
        Box upper{{box.colors.begin() + static_cast<std::ptrdiff_t>(split), box.colors.end()}};
        box.colors.resize(split);
        boxes.push_back(std::move(upper));
    }
    return boxes;
}

Color averageOf(const Box& box) {
    double r = 0, g = 0, b = 0;
    const double n = static_cast<double>(box.pixels());
    for (const auto& c : box.colors) {
        const double w = static_cast<double>(c.second);
        r += w * redOf(c.first);
        g += w * greenOf(c.first);
        b += w * blueOf(c.first);
    }
    return rgb(static_cast<int>(r / n + 0.5), static_cast<int>(g / n + 0.5), static_cast<int>(b / n + 0.5));
}

} // namespace

PalettePicture PalettePicture::fromPixels(const PixelMap& pixels) {
    PalettePicture picture(pixels.width(), pixels.height());
    std::map<Color, std::size_t> counts;
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            ++counts[pixels.row(y)[x]];
        }
    }
    std::map<Color, std::uint8_t> indexOf;
    if (counts.size() <= 256) {
        std::uint8_t next = 0;
        for (const auto& entry : counts) {
            picture.palette_[next] = entry.first;
            indexOf[entry.first] = next++;
        }
    } else {
        const std::vector<Box> boxes = medianCut({counts.begin(), counts.end()});
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            picture.palette_[i] = averageOf(boxes[i]);
            for (const auto& c : boxes[i].colors) {
                indexOf[c.first] = static_cast<std::uint8_t>(i);
            }
        }
    }
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            picture.setIndex(x, y, indexOf[pixels.row(y)[x]]);
        }
    }
    return picture;
}

} // namespace ui
