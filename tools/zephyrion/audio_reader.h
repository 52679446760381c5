// Reads any file libsndfile understands, block by block, as the two input channels the plug-in takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace zcli {

class AudioReader {
public:
    // Throws RunError naming the file when it is missing, unreadable, not audio or holds no samples.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    double sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    std::int64_t frames() const { return frames_; }

    // Reads up to left.size() frames into left and right: a mono file feeds both, a file with more than two
    // channels gives its first two. Returns the frames read, 0 at the end.
    std::size_t read(std::vector<float>& left, std::vector<float>& right);

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    double sampleRate_ = 0.0;
    int channels_ = 0;
    std::int64_t frames_ = 0;
    std::vector<float> interleaved_;
};

} // namespace zcli
