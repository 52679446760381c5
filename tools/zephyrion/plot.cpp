#include "tools/zephyrion/plot.h"

#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace zcli {
namespace {

constexpr int kLegendTop = 8;
constexpr int kLanesTop = 32;
constexpr int kNameRows = 18;
constexpr int kHitRows = 10;
constexpr int kNoteRows = 34;
constexpr int kPartGap = 2;
constexpr int kLaneGap = 12;
// The level panel takes what the lanes share of this, within these limits.
constexpr int kLevelRowsShared = 600;
constexpr int kFewestLevelRows = 80;
constexpr int kMostLevelRows = 300;
constexpr int kAxisRows = 30; // the time axis and its labels, under the last lane
constexpr int kLabelGap = 6;  // from the axis to the top of the labels' text line
constexpr int kDbStep = 10;   // a grid line every 10 dB, a label every other one

constexpr ui::Color kBackground = 0xFFFFFF;
constexpr ui::Color kPanel = 0xF3F5F8;
constexpr ui::Color kGrid = 0xDCE0E6;
constexpr ui::Color kAxis = 0x30343A;
constexpr ui::Color kWave = 0x8FA9C6;
constexpr ui::Color kFaintWave = 0xDDE4EC;
constexpr ui::Color kLevel = 0x2E5E91;
constexpr ui::Color kLevelFill = 0xA9C4E2;
constexpr ui::Color kLevelGrid = 0x98B4D4; // the scale's grid where it crosses the level's fill
constexpr ui::Color kWindowBand = 0xDCEFD8;
constexpr ui::Color kUpperBound = 0xC0392B;
constexpr ui::Color kLowerBound = 0x1E8449;
constexpr ui::Color kQuietNote = 0xF1C40F; // velocity 0
constexpr ui::Color kLoudNote = 0xB03A2E;  // velocity 127
constexpr ui::Color kController = 0x7D3C98;
constexpr ui::Color kHit = 0x202428;
constexpr ui::Font kLabelFont{12, false, kAxis};
constexpr ui::Font kSmallFont{11, false, kAxis};
constexpr ui::Font kNameFont{12, true, kAxis};

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
    return kPlotLeft + static_cast<int>(std::lrint(fraction * (kPlotColumns - 1)));
}

int yOfDb(double db, const LaneRows& rows) {
    const double clamped = std::clamp(db, kPlotFloorDb, 0.0);
    return rows.levelTop +
           static_cast<int>(std::lrint(clamped / kPlotFloorDb * (rows.levelBottom - rows.levelTop)));
}

// A level of 0..1 on the lane's dB scale; silence sits on the floor.
int yOfLevel(float level, const LaneRows& rows) {
    return level > 0.0f ? yOfDb(20.0 * std::log10(static_cast<double>(level)), rows) : rows.levelBottom;
}

// The columns a stretch of the input covers, for either summary.
std::pair<int, int> columnSpan(std::int64_t frames, int columns, int column, std::int64_t end) {
    const int x0 = xOf(frames * column / columns, end);
    return {x0, std::max(x0, xOf(frames * (column + 1) / columns, end) - 1)};
}

std::string dbfs(float level) {
    char text[32];
    if (level > 0.0f) {
        std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(static_cast<double>(level)));
    } else {
        std::snprintf(text, sizeof text, "-inf dBFS");
    }
    return text;
}

// Text on a patch of the background, so it reads over the level and the grid.
void label(ui::Canvas& canvas, int x, int y, const std::string& text, const ui::Font& font) {
    canvas.font = font;
    fill(canvas, x - 2, y, x + canvas.textWidth(text) + 1, y + canvas.textHeight() - 1, kBackground);
    canvas.textOut(x, y, text);
}

void dashedLine(ui::Canvas& canvas, int y, ui::Color colour) {
    constexpr int kDash = 6;
    for (int x = kPlotLeft; x <= kPlotRight; x += 2 * kDash) {
        fill(canvas, x, y, std::min(kPlotRight, x + kDash - 1), y, colour);
    }
}

void drawLevelScale(ui::Canvas& canvas, const LaneRows& rows) {
    canvas.font = kSmallFont;
    for (int db = 0; db >= kPlotFloorDb; db -= kDbStep) {
        const int y = yOfDb(db, rows);
        fill(canvas, kPlotLeft, y, kPlotRight, y, kGrid);
        if (db % (2 * kDbStep) == 0) {
            fill(canvas, kPlotLeft - 4, y, kPlotLeft - 1, y, kAxis);
            const std::string text = std::to_string(db) + " dBFS";
            // The floor's label stands on its line, clear of the hits' row below.
            const int top = std::min(y - canvas.textHeight() / 2, rows.levelBottom - canvas.textHeight() + 1);
            canvas.textOut(kPlotLeft - 6 - canvas.textWidth(text), top, text);
        }
    }
}

