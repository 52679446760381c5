#include "tools/zephyrion/atomic_output.h"

#include "tools/zephyrion/errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zcli {
namespace {

std::string reason() {
    return std::strerror(errno);
}

// mkstemp creates files readable by the owner alone; a finished output should look like any other new file.
void applyUmaskPermissions(int fd) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
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
    // Appended rather than "." + name: GCC 12 at -O3 warns falsely about inserting in front of a string.
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    std::string pattern = (folder / hidden).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        throw RunError(path_ + ": cannot be written: " + reason());
    }
    temporary_ = buffer.data();
    applyUmaskPermissions(fd);
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const std::string why = reason();
        ::close(fd);
        ::unlink(temporary_.c_str());
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
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
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
    ::unlink(temporary_.c_str());
}

} // namespace zcli
