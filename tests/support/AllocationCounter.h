// Proves that a piece of code allocates nothing: the test program replaces the global allocation functions
// and counts, per thread, the calls made while a counter is alive.
#pragma once

#include <cstddef>

namespace testsupport {

// Counts allocations and releases on the constructing thread until destroyed; counters nest. Every form of
// operator new and delete is counted; malloc, calloc, realloc and free as well where mallocCounted() says
// so. Code in a plug-in library is seen only where that library shares this program's allocator (a Linux
// plug-in does; a Windows DLL links its own).
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t allocations() const;
    std::size_t releases() const;

private:
    bool wasCounting;
    std::size_t allocationsBefore;
    std::size_t releasesBefore;
};

// True where the C allocation functions are replaced too (glibc builds without a sanitizer).
bool mallocCounted();

} // namespace testsupport
