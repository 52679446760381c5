// The results as people read them (a table, a row as each check ends) and as programs read them (JSON).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/validator/results.h"

namespace zvalidate {

struct Tally {
    int passed = 0;
    int warnings = 0;
    int failed = 0;
    int skipped = 0;
};

Tally tally(const std::vector<CheckResult>& results);

void printTableHead(FILE* stream, const std::string& pluginPath, int level, std::uint32_t seed);
void printTableRow(FILE* stream, const CheckResult& result);
void printTableFoot(FILE* stream, const std::vector<CheckResult>& results, double seconds);

// The whole run as one JSON object.
std::string jsonReport(const std::string& pluginPath, int level, std::uint32_t seed,
                       const std::vector<CheckResult>& results, double seconds);

} // namespace zvalidate
