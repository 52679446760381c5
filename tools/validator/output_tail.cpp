#include "tools/validator/output_tail.h"

#include <algorithm>
#include <cctype>

namespace zvalidate {
namespace {

constexpr std::size_t kKeptBytes = 16384;
constexpr std::size_t kLongestQuote = 200;
constexpr const char* kErrorWords[] = {"error",     "corruption", "assert", "abort",
                                       "terminate", "sanitizer",  "fault"};

bool readsLikeAnError(std::string line) {
    std::transform(line.begin(), line.end(), line.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return std::any_of(std::begin(kErrorWords), std::end(kErrorWords),
                       [&line](const char* word) { return line.find(word) != std::string::npos; });
}

} // namespace

void OutputTail::add(const char* bytes, std::size_t count) {
    kept.append(bytes, count);
    if (kept.size() > kKeptBytes) {
        kept.erase(0, kept.size() - kKeptBytes);
    }
}

std::string OutputTail::lastWords() const {
    std::size_t end = kept.size();
    while (end > 0) {
        const std::size_t start = kept.rfind('\n', end - 1);
        const std::size_t first = start == std::string::npos ? 0 : start + 1;
        std::string line = kept.substr(first, end - first);
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (readsLikeAnError(line)) {
            return line.size() > kLongestQuote ? line.substr(0, kLongestQuote) + "..." : line;
        }
        if (start == std::string::npos) {
            break;
        }
        end = start;
    }
    return "";
}

} // namespace zvalidate
