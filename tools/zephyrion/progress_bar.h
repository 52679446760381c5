// A one-line progress bar on standard error: percent done, speed as a multiple of real time, time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zcli {

// Formats the bar's line, without the leading carriage return; separate from the clock so it can be checked.
std::string progressLine(std::int64_t done, std::int64_t total, double sampleRate, double elapsedSeconds);

class ProgressBar {
public:
    // Shows nothing unless enabled; callers enable it only when standard error is a terminal.
    ProgressBar(bool enabled, std::int64_t totalFrames, double sampleRate, FILE* stream = stderr);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Cheap when called every block: redraws at most ten times a second.
    void update(std::int64_t doneFrames);
    // Clears the line so the next message starts on a clean one.
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    bool enabled_;
    std::int64_t total_;
    double sampleRate_;
    FILE* stream_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
    bool drawn_ = false;
};

} // namespace zcli