// Only a normal window is a band; an inverted one (everything outside the two bounds) shows its bounds alone.
void drawWindowBand(ui::Canvas& canvas, const AmplitudeWindow& window, const LaneRows& rows) {
    if (window.lower <= window.upper) {
        fill(canvas, kPlotLeft, yOfLevel(window.lower, rows), kPlotRight, yOfLevel(window.upper, rows),
             kWindowBand);
    }
}

// Each bound's label at the right end, on the window's side of its line where there is room; the lower one
// moves left when the two would meet.
void drawWindowBounds(ui::Canvas& canvas, const AmplitudeWindow& window, const LaneRows& rows) {
    const int upper = yOfLevel(window.upper, rows);
    const int lower = yOfLevel(window.lower, rows);
    dashedLine(canvas, upper, kUpperBound);
    dashedLine(canvas, lower, kLowerBound);
    canvas.font = kSmallFont;
    const int height = canvas.textHeight();
    const auto place = [&](int y, bool below) {
        const int top = below ? y + 2 : y - height - 1;
        return top < rows.levelTop || top + height - 1 > rows.levelBottom ? (below ? y - height - 1 : y + 2)
                                                                          : top;
    };
    const std::string upperText = "upper " + dbfs(window.upper);
    const std::string lowerText = "lower " + dbfs(window.lower);
    const int upperTop = place(upper, window.lower > window.upper);
    const int lowerTop = place(lower, window.lower <= window.upper);
    const int upperX = kPlotRight - 4 - canvas.textWidth(upperText);
    const bool meet = std::abs(upperTop - lowerTop) < height;
    const int lowerX = (meet ? upperX - 12 : kPlotRight - 4) - canvas.textWidth(lowerText);
    label(canvas, upperX, upperTop, upperText, {11, false, kUpperBound});
    label(canvas, lowerX, lowerTop, lowerText, {11, false, kLowerBound});
}

// The input's peaks on the level's scale: behind the band's level, or alone when the plug-in gives none.
void drawWaveform(ui::Canvas& canvas, const WaveformSummary& waveform, std::int64_t end, const LaneRows& rows,
                  ui::Color colour) {
    for (int column = 0; column < waveform.columns(); ++column) {
        const float peak = std::max(std::abs(waveform.minimum(column)), std::abs(waveform.maximum(column)));
        if (peak > 0.0f) {
            const auto [x0, x1] = columnSpan(waveform.frames(), waveform.columns(), column, end);
            fill(canvas, x0, yOfLevel(peak, rows), x1, rows.levelBottom, colour);
        }
    }
}

// A filled envelope under a darker edge, the edge joined from column to column.
void drawLevel(ui::Canvas& canvas, const LevelSummary& level, std::int64_t end, const LaneRows& rows) {
    int previous = rows.levelBottom;
    for (int column = 0; column < level.columns(); ++column) {
        const auto [x0, x1] = columnSpan(level.frames(), level.columns(), column, end);
        const int y = yOfLevel(level.highest(column), rows);
        if (y < rows.levelBottom) {
            fill(canvas, x0, y, x1, rows.levelBottom, kLevelFill);
        }
        if (y < rows.levelBottom || previous < rows.levelBottom) {
            fill(canvas, x0, std::min(y, previous), x0, std::max(y, previous), kLevel);
            fill(canvas, x0, y, x1, std::min(y + 1, rows.levelBottom), kLevel);
        }
        previous = y;
    }
    for (int db = 0; db >= kPlotFloorDb; db -= kDbStep) {
        const int y = yOfDb(db, rows);
        for (int x = kPlotLeft; x <= kPlotRight; ++x) {
            if (canvas.pixel(x, y) == kLevelFill) {
                canvas.setPixel(x, y, kLevelGrid);
            }
        }
    }
}

void drawNoteBar(ui::Canvas& canvas, std::int64_t start, std::int64_t stop, int velocity, std::int64_t end,
                 const LaneRows& rows) {
    const int x0 = xOf(start, end);
    const int x1 = std::max(x0 + 1, xOf(stop, end));
    const double loudness = velocity / 127.0;
    const int height = rows.noteBottom - rows.noteTop + 1;
    const int barHeight = std::max(2, static_cast<int>(std::lrint(loudness * height)));
    fill(canvas, x0, rows.noteBottom - barHeight + 1, x1, rows.noteBottom,
         mix(kQuietNote, kLoudNote, loudness));
}

