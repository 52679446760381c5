// The end of what a child process wrote to standard error, kept to say how it ended: a plug-in's own
// chatter is dropped, an error report from the C library or a sanitizer is quoted.
#pragma once

#include <cstddef>
#include <string>

namespace zvalidate {

class OutputTail {
public:
    void add(const char* bytes, std::size_t count);
    void clear() { kept.clear(); }
    // A sanitizer's summary line, else the last line that reads like an error report; empty when there is
    // none.
    std::string lastWords() const;

private:
    std::string kept;
};

} // namespace zvalidate
