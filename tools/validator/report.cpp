#include "tools/validator/report.h"

namespace zvalidate {
namespace {

constexpr const char* kRowFormat = "%-20s %-8s %7s  %s\n";

std::string tenths(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string secondsText(double seconds) {
    return tenths(seconds) + " s";
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(byte));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

} // namespace

Tally tally(const std::vector<CheckResult>& results) {
    Tally counts;
    for (const CheckResult& result : results) {
        switch (result.status) {
        case Status::Pass: ++counts.passed; break;
        case Status::Warning: ++counts.warnings; break;
        case Status::Failure: ++counts.failed; break;
        case Status::Skipped: ++counts.skipped; break;
        }
    }
    return counts;
}

void printTableHead(FILE* stream, const std::string& pluginPath, int level, std::uint32_t seed) {
    std::fprintf(stream, "Validating %s at level %d (seed %lu)\n\n", pluginPath.c_str(), level,
                 static_cast<unsigned long>(seed));
    std::fprintf(stream, kRowFormat, "check", "result", "time", "reason");
    std::fflush(stream);
}

void printTableRow(FILE* stream, const CheckResult& result) {
    std::fprintf(stream, kRowFormat, result.name.c_str(), statusWord(result.status),
                 secondsText(result.seconds).c_str(), result.reason.c_str());
    std::fflush(stream);
}

void printTableFoot(FILE* stream, const std::vector<CheckResult>& results, double seconds) {
    const Tally counts = tally(results);
    std::fprintf(stream, "\n%d passed, %d with warnings, %d failed, %d skipped in %s\n", counts.passed,
                 counts.warnings, counts.failed, counts.skipped, secondsText(seconds).c_str());
}

std::string jsonReport(const std::string& pluginPath, int level, std::uint32_t seed,
                       const std::vector<CheckResult>& results, double seconds) {
    const Tally counts = tally(results);
    std::string json = "{\"plugin\":" + jsonString(pluginPath) + ",\"level\":" + std::to_string(level) +
                       ",\"seed\":" + std::to_string(seed) + ",\"checks\":[";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CheckResult& result = results[i];
        json += std::string(i == 0 ? "" : ",") + "{\"name\":" + jsonString(result.name) +
                ",\"status\":" + jsonString(statusName(result.status)) +
                ",\"reason\":" + jsonString(result.reason) + ",\"seconds\":" + tenths(result.seconds) + "}";
    }
    json += "],\"passed\":" + std::to_string(counts.passed) +
            ",\"warnings\":" + std::to_string(counts.warnings) +
            ",\"failed\":" + std::to_string(counts.failed) +
            ",\"skipped\":" + std::to_string(counts.skipped) + ",\"seconds\":" + tenths(seconds) + "}\n";
    return json;
}

} // namespace zvalidate
