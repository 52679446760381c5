#include "tools/zephyrion/plot.h"

#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace zcli {
namespace {

struct Area {
    int left, top, right, bottom;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

constexpr Area kWaveArea{48, 16, kPlotWidth - 17, 315};
constexpr Area kNoteArea{48, 332, kPlotWidth - 17, 431};
constexpr int kAxisY = 440;
constexpr int kLabelGap = 6; // from the axis to the top of the labels' text line
constexpr ui::Color kBackground = 0xFFFFFF;
constexpr ui::Color kPanel = 0xF3F5F8;
constexpr ui::Color kGrid = 0xDCE0E6;
constexpr ui::Color kAxis = 0x30343A;
constexpr ui::Color kWave = 0x3B6EA5;
constexpr ui::Color kWindowBand = 0xDCEFD8;
constexpr ui::Color kUpperBound = 0xC0392B;
constexpr ui::Color kLowerBound = 0x1E8449;
constexpr ui::Color kQuietNote = 0xF1C40F; // velocity 0
constexpr ui::Color kLoudNote = 0xB03A2E;  // velocity 127
constexpr ui::Color kController = 0x7D3C98;
constexpr ui::Font kLabelFont{12, false, kAxis};

// Rounded to the nearest, unlike ui::blend: the velocity colours are chosen this way.
ui::Color mix(ui::Color from, ui::Color to, double amount) {
    auto channel = [amount](int a, int b) { return static_cast<int>(std::lrint(a + (b - a) * amount)); };
    return ui::rgb(channel(ui::redOf(from), ui::redOf(to)), channel(ui::greenOf(from), ui::greenOf(to)),
                   channel(ui::blueOf(from), ui::blueOf(to)));
}

// The rectangle between two corners, both included, in either order.
void fill(ui::Canvas& canvas, int x0, int y0, int x1, int y1, ui::Color colour) {
    canvas.brush.color = colour;
    canvas.fillRect({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1});
}

int xOf(std::int64_t position, std::int64_t end) {
    const double fraction = end > 0 ? static_cast<double>(position) / static_cast<double>(end) : 0.0;
    return kWaveArea.left + static_cast<int>(std::lrint(fraction * (kWaveArea.width() - 1)));
}

// Level +1 at the top of the waveform area, -1 at the bottom.
int yOfLevel(float level) {
    const double clamped = std::clamp(static_cast<double>(level), -1.0, 1.0);
    const double middle = (kWaveArea.top + kWaveArea.bottom) / 2.0;
    return static_cast<int>(std::lrint(middle - clamped * (kWaveArea.height() - 1) / 2.0));
}

// Only a normal window is a band; an inverted one (everything outside the two bounds) shows its bounds alone.
void drawWindowBand(ui::Canvas& canvas, const AmplitudeWindow& window) {
    if (window.lower <= window.upper) {
        for (const float sign : {1.0f, -1.0f}) {
            fill(canvas, kWaveArea.left, yOfLevel(sign * window.lower), kWaveArea.right,
                 yOfLevel(sign * window.upper), kWindowBand);
        }
    }
}

void dashedLine(ui::Canvas& canvas, int y, ui::Color colour) {
    constexpr int kDash = 6;
    for (int x = kWaveArea.left; x <= kWaveArea.right; x += 2 * kDash) {
        fill(canvas, x, y, std::min(kWaveArea.right, x + kDash - 1), y, colour);
    }
}

void drawWindowBounds(ui::Canvas& canvas, const AmplitudeWindow& window) {
    for (const float sign : {1.0f, -1.0f}) {
        dashedLine(canvas, yOfLevel(sign * window.upper), kUpperBound);
        dashedLine(canvas, yOfLevel(sign * window.lower), kLowerBound);
    }
}

void drawWaveform(ui::Canvas& canvas, const WaveformSummary& waveform, std::int64_t end) {
    const int columns = waveform.columns();
    for (int column = 0; column < columns; ++column) {
        const std::int64_t first = waveform.frames() * column / columns;
        const std::int64_t last = waveform.frames() * (column + 1) / columns;
        const int x0 = xOf(first, end);
        const int x1 = std::max(x0, xOf(last, end) - 1);
        fill(canvas, x0, yOfLevel(waveform.maximum(column)), x1, yOfLevel(waveform.minimum(column)), kWave);
    }
}

void drawNoteBar(ui::Canvas& canvas, std::int64_t start, std::int64_t stop, int velocity, std::int64_t end) {
    const int x0 = xOf(start, end);
    const int x1 = std::max(x0 + 1, xOf(stop, end));
    const double loudness = velocity / 127.0;
    const int barHeight = std::max(2, static_cast<int>(std::lrint(loudness * kNoteArea.height())));
    fill(canvas, x0, kNoteArea.bottom - barHeight + 1, x1, kNoteArea.bottom,
         mix(kQuietNote, kLoudNote, loudness));
}

void drawEvents(ui::Canvas& canvas, const std::vector<MidiEvent>& events, std::int64_t end) {
    std::map<std::pair<int, int>, MidiEvent> sounding;
    for (const MidiEvent& event : events) {
        const std::pair<int, int> key{event.channel(), event.data1};
        if (event.endsNote() || event.startsNote()) {
            const auto open = sounding.find(key);
            if (open != sounding.end()) {
                drawNoteBar(canvas, open->second.position, event.position, open->second.data2, end);
                sounding.erase(open);
            }
            if (event.startsNote()) {
                sounding[key] = event;
            }
        } else if (event.kind() == kControlChange) {
            const int x = xOf(event.position, end);
            const int top =
                kNoteArea.bottom - static_cast<int>(std::lrint(event.data2 / 127.0 * kNoteArea.height()));
            fill(canvas, x, top, x, kNoteArea.bottom, kController);
        }
    }
    for (const auto& [key, open] : sounding) {
        drawNoteBar(canvas, open.position, end, open.data2, end);
    }
}

// Ticks at 1, 2 or 5 times a power of ten seconds, no more than about a dozen across the picture.
double tickStep(double seconds) {
    const double rough = std::max(seconds, 1e-6) / 12.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double multiple : {1.0, 2.0, 5.0, 10.0}) {
        if (multiple * power >= rough) {
            return multiple * power;
        }
    }
    return 10.0 * power;
}

void drawTimeAxis(ui::Canvas& canvas, double sampleRate, std::int64_t end) {
    const double seconds = static_cast<double>(end) / sampleRate;
    const double step = tickStep(seconds);
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    fill(canvas, kWaveArea.left, kAxisY, kWaveArea.right, kAxisY, kAxis);
    canvas.font = kLabelFont;
    for (int index = 0; index * step <= seconds + 1e-9; ++index) {
        const double time = index * step;
        const int x = xOf(static_cast<std::int64_t>(std::llround(time * sampleRate)), end);
        fill(canvas, x, kWaveArea.top, x, kWaveArea.bottom, kGrid);
        fill(canvas, x, kNoteArea.top, x, kNoteArea.bottom, kGrid);
        fill(canvas, x, kAxisY, x, kAxisY + 5, kAxis);
        char label[32];
        std::snprintf(label, sizeof label, "%.*fs", decimals, time);
        const int width = canvas.textWidth(label);
        canvas.textOut(std::clamp(x - width / 2, 0, kPlotWidth - width), kAxisY + kLabelGap, label);
    }
}

} // namespace

