#include "tools/validator/validate_command.h"

#include <chrono>
#include <filesystem>

#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"
#include "tools/common/plugin_location.h"
#include "tools/validator/child_process.h"
#include "tools/validator/options.h"
#include "tools/validator/report.h"
#include "tools/validator/run.h"

namespace zvalidate {
namespace {

std::string pluginToCheck(const std::string& given) {
    const std::string path = given.empty() ? zcli::defaultPluginPath() : given;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        throw zcli::RunError(path + ": no such file");
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        throw zcli::RunError(path + ": not a plug-in library (not a regular file)");
    }
    // The children may resolve a relative path elsewhere; the absolute one means the same to all.
    return std::filesystem::absolute(path, error).lexically_normal().string();
}

// The report is written once the checks are done; a folder that is not there is better said at once.
void checkJsonFolder(const std::string& path) {
    if (path.empty() || path == "-") {
        return;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        throw zcli::RunError(path + ": cannot be written: no folder " + folder.string());
    }
}

} // namespace

int runValidate(const std::vector<std::string>& arguments, const Invocation& invocation) {
    const ValidateOptions options = parseValidateOptions(arguments);
    if (options.help) {
        std::fputs(validateHelp(invocation.name).c_str(), stdout);
        return zcli::kExitSuccess;
    }
    RunSettings settings;
    settings.level = options.level;
    settings.seed = options.seed;
    settings.timeoutSeconds = options.timeoutSeconds;
    settings.chosen = chooseChecks(options.checks);
    if (options.childFrom >= 0) {
        settings.pluginPath = options.pluginPath;
        FILE* reports = claimReportStream();
        if (reports == nullptr) {
            throw zcli::RunError("cannot report to the validator");
        }
        runChecksAsChild(settings, static_cast<std::size_t>(options.childFrom), reports);
        std::fclose(reports);
        return zcli::kExitSuccess;
    }
    settings.pluginPath = pluginToCheck(options.pluginPath);
    checkJsonFolder(options.jsonPath);

    const auto started = std::chrono::steady_clock::now();
    FILE* table = options.jsonPath == "-" ? stderr : stdout;
    printTableHead(table, settings.pluginPath, settings.level, settings.seed);
    const std::vector<CheckResult> results =
        superviseChecks(settings, invocation.childCommand,
                        [table](const CheckResult& result) { printTableRow(table, result); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    printTableFoot(table, results, seconds);
    if (!options.jsonPath.empty()) {
        zcli::AtomicOutput json(options.jsonPath);
        const std::string text =
            jsonReport(settings.pluginPath, settings.level, settings.seed, results, seconds);
        if (std::fputs(text.c_str(), json.stream()) < 0) {
            throw zcli::RunError(options.jsonPath + ": cannot be written");
        }
        json.commit();
    }
    return tally(results).failed > 0 ? zcli::kExitFailure : zcli::kExitSuccess;
}

} // namespace zvalidate
