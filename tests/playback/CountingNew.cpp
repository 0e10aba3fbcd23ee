#include "CountingNew.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

thread_local bool tCounting = false;
std::atomic<long> gCounted{0};
std::atomic<std::size_t> gLargest{0};

void* Allocate(std::size_t size) {
    if (tCounting) {
        gCounted.fetch_add(1, std::memory_order_relaxed);
        std::size_t largest = gLargest.load(std::memory_order_relaxed);
        while (size > largest && !gLargest.compare_exchange_weak(largest, size)) {
        }
    }
    return std::malloc(size ? size : 1);
}

void Free(void* p) {
    if (p && tCounting)
        gCounted.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}

} // namespace

void CountAllocationsHere(bool on) {
    if (on)
        gLargest = 0;
    tCounting = on;
}

std::size_t LargestCountedAllocation() {
    return gLargest.load();
}

long CountedAllocations() {
    return gCounted.load();
}

// The whole family without alignment, so that every such block comes and goes one way.
void* operator new(std::size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
