#include "tools/validator/child_process.h"

#include "tools/common/errors.h"

#include <algorithm>
#include <cstdio>
#include <io.h>
#include <windows.h>

namespace zvalidate {
namespace {

// One argument as the C runtime's command-line parser reads it back: quoted when it holds blanks or quotes,
// with the backslashes before a quote doubled.
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        return argument;
    }
    std::string result = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        result.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        result.push_back(c);
    }
    result.append(backslashes * 2, '\\');
    return result + "\"";
}

struct ExceptionName {
    DWORD code;
    const char* name;
};

constexpr ExceptionName kExceptions[] = {
    {0xC0000005, "access violation"},         {0xC00000FD, "stack overflow"},
    {0xC0000094, "integer division by zero"}, {0xC000001D, "illegal instruction"},
    {0xC0000409, "stack buffer overrun"},     {0x80000003, "breakpoint"},
    {0xC0000374, "heap corruption"},
};

LONG WINAPI endQuietly(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

struct ChildProcess::Native {
    HANDLE process = nullptr;
    HANDLE output = nullptr;
    HANDLE errors = nullptr;
    bool reaped = false;
};

namespace {

// A pipe whose write end the child inherits and whose read end stays here.
bool makePipe(HANDLE& readEnd, HANDLE& writeEnd) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return false;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    return true;
}

// Bytes waiting in a pipe; false once the writer has closed it.
bool waiting(HANDLE pipe, DWORD& available) {
    available = 0;
    return PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) != 0;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command) : native(std::make_unique<Native>()) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    HANDLE errorRead = nullptr;
    HANDLE errorWrite = nullptr;
    if (!makePipe(readEnd, writeEnd)) {
        throw zcli::RunError("cannot make a pipe (error " + std::to_string(GetLastError()) + ")");
    }
    if (!makePipe(errorRead, errorWrite)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        throw zcli::RunError("cannot make a pipe (error " + std::to_string(GetLastError()) + ")");
    }
    std::string line;
    for (const std::string& argument : command) {
        line += (line.empty() ? "" : " ") + quoted(argument);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorWrite;
    PROCESS_INFORMATION started{};
    const BOOL ok =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
    const DWORD error = GetLastError();
    CloseHandle(writeEnd);
    CloseHandle(errorWrite);
    if (!ok) {
        CloseHandle(readEnd);
        CloseHandle(errorRead);
        throw zcli::RunError(command[0] + ": cannot be started (error " + std::to_string(error) + ")");
    }
    CloseHandle(started.hThread);
    native->process = started.hProcess;
    native->output = readEnd;
    native->errors = errorRead;
}

ChildProcess::~ChildProcess() {
    if (!native->reaped) {
        kill();
        wait();
    }
    CloseHandle(native->output);
    if (native->errors != nullptr) {
        CloseHandle(native->errors);
    }
    CloseHandle(native->process);
}

long ChildProcess::read(char* buffer, std::size_t size, int milliseconds) {
    // Anonymous pipes have no waiting with a time limit: look, and look again.
    const DWORD started = GetTickCount();
    for (;;) {
        DWORD available = 0;
        if (native->errors != nullptr) {
            if (!waiting(native->errors, available)) {
                CloseHandle(native->errors);
                native->errors = nullptr;
            } else if (available > 0) {
                char said[4096];
                DWORD count = 0;
                if (ReadFile(native->errors, said, std::min<DWORD>(available, sizeof said), &count,
                             nullptr)) {
                    errors.add(said, count);
                }
            }
        }
        if (!waiting(native->output, available)) {
            return 0; // the child closed its end
        }
        if (available > 0) {
            DWORD count = 0;
            const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, available));
            return ReadFile(native->output, buffer, wanted, &count, nullptr) ? static_cast<long>(count) : 0;
        }
        if (GetTickCount() - started >= static_cast<DWORD>(milliseconds)) {
            return -1;
        }
        Sleep(5);
    }
}

void ChildProcess::kill() {
    if (!native->reaped) {
        TerminateProcess(native->process, 1);
    }
}

std::string ChildProcess::wait() {
    WaitForSingleObject(native->process, INFINITE);
    native->reaped = true;
    // Whatever it said last is written by now.
    DWORD available = 0;
    char said[4096];
    while (native->errors != nullptr && waiting(native->errors, available) && available > 0) {
        DWORD count = 0;
        if (!ReadFile(native->errors, said, std::min<DWORD>(available, sizeof said), &count, nullptr)) {
            break;
        }
        errors.add(said, count);
    }
    DWORD code = 0;
    GetExitCodeProcess(native->process, &code);
    status = code >= 0xC0000000 || code == 0x80000003 ? -1 : static_cast<int>(code);
    for (const ExceptionName& exception : kExceptions) {
        if (exception.code == code) {
            return std::string("crashed (") + exception.name + ")";
        }
    }
    if (code >= 0xC0000000) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
        return std::string("crashed (exception ") + text + ")";
    }
    return code == 0 ? "" : "ended with exit status " + std::to_string(code);
}

FILE* claimReportStream() {
    // No dialog for a crash or a missing drive: the process ends, and the parent reports how.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endQuietly);
    const int reports = _dup(_fileno(stdout));
    _dup2(_fileno(stderr), _fileno(stdout));
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return reports < 0 ? nullptr : _fdopen(reports, "wb");
}

} // namespace zvalidate
