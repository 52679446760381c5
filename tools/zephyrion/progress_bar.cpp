#include "tools/zephyrion/progress_bar.h"

#include <algorithm>
#include <cmath>

namespace zcli {
namespace {

constexpr int kBarCells = 30;

std::string minutesAndSeconds(double seconds) {
    const long whole = std::lrint(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

std::string progressLine(std::int64_t done, std::int64_t total, double sampleRate, double elapsedSeconds) {
    const double fraction =
        total > 0 ? std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0) : 1.0;
    const int filled = static_cast<int>(fraction * kBarCells);
    // Appended piece by piece: GCC 12 at -O3 warns falsely about "[" + a string.
    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarCells - filled), ' ');
    line += ']';
    char numbers[96];
    const double audioSeconds = static_cast<double>(done) / sampleRate;
    if (elapsedSeconds > 0.0 && done > 0) {
        const double speed = audioSeconds / elapsedSeconds;
        const double left = static_cast<double>(total - done) / sampleRate / speed;
        std::snprintf(numbers, sizeof numbers, " %3d%%  %.1fx real time  %s left",
                      static_cast<int>(fraction * 100), speed, minutesAndSeconds(left).c_str());
    } else {
        std::snprintf(numbers, sizeof numbers, " %3d%%", static_cast<int>(fraction * 100));
    }
    return line + numbers;
}

ProgressBar::ProgressBar(bool enabled, std::int64_t totalFrames, double sampleRate, FILE* stream)
    : enabled_(enabled), total_(totalFrames), sampleRate_(sampleRate), stream_(stream) {}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::update(std::int64_t doneFrames) {
    if (!enabled_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (drawn_ && now - lastDrawn_ < std::chrono::milliseconds(100) && doneFrames < total_) {
        return;
    }
    lastDrawn_ = now;
    drawn_ = true;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stream_, "\r%s\x1b[K", progressLine(doneFrames, total_, sampleRate_, elapsed).c_str());
    std::fflush(stream_);
}

void ProgressBar::finish() {
    if (enabled_ && drawn_) {
        std::fprintf(stream_, "\r\x1b[K");
        std::fflush(stream_);
    }
    drawn_ = false;
}

} // namespace zcli
