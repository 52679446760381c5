#include "tools/common/atomic_output.h"

#include "tools/common/errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zcli {
namespace {

#ifndef O_BINARY
constexpr int O_BINARY = 0;
#endif

constexpr int kNameAttempts = 100;

std::string reason() {
    return std::strerror(errno);
}

// A new file under a random name beside the target, made exclusively so no other writer's file is taken
// over; created with the usual permissions (0666 less the umask), like any other new file.
int createTemporary(const std::filesystem::path& folder, const std::string& name, std::string& created) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // Appended rather than "." + name: GCC 12 at -O3 warns falsely about inserting in front of a string.
        std::string hidden = ".";
        hidden += name;
        hidden += '.';
        hidden += std::to_string(random() % 1000000000u);
        const std::string candidate = (folder / hidden).string();
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
        if (fd >= 0 || errno != EEXIST) {
            created = candidate;
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Replaces the target in one step where the system can; Windows' rename refuses an existing target.
bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
        return true;
    }
    errno = EACCES;
    return false;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

AtomicOutput::AtomicOutput(std::string path) : path_(std::move(path)) {
    if (path_ == "-") {
        stream_ = stdout;
        return;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(path_, ignored)) {
        throw RunError(path_ + ": cannot be written: is a folder");
    }
    const std::filesystem::path target(path_);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int fd = createTemporary(folder, target.filename().string(), temporary_);
    if (fd < 0) {
        throw RunError(path_ + ": cannot be written: " + reason());
    }
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const std::string why = reason();
        ::close(fd);
        std::remove(temporary_.c_str());
        throw RunError(path_ + ": cannot be written: " + why);
    }
}

AtomicOutput::~AtomicOutput() {
    if (!committed_) {
        discard();
    }
}

void AtomicOutput::commit() {
    if (isStandardOutput()) {
        committed_ = true;
        if (std::fflush(stream_) != 0) {
            throw RunError("standard output: cannot be written: " + reason());
        }
        return;
    }
    const bool written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    const std::string why = written ? std::string() : reason();
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed) {
        discard();
        throw RunError(path_ + ": cannot be written: " + (why.empty() ? reason() : why));
    }
    if (!replaceFile(temporary_, path_)) {
        const std::string renameWhy = reason();
        discard();
        throw RunError(path_ + ": cannot be written: " + renameWhy);
    }
    committed_ = true;
}

void AtomicOutput::discard() {
    if (isStandardOutput()) {
        return;
    }
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    std::remove(temporary_.c_str());
}

} // namespace zcli
