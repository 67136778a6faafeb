#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Atomic because the renderer's worker threads may allocate while the main thread counts.
std::atomic<std::uint64_t> allocations{0};

void* Allocate(std::size_t size) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* p = Allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

std::uint64_t AllocationCount() { return allocations.load(std::memory_order_relaxed); }

// Every ordinary form is replaced, so each pair of new and delete meets in malloc and free
// (a sanitizer checks that they match); only the over-aligned kind, which the game never
// makes, keeps the library's own.
void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
