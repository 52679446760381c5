#include "tools/zephyrion/audio_reader.h"

#include "tools/common/errors.h"

#include <filesystem>
#include <sndfile.h>

namespace zcli {

AudioReader::AudioReader(const std::string& path) : path_(path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        throw RunError(path + ": no such file");
    }
    if (std::filesystem::is_directory(path, error)) {
        throw RunError(path + ": is a folder, not an audio file");
    }
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) {
        throw RunError(path + ": not a readable audio file (" + sf_strerror(nullptr) + ")");
    }
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames;
    if (frames_ <= 0 || channels_ <= 0 || sampleRate_ <= 0) {
        sf_close(file_);
        file_ = nullptr;
        throw RunError(path + ": holds no audio samples");
    }
}

AudioReader::~AudioReader() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

std::size_t AudioReader::read(std::vector<float>& left, std::vector<float>& right) {
    const std::size_t wanted = left.size();
    interleaved_.resize(wanted * static_cast<std::size_t>(channels_));
    const sf_count_t got = sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(wanted));
    if (got < 0) {
        throw RunError(path_ + ": read failed (" + sf_strerror(file_) + ")");
    }
    const std::size_t frames = static_cast<std::size_t>(got);
    const std::size_t stride = static_cast<std::size_t>(channels_);
    const std::size_t secondChannel = channels_ > 1 ? 1 : 0;
    for (std::size_t i = 0; i < frames; ++i) {
        left[i] = interleaved_[i * stride];
        right[i] = interleaved_[i * stride + secondChannel];
    }
    return frames;
}

} // namespace zcli
