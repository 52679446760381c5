#include "tools/zephyrion/audio_writer.h"

#include "tools/common/errors.h"

#include <cmath>
#include <sndfile.h>

namespace zcli {

AudioWriter::AudioWriter(AtomicOutput& output, double sampleRate) : output_(output) {
    if (output.isStandardOutput()) {
        throw RunError("standard output: audio can only be written to a file");
    }
    SF_INFO info{};
    info.samplerate = static_cast<int>(std::lrint(sampleRate));
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    file_ = sf_open_fd(fileno(output.stream()), SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) {
        throw RunError(output.path() + ": cannot be written (" + sf_strerror(nullptr) + ")");
    }
}

AudioWriter::~AudioWriter() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

void AudioWriter::write(const float* left, const float* right, std::size_t frames) {
    interleaved_.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        interleaved_[2 * i] = left[i];
        interleaved_[2 * i + 1] = right[i];
    }
    if (sf_writef_float(file_, interleaved_.data(), static_cast<sf_count_t>(frames)) !=
        static_cast<sf_count_t>(frames)) {
        throw RunError(output_.path() + ": cannot be written (" + sf_strerror(file_) + ")");
    }
}

void AudioWriter::finish() {
    const int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0) {
        throw RunError(output_.path() + ": cannot be written (" + sf_error_number(status) + ")");
    }
}

} // namespace zcli
