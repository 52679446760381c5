// The true hits a conversion is scored against, read from a CSV or JSON Lines file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zcli {

// One true hit: when, in seconds or in samples of the input, and which drum, by MIDI note or by name.
struct ReferenceHit {
    double seconds = 0.0;    // when inSamples is false
    std::int64_t sample = 0; // when inSamples is true
    bool inSamples = false;
    int note = -1;          // MIDI note 0..127, or -1 when an instrument names the hit
    std::string instrument; // a band's or kit preset's name, empty when a note names the hit

    double secondsAt(double sampleRate) const {
        return inSamples ? static_cast<double>(sample) / sampleRate : seconds;
    }
};

// A file whose first line (after blank lines and # comments) starts with "{" is JSON Lines, one object a
// hit: {"seconds":1.5,"note":36}, {"sample":66150,"instrument":"kick"} ("note" a number or a name such as
// "C1"). Any other file is CSV whose first line names the two columns: seconds or sample, then note or
// instrument (e.g. "seconds,note"). Notes are MIDI numbers 0..127 or names as --note takes them.
// Throws RunError "NAME:LINE: reason" for a bad line, with `name` standing for the file.
std::vector<ReferenceHit> parseReferenceHits(std::string_view text, const std::string& name);

// Reads and parses a file; throws RunError naming it when it cannot be read.
std::vector<ReferenceHit> readReferenceHits(const std::string& path);

} // namespace zcli
