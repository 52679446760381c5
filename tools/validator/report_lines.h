// The lines a child writes to its parent: "begin INDEX", "note INDEX TEXT", "end INDEX STATUS REASON".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace zvalidate {

// Writes one line and flushes it, so that it arrives even if the process dies right after.
void writeReport(FILE* stream, const char* kind, std::size_t index, const std::string& text);

struct ReportLine {
    std::string kind;
    std::size_t index = 0;
    std::string text;
};

// False for a line that is not a report.
bool readReport(const std::string& line, ReportLine& report);

} // namespace zvalidate
