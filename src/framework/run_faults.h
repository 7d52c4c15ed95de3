// Faults a run survives without stopping but that make its result
// untrustworthy: memory that could not be had. Most code handles short memory
// by doing less (a parameter not stored, an order left unimproved), which is
// safe for the code but not for the geometry output, so every such failure is
// counted here and the geometry writer drops the output of a run that saw one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

// Counts one fault.
void noteRunFault();

// Faults counted since the module was loaded.
std::uint64_t runFaultCount();

// The count when the innermost run in progress began, or the current count
// when no run is in progress.
std::uint64_t runFaultMark();

// Lives for one run: marks its start and, while it lives, counts every
// failing operator new (also the nothrow forms) through a new-handler. The
// handler that was installed before is called first when there is one; when
// there is none, the failure is thrown as std::bad_alloc as usual.
class RunFaultScope {
public:
    RunFaultScope();
    ~RunFaultScope();
    RunFaultScope(const RunFaultScope&) = delete;
    RunFaultScope& operator=(const RunFaultScope&) = delete;

    // True when a fault was counted since this scope began.
    bool faulted() const;

private:
    std::uint64_t start_;
    std::uint64_t previousMark_;
    void (*previousHandler_)();
};

// Memory for the C records (texts, parameter nodes): released with
// std::free. Null when memory is short, which counts as a fault.
void* allocateMemory(std::size_t size);
void* allocateZeroedMemory(std::size_t count, std::size_t size);

// Test hook asked before each allocateMemory and allocateZeroedMemory: true
// makes that allocation fail. Null (the default) removes the hook.
using AllocationFaultHook = bool (*)();
void setAllocationFaultHook(AllocationFaultHook hook);

}  // namespace tw
