#include "tests/ui/native/x11/TestDisplay.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace native_test {

namespace {

Display* openDisplayNamed(const char* name) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (Display* display = XOpenDisplay(name)) {
            return display;
        }
    }
    return nullptr;
}

bool displayAnswers(const char* name) {
    Display* display = openDisplayNamed(name);
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

class PrivateXvfb {
public:
    std::string start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return "cannot create a pipe for Xvfb";
        }
        // -displayfd lets Xvfb choose a free display number and tell it, so parallel tests never collide.
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",    "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                              "-screen", "0",          "800x600x24", nullptr};
        // Its complaints about display numbers already taken on the way are no news to the tests.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &quiet, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&quiet);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            pid_ = 0;
            return "Xvfb cannot be started (Debian package xvfb) and no $DISPLAY answers";
        }
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&readable, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            return "Xvfb started but named no display";
        }
        const std::string name = ":" + number;
        if (!displayAnswers(name.c_str())) {
            return "Xvfb's display " + name + " does not answer";
        }
        setenv("DISPLAY", name.c_str(), 1);
        return "";
    }

    ~PrivateXvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = 0;
};

} // namespace

Display* openDisplay() {
    return openDisplayNamed(nullptr);
}

std::string ensureDisplay() {
    static const std::string problem = [] {
        static PrivateXvfb server;
        const std::string failure = server.start();
        if (failure.empty() || (std::getenv("DISPLAY") != nullptr && displayAnswers(nullptr))) {
            return std::string();
        }
        return failure;
    }();
    return problem;
}

} // namespace native_test
