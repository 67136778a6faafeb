#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Atomic because the renderer's worker threads may allocate while the main thread counts.
std::atomic<std::uint64_t> allocations{0};

}  // namespace

std::uint64_t AllocationCount() { return allocations.load(std::memory_order_relaxed); }

// The standard library's array and nothrow forms call this one, so it sees every allocation
// but the over-aligned kind, which the game never makes.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete(void* p, std::size_t) noexcept { std::free(p); }
