#include "tools/validator/child_process.h"

#include "tools/common/errors.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zvalidate {

struct ChildProcess::Native {
    pid_t pid = -1;
    int output = -1;
    int errors = -1;
    bool reaped = false;
};

ChildProcess::ChildProcess(const std::vector<std::string>& command) : native(std::make_unique<Native>()) {
    int pipeEnds[2];
    int errorEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw zcli::RunError(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    if (::pipe2(errorEnds, O_CLOEXEC) != 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        throw zcli::RunError(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const int spawned = posix_spawn(&native->pid, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    ::close(errorEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        ::close(errorEnds[0]);
        throw zcli::RunError(command[0] + ": cannot be started: " + std::strerror(spawned));
    }
    native->output = pipeEnds[0];
    native->errors = errorEnds[0];
}

ChildProcess::~ChildProcess() {
    if (!native->reaped) {
        kill();
        wait();
    }
    ::close(native->output);
    if (native->errors >= 0) {
        ::close(native->errors);
    }
}

long ChildProcess::read(char* buffer, std::size_t size, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd watched[2] = {{native->output, POLLIN, 0}, {native->errors, POLLIN, 0}};
        const int ready = ::poll(watched, native->errors >= 0 ? 2 : 1,
                                 static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready <= 0) {
            return -1;
        }
        if (native->errors >= 0 && watched[1].revents != 0) {
            char said[4096];
            const ssize_t count = ::read(native->errors, said, sizeof said);
            if (count > 0) {
                errors.add(said, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                ::close(native->errors);
                native->errors = -1;
            }
        }
        if (watched[0].revents != 0) {
            const ssize_t count = ::read(native->output, buffer, size);
            return count < 0 ? (errno == EINTR ? -1 : 0) : static_cast<long>(count);
        }
    }
}

void ChildProcess::kill() {
    if (!native->reaped) {
        ::kill(native->pid, SIGKILL);
    }
}

std::string ChildProcess::wait() {
    int ending = 0;
    while (::waitpid(native->pid, &ending, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(ending) ? WEXITSTATUS(ending) : -1;
    native->reaped = true;
    // Whatever it said last is written by now.
    char said[4096];
    while (native->errors >= 0) {
        pollfd watched{native->errors, POLLIN, 0};
        const ssize_t count = ::poll(&watched, 1, 0) > 0 ? ::read(native->errors, said, sizeof said) : 0;
        if (count <= 0) {
            break;
        }
        errors.add(said, static_cast<std::size_t>(count));
    }
    if (WIFSIGNALED(ending)) {
        const int signal = WTERMSIG(ending);
        const char* abbreviation = sigabbrev_np(signal);
        return "crashed (SIG" +
               std::string(abbreviation != nullptr ? abbreviation : std::to_string(signal).c_str()) + ", " +
               strsignal(signal) + ")";
    }
    if (status > 0) {
        return "ended with exit status " + std::to_string(status);
    }
    return "";
}

FILE* claimReportStream() {
    // Crashes are expected here and reported by the parent; a core file for each would only fill the disk.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const int reports = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    return reports < 0 ? nullptr : ::fdopen(reports, "w");
}

} // namespace zvalidate
