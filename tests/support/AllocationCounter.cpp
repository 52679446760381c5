// Replacement global allocation functions for the whole test program. They forward to the C allocator and
// count on the calling thread while an AllocationCounter is alive there.
#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#endif

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define ZEPHYRION_COUNT_MALLOC 1
#endif

namespace testsupport {
namespace {

// Plain thread-locals with constant initialisers: reading them allocates nothing, even in a fresh thread.
thread_local bool counting = false;
thread_local std::size_t allocationCount = 0;
thread_local std::size_t releaseCount = 0;

} // namespace

void noteAllocation() {
    if (counting) {
        ++allocationCount;
    }
}

void noteRelease() {
    if (counting) {
        ++releaseCount;
    }
}

AllocationCounter::AllocationCounter()
    : wasCounting(counting), allocationsBefore(allocationCount), releasesBefore(releaseCount) {
    counting = true;
}

AllocationCounter::~AllocationCounter() {
    counting = wasCounting;
}

std::size_t AllocationCounter::allocations() const {
    return allocationCount - allocationsBefore;
}

std::size_t AllocationCounter::releases() const {
    return releaseCount - releasesBefore;
}

bool mallocCounted() {
#ifdef ZEPHYRION_COUNT_MALLOC
    return true;
#else
    return false;
#endif
}

} // namespace testsupport

#ifdef ZEPHYRION_COUNT_MALLOC
// glibc's own entry points, which its malloc and free are aliases of.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) {
    testsupport::noteAllocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    testsupport::noteAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) {
    testsupport::noteAllocation();
    return __libc_realloc(pointer, size);
}

void free(void* pointer) {
    if (pointer != nullptr) {
        testsupport::noteRelease();
    }
    __libc_free(pointer);
}
}
#endif

namespace {

// The C++ functions count themselves and reach the C allocator without counting a second time.
void* rawAllocate(std::size_t size) {
#ifdef ZEPHYRION_COUNT_MALLOC
    return __libc_malloc(size == 0 ? 1 : size);
#else
    return std::malloc(size == 0 ? 1 : size);
#endif
}

void rawRelease(void* pointer) {
#ifdef ZEPHYRION_COUNT_MALLOC
    __libc_free(pointer);
#else
    std::free(pointer);
#endif
}

void* rawAllocateAligned(std::size_t size, std::size_t alignment) {
#ifdef _WIN32
    return _aligned_malloc(size == 0 ? 1 : size, alignment);
#else
    void* pointer = nullptr;
    return posix_memalign(&pointer, alignment, size == 0 ? 1 : size) == 0 ? pointer : nullptr;
#endif
}

void rawReleaseAligned(void* pointer) {
#ifdef _WIN32
    _aligned_free(pointer);
#else
    rawRelease(pointer);
#endif
}

void* allocate(std::size_t size) {
    testsupport::noteAllocation();
    if (void* pointer = rawAllocate(size)) {
        return pointer;
    }
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    testsupport::noteAllocation();
    if (void* pointer = rawAllocateAligned(size, static_cast<std::size_t>(alignment))) {
        return pointer;
    }
    throw std::bad_alloc();
}

void release(void* pointer) {
    if (pointer != nullptr) {
        testsupport::noteRelease();
        rawRelease(pointer);
    }
}

void releaseAligned(void* pointer) {
    if (pointer != nullptr) {
        testsupport::noteRelease();
        rawReleaseAligned(pointer);
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    testsupport::noteAllocation();
    return rawAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    testsupport::noteAllocation();
    return rawAllocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    testsupport::noteAllocation();
    return rawAllocateAligned(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    testsupport::noteAllocation();
    return rawAllocateAligned(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* pointer) noexcept {
    release(pointer);
}
void operator delete[](void* pointer) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::align_val_t) noexcept {
    releaseAligned(pointer);
}
void operator delete[](void* pointer, std::align_val_t) noexcept {
    releaseAligned(pointer);
}
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept {
    releaseAligned(pointer);
}
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
    releaseAligned(pointer);
}
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    releaseAligned(pointer);
}
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    releaseAligned(pointer);
}