WaveformSummary::WaveformSummary(std::int64_t frames, int columns)
    : frames_(frames), minimum_(static_cast<std::size_t>(columns), 0.0f),
      maximum_(static_cast<std::size_t>(columns), 0.0f) {}

void WaveformSummary::add(const float* left, const float* right, std::size_t frames, float gain) {
    const std::int64_t columns = static_cast<std::int64_t>(minimum_.size());
    for (std::size_t i = 0; i < frames && position_ < frames_; ++i, ++position_) {
        const std::size_t column = static_cast<std::size_t>(position_ * columns / frames_);
        const float level = (left[i] + right[i]) * gain;
        minimum_[column] = std::min(minimum_[column], level);
        maximum_[column] = std::max(maximum_[column], level);
    }
}

ui::PixelMap renderPlot(const PlotData& data) {
    ui::PixelMap picture(kPlotWidth, kPlotHeight, kBackground);
    ui::Canvas canvas(picture);
    const std::int64_t end = std::max<std::int64_t>(1, data.endPosition);
    fill(canvas, kWaveArea.left, kWaveArea.top, kWaveArea.right, kWaveArea.bottom, kPanel);
    fill(canvas, kNoteArea.left, kNoteArea.top, kNoteArea.right, kNoteArea.bottom, kPanel);
    if (data.window) {
        drawWindowBand(canvas, *data.window);
    }
    drawTimeAxis(canvas, data.sampleRate, end);
    fill(canvas, kWaveArea.left, yOfLevel(0.0f), kWaveArea.right, yOfLevel(0.0f), kGrid);
    if (data.waveform != nullptr) {
        drawWaveform(canvas, *data.waveform, end);
    }
    if (data.window) {
        drawWindowBounds(canvas, *data.window);
    }
    if (data.events != nullptr) {
        drawEvents(canvas, *data.events, end);
    }
    return picture;
}

} // namespace zcli
