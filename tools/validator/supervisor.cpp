// The parent's side of a run: children started, their reports read, crashes and hangs turned into results.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "tools/validator/checks.h"
#include "tools/validator/child_process.h"
#include "tools/validator/report_lines.h"
#include "tools/validator/run.h"

namespace zvalidate {
namespace {

using Clock = std::chrono::steady_clock;

// A child may take a while to start (a Windows program under wine and emulation does), and that time is
// not the plug-in's: it gets at least this long before its first report.
constexpr double kStartAllowanceSeconds = 300.0;
constexpr int kPollMilliseconds = 200;
constexpr std::size_t kNoCheck = SIZE_MAX;

// Splits what a child writes into lines.
class LineReader {
public:
    explicit LineReader(ChildProcess& source) : child(source) {}

    enum class Got { Line, End, Nothing };

    Got next(std::string& line, int milliseconds) {
        for (;;) {
            const std::size_t end = pending.find('\n');
            if (end != std::string::npos) {
                line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                return Got::Line;
            }
            if (ended) {
                return Got::End;
            }
            char buffer[4096];
            const long count = child.read(buffer, sizeof buffer, milliseconds);
            if (count < 0) {
                return Got::Nothing;
            }
            if (count == 0) {
                ended = true;
                if (!pending.empty()) {
                    pending.push_back('\n');
                }
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(count));
        }
    }

private:
    ChildProcess& child;
    std::string pending;
    bool ended = false;
};

// The child's last error report, as a clause to follow how it ended.
std::string lastWords(const ChildProcess& child) {
    const std::string words = child.lastWords();
    return words.empty() ? "" : " saying \"" + words + "\"";
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

std::vector<std::string> childArguments(const RunSettings& settings, std::size_t first) {
    std::string names;
    for (std::size_t index : settings.chosen) {
        if (!names.empty()) {
            names += ',';
        }
        names += allChecks()[index].name;
    }
    return {"--plugin",     settings.pluginPath,           "--level", std::to_string(settings.level),
            "--seed",       std::to_string(settings.seed), "--check", names,
            "--child-from", std::to_string(first)};
}

std::vector<CheckResult> superviseChecks(const RunSettings& settings,
                                         const std::vector<std::string>& childCommand,
                                         const std::function<void(const CheckResult&)>& onResult) {
    const std::span<const Check> checks = allChecks();
    std::vector<CheckResult> results;
    auto record = [&](std::size_t index, Status status, const std::string& reason, double seconds) {
        results.push_back({checks[index].name, status, reason, seconds});
        onResult(results.back());
    };
    std::size_t next = 0; // position in settings.chosen of the first check without a result
    bool loaded = true;
    while (next < settings.chosen.size()) {
        if (!loaded) {
            record(settings.chosen[next++], Status::Skipped, "the plug-in did not load", 0.0);
            continue;
        }
        std::vector<std::string> command = childCommand;
        const std::vector<std::string> extra = childArguments(settings, settings.chosen[next]);
        command.insert(command.end(), extra.begin(), extra.end());
        ChildProcess child(command);
        LineReader reader(child);
        std::size_t running = kNoCheck;
        std::string lastNote;
        Clock::time_point began = Clock::now();
        double allowed = std::max(settings.timeoutSeconds, kStartAllowanceSeconds);
        std::string line;
        for (;;) {
            const LineReader::Got got = reader.next(line, kPollMilliseconds);
            if (got == LineReader::Got::Line) {
                ReportLine report;
                if (!readReport(line, report) || report.index >= checks.size()) {
                    continue;
                }
                if (report.kind == "begin") {
                    child.forgetOutput();
                    running = report.index;
                    lastNote.clear();
                    began = Clock::now();
                    allowed = settings.timeoutSeconds;
                } else if (report.kind == "note") {
                    lastNote = report.text;
                } else {
                    const std::size_t space = report.text.find(' ');
                    Status status = Status::Failure;
                    statusFromName(report.text.substr(0, space), status);
                    record(report.index, status,
                           space == std::string::npos ? "" : report.text.substr(space + 1),
                           secondsSince(began));
                    loaded = loaded && !(report.index == 0 && status == Status::Failure);
                    running = kNoCheck;
                    ++next;
                    began = Clock::now();
                    allowed = std::max(settings.timeoutSeconds, kStartAllowanceSeconds);
                }
                continue;
            }
            const std::string during = lastNote.empty() ? "" : " while at: " + lastNote;
            if (got == LineReader::Got::End) {
                const std::string ending = child.wait() + lastWords(child);
                if (running != kNoCheck) {
                    record(running, Status::Failure,
                           (ending.empty() ? "the check's process ended without a result" : ending) + during,
                           secondsSince(began));
                    loaded = loaded && running != 0;
                    ++next;
                } else if (next < settings.chosen.size() && loaded) {
                    record(settings.chosen[next++], Status::Failure,
                           "the validator's child process " + (ending.empty() ? "ended" : ending) +
                               " before the check began",
                           0.0);
                }
                break;
            }
            if (secondsSince(began) > allowed) {
                child.kill();
                child.wait();
                const std::size_t index = running != kNoCheck ? running : settings.chosen[next];
                record(index, Status::Failure,
                       "did not finish within " + std::to_string(static_cast<long>(allowed)) + " s (hung)" +
                           during,
                       secondsSince(began));
                loaded = loaded && index != 0;
                ++next;
                break;
            }
        }
    }
    return results;
}

} // namespace zvalidate
