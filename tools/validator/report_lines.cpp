#include "tools/validator/report_lines.h"

#include <algorithm>

namespace zvalidate {

void writeReport(FILE* stream, const char* kind, std::size_t index, const std::string& text) {
    std::string line = text;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    line = std::string(kind) + " " + std::to_string(index) + " " + line + "\n";
    std::fputs(line.c_str(), stream);
    std::fflush(stream);
}

bool readReport(const std::string& line, ReportLine& report) {
    const std::size_t firstSpace = line.find(' ');
    if (firstSpace == std::string::npos) {
        return false;
    }
    const std::size_t secondSpace = line.find(' ', firstSpace + 1);
    const std::string number = line.substr(
        firstSpace + 1, (secondSpace == std::string::npos ? line.size() : secondSpace) - firstSpace - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    report.kind = line.substr(0, firstSpace);
    report.index = std::stoul(number);
    report.text = secondSpace == std::string::npos ? "" : line.substr(secondSpace + 1);
    return report.kind == "begin" || report.kind == "note" || report.kind == "end";
}

} // namespace zvalidate
