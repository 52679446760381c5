// An output file that appears whole or not at all: written to a temporary file in the same folder, renamed
// over the target by commit(), removed if destroyed before that. "-" writes straight to standard output.
#pragma once

#include <cstdio>
#include <string>

namespace zcli {

class AtomicOutput {
public:
    // Creates the temporary file at once, so an unwritable folder is reported before any work is done.
    // Throws RunError naming the path.
    explicit AtomicOutput(std::string path);
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    FILE* stream() const { return stream_; }
    const std::string& path() const { return path_; }
    bool isStandardOutput() const { return temporary_.empty(); }

    // Flushes, closes and renames into place; throws RunError if any of that fails (the target stays as it
    // was).
    void commit();

private:
    void discard();

    std::string path_;
    std::string temporary_;
    FILE* stream_ = nullptr;
    bool committed_ = false;
};

} // namespace zcli
