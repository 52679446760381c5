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

std::string quote(std::string line) {
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return line.size() > kLongestQuote ? line.substr(0, kLongestQuote) + "..." : line;
}

} // namespace

void OutputTail::add(const char* bytes, std::size_t count) {
    kept.append(bytes, count);
    if (kept.size() > kKeptBytes) {
        kept.erase(0, kept.size() - kKeptBytes);
    }
}

std::string OutputTail::lastWords() const {
    // A sanitizer sums its report up in one line, better than any other.
    const std::size_t summary = kept.rfind("SUMMARY: ");
    if (summary != std::string::npos) {
        const std::size_t lineEnd = kept.find('\n', summary);
        return quote(
            kept.substr(summary, lineEnd == std::string::npos ? std::string::npos : lineEnd - summary));
    }
    std::size_t end = kept.size();
    while (end > 0) {
        const std::size_t start = kept.rfind('\n', end - 1);
        const std::size_t first = start == std::string::npos ? 0 : start + 1;
        std::string line = kept.substr(first, end - first);
        if (readsLikeAnError(line)) {
            return quote(line);
        }
        if (start == std::string::npos) {
            break;
        }
        end = start;
    }
    return "";
}

} // namespace zvalidate
