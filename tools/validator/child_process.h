// A program started with its standard output in a pipe to this one, watched until it ends, killed when it
// hangs: the validator's way of keeping a plug-in's crash or hang out of its own process.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/validator/output_tail.h"

namespace zvalidate {

class ChildProcess {
public:
    // `command` is the program's path and its arguments. Throws zcli::RunError when it cannot start.
    explicit ChildProcess(const std::vector<std::string>& command);
    // Kills the child if it still runs, and waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // What the child wrote: the number of bytes read, 0 once it has closed its output, -1 when nothing came
    // within `milliseconds`. Its standard error is read meanwhile, into a tail kept for lastWords().
    long read(char* buffer, std::size_t size, int milliseconds);
    // The last error report on the child's standard error, since forgetOutput().
    std::string lastWords() const { return errors.lastWords(); }
    void forgetOutput() { errors.clear(); }
    void kill();
    // Waits for the child's end: empty for a clean exit, otherwise how it ended, e.g. "crashed (SIGSEGV,
    // Segmentation fault)" or "ended with exit status 3".
    std::string wait();
    // After wait(): the exit status, or -1 when the child did not exit by itself.
    int exitStatus() const { return status; }

private:
    struct Native;
    std::unique_ptr<Native> native;
    OutputTail errors;
    int status = -1;
};

// In a child: the stream to report on, which is the standard output the parent reads. From then on the
// standard output of anything else in the process goes to standard error, so a plug-in that prints cannot
// garble the reports, and a crash ends the process at once, without a dialog or a core file.
FILE* claimReportStream();

} // namespace zvalidate
