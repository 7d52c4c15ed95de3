#include "framework/run_faults.h"

#include <cstdlib>
#include <new>

namespace tw {
namespace {

std::uint64_t faults = 0;
std::uint64_t mark = 0;
int runsInProgress = 0;
// The new-handler that was installed when the outermost run began.
std::new_handler outerHandler = nullptr;
AllocationFaultHook allocationHook = nullptr;

void shortOfMemory() {
    noteRunFault();
    // A handler of the host may free memory and return, so that the
    // allocation is tried again, or throw itself.
    if (outerHandler != nullptr) {
        outerHandler();
        return;
    }
    throw std::bad_alloc();
}

bool refusedByHook() { return allocationHook != nullptr && allocationHook(); }

}  // namespace

void noteRunFault() { ++faults; }

std::uint64_t runFaultCount() { return faults; }

std::uint64_t runFaultMark() { return runsInProgress > 0 ? mark : faults; }

RunFaultScope::RunFaultScope() : start_(faults), previousMark_(mark), previousHandler_(std::set_new_handler(shortOfMemory)) {
    if (runsInProgress++ == 0) outerHandler = previousHandler_;
    mark = start_;
}

RunFaultScope::~RunFaultScope() {
    mark = previousMark_;
    if (--runsInProgress == 0) outerHandler = nullptr;
    std::set_new_handler(previousHandler_);
}

bool RunFaultScope::faulted() const { return faults != start_; }

void* allocateMemory(std::size_t size) {
    void* memory = refusedByHook() ? nullptr : std::malloc(size);
    if (memory == nullptr) noteRunFault();
    return memory;
}

void* allocateZeroedMemory(std::size_t count, std::size_t size) {
    void* memory = refusedByHook() ? nullptr : std::calloc(count, size);
    if (memory == nullptr) noteRunFault();
    return memory;
}

void setAllocationFaultHook(AllocationFaultHook hook) { allocationHook = hook; }

}  // namespace tw
