// A replacement of the global allocation functions for this test program
// that counts allocations while armed and makes a chosen one fail, as short
// memory would. The module's own allocations of C records are counted in the
// same sequence through its allocation hook.
//
// GoogleTest allocates too, so a test arms the counter only around the call
// it examines.
#pragma once

#include <cstdint>

namespace tw::testing {

// Starts counting from 0; the allocation numbered `failAt` (from 1) fails.
// 0 fails none.
void armAllocations(std::uint64_t failAt);

struct AllocationTally {
    std::uint64_t count = 0;  // allocations tried while armed
    bool failed = false;      // the chosen one was reached and failed
};

// Stops counting and says what happened since armAllocations.
AllocationTally disarmAllocations();

// Blocks handed out by operator new and not yet given back (counted whether
// armed or not).
std::int64_t liveAllocations();

}  // namespace tw::testing
