#include "counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/run_faults.h"

namespace tw::testing {
namespace {

bool armed = false;
std::uint64_t counted = 0;
std::uint64_t failAtNumber = 0;
bool reached = false;
// Threads of the overlapping-run tests allocate at the same time.
std::atomic<std::int64_t> live{0};

// True when this allocation is the one that must fail.
bool failThisOne() {
    if (!armed) return false;
    if (++counted != failAtNumber) return false;
    reached = true;
    return true;
}

// The module's malloc-based allocations take their turn in the same count.
const bool hookInstalled = [] {
    setAllocationFaultHook(failThisOne);
    return true;
}();

// What the standard asks of operator new: on failure call the new-handler
// until it gives up by throwing, or throw std::bad_alloc when there is none.
void* allocate(std::size_t size, std::size_t alignment) {
    if (size == 0) size = 1;
    bool refuse = failThisOne();
    for (;;) {
        void* block = nullptr;
        if (!refuse) {
            if (alignment <= alignof(std::max_align_t)) {
                block = std::malloc(size);
            } else if (posix_memalign(&block, alignment, size) != 0) {
                block = nullptr;
            }
        }
        if (block != nullptr) {
            ++live;
            return block;
        }
        refuse = false;
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void* allocateNoThrow(std::size_t size, std::size_t alignment) noexcept {
    try {
        return allocate(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void release(void* block) noexcept {
    if (block == nullptr) return;
    --live;
    std::free(block);
}

}  // namespace

void armAllocations(std::uint64_t failAt) {
    (void)hookInstalled;
    counted = 0;
    failAtNumber = failAt;
    reached = false;
    armed = true;
}

AllocationTally disarmAllocations() {
    armed = false;
    return AllocationTally{counted, reached};
}

std::int64_t liveAllocations() { return live.load(); }

}  // namespace tw::testing

using tw::testing::allocate;
using tw::testing::allocateNoThrow;
using tw::testing::release;

constexpr std::size_t kPlain = alignof(std::max_align_t);

void* operator new(std::size_t size) { return allocate(size, kPlain); }
void* operator new[](std::size_t size) { return allocate(size, kPlain); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size, kPlain); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size, kPlain); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateNoThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateNoThrow(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete(void* block, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { release(block); }
