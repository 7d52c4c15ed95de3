// Bound on nested runs: a run started from a host hook of another run is
// accepted up to this depth.
#pragma once

#include <cstddef>

#include "twpntopt.h"

namespace tw {

inline constexpr std::size_t kMaxNestedRuns = 8;

// Pushes the host record of a starting run; false (nothing pushed) when
// kMaxNestedRuns runs are in progress already.
bool pushHostRecord(HostRecord* host);

// Pops the host record of the innermost run.
void popHostRecord();

// Number of runs in progress.
std::size_t hostRecordDepth();

}  // namespace tw
