#include "tools/zephyrion/interruption.h"

#include "tools/common/errors.h"

#include <csignal>

namespace zcli {
namespace {

volatile std::sig_atomic_t interruptedBy = 0;

extern "C" void noteInterruption(int signal) {
    interruptedBy = signal;
}

} // namespace

void installInterruptionHandlers() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, noteInterruption);
    }
    // Writing to a closed pipe then fails with an error the writer reports, instead of ending the process.
    std::signal(SIGPIPE, SIG_IGN);
}

void stopIfInterrupted() {
    if (interruptedBy != 0) {
        throw RunError("interrupted");
    }
}

} // namespace zcli
