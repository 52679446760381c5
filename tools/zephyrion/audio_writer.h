// The plug-in's stereo output as a 32-bit float WAV file, written block by block into an AtomicOutput.
#pragma once

#include "tools/common/atomic_output.h"

#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace zcli {

class AudioWriter {
public:
    // Throws RunError naming the file if libsndfile cannot start it.
    AudioWriter(AtomicOutput& output, double sampleRate);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* left, const float* right, std::size_t frames);
    // Completes the header; call before the output is committed.
    void finish();

private:
    AtomicOutput& output_;
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

} // namespace zcli
