// An X display for the window tests: a private Xvfb started for this test process and stopped when it
// exits, so the tests run on machines without a screen, and tests run in parallel never move each other's
// pointer. Without Xvfb, $DISPLAY serves if it answers.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace native_test {

// Sets $DISPLAY to a display that answers. Empty on success, otherwise why there is none.
std::string ensureDisplay();

// Opens $DISPLAY, asking again when the server's listen queue is momentarily full, as it is when tests
// connect and disconnect in quick succession.
Display* openDisplay();

} // namespace native_test
