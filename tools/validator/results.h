// What a check concludes: a status and one line saying why, and the findings it is built from.
#pragma once

#include <string>
#include <vector>

namespace zvalidate {

enum class Status { Pass, Warning, Failure, Skipped };

// "pass", "warning", "FAIL", "skipped": as the table prints them.
const char* statusWord(Status status);
// "pass", "warning", "failure", "skipped": as the JSON report and the child's report name them.
const char* statusName(Status status);
bool statusFromName(const std::string& name, Status& status);

struct Outcome {
    Status status = Status::Pass;
    std::string reason;
};

struct CheckResult {
    std::string name;
    Status status = Status::Pass;
    std::string reason;
    double seconds = 0.0;
};

// Collects what one check finds: failures outrank warnings, the first of each is shown in full, and the
// rest are counted by kind, so the reason stays one line however many problems there are.
class Findings {
public:
    // `what` says what went wrong and where; `kind` names the sort of problem for the counts (by default,
    // `what` itself).
    void fail(const std::string& what, const std::string& kind = "");
    void warn(const std::string& what, const std::string& kind = "");
    // Takes over another collection's problems, as if they had been found here.
    void absorb(const Findings& other);

    bool failed() const { return failures.total > 0; }
    // The outcome: the failures, else the warnings, else a pass with `passReason`.
    Outcome outcome(const std::string& passReason) const;

private:
    struct Kind {
        std::string name;
        int count = 0;
    };
    struct Severity {
        std::string first;
        std::vector<Kind> kinds;
        int total = 0;

        void add(const std::string& what, const std::string& kind);
        void count(const std::string& kind, int times);
        void absorb(const Severity& other);
        std::string reason() const;
    };

    Severity failures;
    Severity warnings;
};

} // namespace zvalidate
