#include "tools/zephyrion/plot.h"

#include "tools/zephyrion/digit_font.h"

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
constexpr int kLabelScale = 2;

constexpr Rgb kBackground = 0xFFFFFF;
constexpr Rgb kPanel = 0xF3F5F8;
constexpr Rgb kGrid = 0xDCE0E6;
constexpr Rgb kAxis = 0x30343A;
constexpr Rgb kWave = 0x3B6EA5;
constexpr Rgb kWindowBand = 0xDCEFD8;
constexpr Rgb kUpperBound = 0xC0392B;
constexpr Rgb kLowerBound = 0x1E8449;
constexpr Rgb kQuietNote = 0xF1C40F; // velocity 0
constexpr Rgb kLoudNote = 0xB03A2E;  // velocity 127
constexpr Rgb kController = 0x7D3C98;

Rgb mix(Rgb from, Rgb to, double amount) {
    Rgb result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = (from >> shift) & 0xFF;
        const double b = (to >> shift) & 0xFF;
        result |= static_cast<Rgb>(std::lrint(a + (b - a) * amount)) << shift;
    }
    return result;
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
void drawWindowBand(Canvas& canvas, const AmplitudeWindow& window) {
    if (window.lower <= window.upper) {
        for (const float sign : {1.0f, -1.0f}) {
            canvas.fill(kWaveArea.left, yOfLevel(sign * window.lower), kWaveArea.right,
                        yOfLevel(sign * window.upper), kWindowBand);
        }
    }
}

void drawWindowBounds(Canvas& canvas, const AmplitudeWindow& window) {
    for (const float sign : {1.0f, -1.0f}) {
        canvas.dashedHorizontalLine(kWaveArea.left, kWaveArea.right, yOfLevel(sign * window.upper), 6,
                                    kUpperBound);
        canvas.dashedHorizontalLine(kWaveArea.left, kWaveArea.right, yOfLevel(sign * window.lower), 6,
                                    kLowerBound);
    }
}

void drawWaveform(Canvas& canvas, const WaveformSummary& waveform, std::int64_t end) {
    const int columns = waveform.columns();
    for (int column = 0; column < columns; ++column) {
        const std::int64_t first = waveform.frames() * column / columns;
        const std::int64_t last = waveform.frames() * (column + 1) / columns;
        const int x0 = xOf(first, end);
        const int x1 = std::max(x0, xOf(last, end) - 1);
        canvas.fill(x0, yOfLevel(waveform.maximum(column)), x1, yOfLevel(waveform.minimum(column)), kWave);
    }
}

void drawNoteBar(Canvas& canvas, std::int64_t start, std::int64_t stop, int velocity, std::int64_t end) {
    const int x0 = xOf(start, end);
    const int x1 = std::max(x0 + 1, xOf(stop, end));
    const double loudness = velocity / 127.0;
    const int barHeight = std::max(2, static_cast<int>(std::lrint(loudness * kNoteArea.height())));
    canvas.fill(x0, kNoteArea.bottom - barHeight + 1, x1, kNoteArea.bottom,
                mix(kQuietNote, kLoudNote, loudness));
}

void drawEvents(Canvas& canvas, const std::vector<MidiEvent>& events, std::int64_t end) {
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
            canvas.verticalLine(x, top, kNoteArea.bottom, kController);
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

void drawTimeAxis(Canvas& canvas, double sampleRate, std::int64_t end) {
    const double seconds = static_cast<double>(end) / sampleRate;
    const double step = tickStep(seconds);
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    canvas.horizontalLine(kWaveArea.left, kWaveArea.right, kAxisY, kAxis);
    for (int index = 0; index * step <= seconds + 1e-9; ++index) {
        const double time = index * step;
        const int x = xOf(static_cast<std::int64_t>(std::llround(time * sampleRate)), end);
        canvas.verticalLine(x, kWaveArea.top, kWaveArea.bottom, kGrid);
        canvas.verticalLine(x, kNoteArea.top, kNoteArea.bottom, kGrid);
        canvas.verticalLine(x, kAxisY, kAxisY + 5, kAxis);
        char label[32];
        std::snprintf(label, sizeof label, "%.*fs", decimals, time);
        const int width = textWidth(label, kLabelScale);
        const int left = std::clamp(x - width / 2, 0, kPlotWidth - width);
        drawText(canvas, left, kAxisY + 10, label, kLabelScale, kAxis);
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

Canvas renderPlot(const PlotData& data) {
    Canvas canvas(kPlotWidth, kPlotHeight, kBackground);
    const std::int64_t end = std::max<std::int64_t>(1, data.endPosition);
    canvas.fill(kWaveArea.left, kWaveArea.top, kWaveArea.right, kWaveArea.bottom, kPanel);
    canvas.fill(kNoteArea.left, kNoteArea.top, kNoteArea.right, kNoteArea.bottom, kPanel);
    if (data.window) {
        drawWindowBand(canvas, *data.window);
    }
    drawTimeAxis(canvas, data.sampleRate, end);
    canvas.horizontalLine(kWaveArea.left, kWaveArea.right, yOfLevel(0.0f), kGrid);
    if (data.waveform != nullptr) {
        drawWaveform(canvas, *data.waveform, end);
    }
    if (data.window) {
        drawWindowBounds(canvas, *data.window);
    }
    if (data.events != nullptr) {
        drawEvents(canvas, *data.events, end);
    }
    return canvas;
}

} // namespace zcli