void drawEvents(ui::Canvas& canvas, const std::vector<MidiEvent>& events, std::int64_t end,
                const LaneRows& rows) {
    std::map<std::pair<int, int>, MidiEvent> sounding;
    for (const MidiEvent& event : events) {
        const std::pair<int, int> key{event.channel(), event.data1};
        if (event.endsNote() || event.startsNote()) {
            const auto open = sounding.find(key);
            if (open != sounding.end()) {
                drawNoteBar(canvas, open->second.position, event.position, open->second.data2, end, rows);
                sounding.erase(open);
            }
            if (event.startsNote()) {
                sounding[key] = event;
            }
        } else if (event.kind() == kControlChange) {
            const int x = xOf(event.position, end);
            const int height = rows.noteBottom - rows.noteTop + 1;
            fill(canvas, x, rows.noteBottom - static_cast<int>(std::lrint(event.data2 / 127.0 * height)), x,
                 rows.noteBottom, kController);
        }
    }
    for (const auto& [key, open] : sounding) {
        drawNoteBar(canvas, open.position, end, open.data2, end, rows);
    }
}

// A small triangle pointing down at each hit.
void drawHits(ui::Canvas& canvas, const std::vector<double>& hits, double sampleRate, std::int64_t end,
              const LaneRows& rows) {
    for (const double seconds : hits) {
        const int x = xOf(std::llround(seconds * sampleRate), end);
        for (int y = rows.hitTop; y <= rows.hitBottom; ++y) {
            const int half = std::max(0, (rows.hitBottom - y) * 4 / (rows.hitBottom - rows.hitTop));
            fill(canvas, x - half, y, x + half, y, kHit);
        }
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

// The axis under the last lane, and a grid line at every tick through each lane's panels.
void drawTimeAxis(ui::Canvas& canvas, double sampleRate, std::int64_t end,
                  const std::vector<LaneRows>& lanes) {
    const double seconds = static_cast<double>(end) / sampleRate;
    const double step = tickStep(seconds);
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    const int axis = lanes.back().noteBottom + kLaneGap / 2;
    fill(canvas, kPlotLeft, axis, kPlotRight, axis, kAxis);
    canvas.font = kLabelFont;
    for (int index = 0; index * step <= seconds + 1e-9; ++index) {
        const double time = index * step;
        const int x = xOf(static_cast<std::int64_t>(std::llround(time * sampleRate)), end);
        for (const LaneRows& rows : lanes) {
            fill(canvas, x, rows.levelTop, x, rows.levelBottom, kGrid);
            fill(canvas, x, rows.noteTop, x, rows.noteBottom, kGrid);
        }
        fill(canvas, x, axis, x, axis + 5, kAxis);
        char text[32];
        std::snprintf(text, sizeof text, "%.*fs", decimals, time);
        const int width = canvas.textWidth(text);
        canvas.textOut(std::clamp(x - width / 2, 0, kPlotWidth - width), axis + kLabelGap, text);
    }
}

enum class Mark { Swatch, Line, Tick };

struct LegendItem {
    std::string text;
    ui::Color colour;
    Mark mark;
};

void drawLegend(ui::Canvas& canvas, const std::vector<LegendItem>& items) {
    canvas.font = kLabelFont;
    int x = kPlotLeft;
    const int middle = kLegendTop + canvas.textHeight() / 2;
    for (const LegendItem& item : items) {
        switch (item.mark) {
        case Mark::Swatch: fill(canvas, x, middle - 5, x + 14, middle + 4, item.colour); break;
        case Mark::Line:
            fill(canvas, x, middle, x + 5, middle, item.colour);
            fill(canvas, x + 9, middle, x + 14, middle, item.colour);
            break;
        case Mark::Tick:
            for (int row = 0; row <= 4; ++row) {
                fill(canvas, x + 3 + row, middle - 4 + row, x + 11 - row, middle - 4 + row, item.colour);
            }
            break;
        }
        canvas.textOut(x + 20, kLegendTop, item.text);
        x += 20 + canvas.textWidth(item.text) + 18;
    }
}

std::vector<LegendItem> legendOf(const PlotData& data) {
    const auto any = [&](auto has) { return std::any_of(data.lanes.begin(), data.lanes.end(), has); };
    const bool levels = any([](const PlotLane& lane) { return lane.level != nullptr; });
    std::vector<LegendItem> items;
    if (levels) {
        items.push_back({"band's level as tested, dBFS", kLevelFill, Mark::Swatch});
    }
    if (data.waveform != nullptr) {
        items.push_back({"input", levels ? kFaintWave : kWave, Mark::Swatch});
    }
    if (any([](const PlotLane& lane) { return lane.window.has_value(); })) {
        items.push_back({"window's lower bound (1 - Amp.Hi)", kLowerBound, Mark::Line});
        items.push_back({"upper bound (1 - Amp.Lo)", kUpperBound, Mark::Line});
    }
    items.push_back({"note: height and colour show velocity", kLoudNote, Mark::Swatch});
    if (any([](const PlotLane& lane) { return lane.hits != nullptr; })) {
        items.push_back({"true hit", kHit, Mark::Tick});
    }
    return items;
}

void drawLane(ui::Canvas& canvas, const PlotData& data, const PlotLane& lane, std::int64_t end,
              const LaneRows& rows) {
    if (data.waveform != nullptr) {
        drawWaveform(canvas, *data.waveform, end, rows, lane.level != nullptr ? kFaintWave : kWave);
    }
    if (lane.level != nullptr) {
        drawLevel(canvas, *lane.level, end, rows);
    }
    if (lane.window) {
        drawWindowBounds(canvas, *lane.window, rows);
    }
    if (lane.events != nullptr) {
        drawEvents(canvas, *lane.events, end, rows);
    }
    if (lane.hits != nullptr) {
        drawHits(canvas, *lane.hits, data.sampleRate, end, rows);
    }
    canvas.font = kNameFont;
    canvas.textOut(kPlotLeft, rows.top, lane.name);
    if (lane.level == nullptr) {
        const int x = kPlotLeft + (lane.name.empty() ? 0 : canvas.textWidth(lane.name) + 8);
        canvas.font = kSmallFont;
        canvas.textOut(x, rows.top + 1, "the plug-in reports no level: its input is shown");
    }
    canvas.font = kSmallFont;
    const int noteMiddle = (rows.noteTop + rows.noteBottom - canvas.textHeight()) / 2;
    canvas.textOut(kPlotLeft - 6 - canvas.textWidth("notes"), noteMiddle, "notes");
    if (lane.hits != nullptr) {
        const int hitMiddle = (rows.hitTop + rows.hitBottom - canvas.textHeight()) / 2;
        canvas.textOut(kPlotLeft - 6 - canvas.textWidth("hits"), hitMiddle, "hits");
    }
}

} // namespace

LaneRows laneRows(std::size_t lanes, std::size_t lane) {
    const int count = static_cast<int>(std::max<std::size_t>(1, lanes));
    const int levelRows = std::clamp(kLevelRowsShared / count, kFewestLevelRows, kMostLevelRows);
    const int height = kNameRows + levelRows + kPartGap + kHitRows + kPartGap + kNoteRows + kLaneGap;
    LaneRows rows{};
    rows.top = kLanesTop + static_cast<int>(lane) * height;
    rows.levelTop = rows.top + kNameRows;
    rows.levelBottom = rows.levelTop + levelRows - 1;
    rows.hitTop = rows.levelBottom + 1 + kPartGap;
    rows.hitBottom = rows.hitTop + kHitRows - 1;
    rows.noteTop = rows.hitBottom + 1 + kPartGap;
    rows.noteBottom = rows.noteTop + kNoteRows - 1;
    return rows;
}

int plotHeight(std::size_t lanes) {
    return laneRows(lanes, std::max<std::size_t>(1, lanes) - 1).noteBottom + kLaneGap / 2 + kAxisRows;
}

ui::PixelMap renderPlot(const PlotData& data) {
    const std::vector<PlotLane> lanes = data.lanes.empty() ? std::vector<PlotLane>(1) : data.lanes;
    ui::PixelMap picture(kPlotWidth, plotHeight(lanes.size()), kBackground);
    ui::Canvas canvas(picture);
    const std::int64_t end = std::max<std::int64_t>(1, data.endPosition);
    std::vector<LaneRows> rows;
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        rows.push_back(laneRows(lanes.size(), lane));
        fill(canvas, kPlotLeft, rows[lane].levelTop, kPlotRight, rows[lane].levelBottom, kPanel);
        fill(canvas, kPlotLeft, rows[lane].noteTop, kPlotRight, rows[lane].noteBottom, kPanel);
        if (lanes[lane].window) {
            drawWindowBand(canvas, *lanes[lane].window, rows[lane]);
        }
        drawLevelScale(canvas, rows[lane]);
    }
    drawTimeAxis(canvas, data.sampleRate, end, rows);
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        drawLane(canvas, data, lanes[lane], end, rows[lane]);
    }
    drawLegend(canvas, legendOf(data));
    return picture;
}

} // namespace zcli
