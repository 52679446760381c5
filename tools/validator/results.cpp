#include "tools/validator/results.h"

namespace zvalidate {
namespace {

struct StatusWords {
    Status status;
    const char* word;
    const char* name;
};

constexpr StatusWords kWords[] = {
    {Status::Pass, "pass", "pass"},
    {Status::Warning, "warning", "warning"},
    {Status::Failure, "FAIL", "failure"},
    {Status::Skipped, "skipped", "skipped"},
};

// Kinds named in a reason; the rest are only counted.
constexpr std::size_t kKindsNamed = 4;

} // namespace

const char* statusWord(Status status) {
    for (const StatusWords& words : kWords) {
        if (words.status == status) {
            return words.word;
        }
    }
    return "?";
}

const char* statusName(Status status) {
    for (const StatusWords& words : kWords) {
        if (words.status == status) {
            return words.name;
        }
    }
    return "?";
}

bool statusFromName(const std::string& name, Status& status) {
    for (const StatusWords& words : kWords) {
        if (name == words.name) {
            status = words.status;
            return true;
        }
    }
    return false;
}

void Findings::Severity::add(const std::string& what, const std::string& kind) {
    if (total == 0) {
        first = what;
    }
    ++total;
    count(kind.empty() ? what : kind, 1);
}

void Findings::Severity::count(const std::string& kind, int times) {
    for (Kind& known : kinds) {
        if (known.name == kind) {
            known.count += times;
            return;
        }
    }
    kinds.push_back({kind, times});
}

void Findings::Severity::absorb(const Severity& other) {
    if (total == 0) {
        first = other.first;
    }
    total += other.total;
    for (const Kind& kind : other.kinds) {
        count(kind.name, kind.count);
    }
}

std::string Findings::Severity::reason() const {
    if (total <= 1) {
        return first;
    }
    if (kinds.size() == 1) {
        return first + " (and " + std::to_string(total - 1) + " more like it)";
    }
    std::string counts;
    for (std::size_t i = 0; i < kinds.size() && i < kKindsNamed; ++i) {
        counts += (i == 0 ? "" : ", ") + std::to_string(kinds[i].count) + " x " + kinds[i].name;
    }
    if (kinds.size() > kKindsNamed) {
        counts += ", ...";
    }
    return first + "; " + std::to_string(total) + " in all: " + counts;
}

void Findings::fail(const std::string& what, const std::string& kind) {
    failures.add(what, kind);
}

void Findings::warn(const std::string& what, const std::string& kind) {
    warnings.add(what, kind);
}

void Findings::absorb(const Findings& other) {
    failures.absorb(other.failures);
    warnings.absorb(other.warnings);
}

Outcome Findings::outcome(const std::string& passReason) const {
    if (failures.total > 0) {
        return {Status::Failure, failures.reason()};
    }
    if (warnings.total > 0) {
        return {Status::Warning, warnings.reason()};
    }
    return {Status::Pass, passReason};
}

} // namespace zvalidate
