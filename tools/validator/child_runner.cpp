// The child's side of a run: each chosen check in turn, each report one line on the parent's pipe.
#include <exception>

#include "tools/validator/checks.h"
#include "tools/validator/report_lines.h"
#include "tools/validator/run.h"

namespace zvalidate {

void runChecksAsChild(const RunSettings& settings, std::size_t first, FILE* reports) {
    std::size_t current = 0;
    CheckContext context(settings.pluginPath, settings.level, settings.seed,
                         [&](const std::string& what) { writeReport(reports, "note", current, what); });
    const std::span<const Check> checks = allChecks();
    for (std::size_t index : settings.chosen) {
        if (index < first) {
            continue;
        }
        current = index;
        writeReport(reports, "begin", index, "");
        Outcome outcome;
        try {
            outcome = checks[index].run(context);
        } catch (const std::exception& error) {
            outcome = {Status::Failure, error.what()};
        }
        writeReport(reports, "end", index, std::string(statusName(outcome.status)) + " " + outcome.reason);
        if (index == 0 && outcome.status == Status::Failure) {
            return; // nothing else can run without an instance
        }
    }
}

} // namespace zvalidate
