// Ctrl-C, a terminal hang-up, a kill and a closed pipe end the work between two blocks, so the outputs'
// destructors can remove their temporary files instead of leaving them behind.
#pragma once

namespace zcli {

// Called once, at the start of main.
void installInterruptionHandlers();

// Throws RunError("interrupted") once one of the signals has arrived.
void stopIfInterrupted();

} // namespace zcli
