// One run of a cycle, as the exported twCSexecCycle performs it.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Largest argument vector accepted: room for positional arguments is sized
// in 16 bits.
inline constexpr std::int32_t kMaxArguments = 16383;

// Runs `cycle` (the module's cycle when null) once with the host's argument
// vector. Calls from several threads run one after another; a call from a
// host hook of a run in progress (the same thread) runs nested in it. Returns 0 when the call is refused (too deeply nested, a count
// outside 0..kMaxArguments, a missing vector or a null entry) or when the
// arguments or the configuration fail, or when the run was short of memory
// (an exception stopped it, or it went on without what could not be had); such
// a run is cleaned up and publishes no output. Else 1 whatever the run's
// result code.
std::int32_t execCycle(Cycle* cycle, std::int32_t count, char** arguments, HostRecord* host);

// The result code of the last run that reached the run phases (for tests and
// diagnostics; the host never sees it).
std::int32_t lastResultCode();

}  // namespace tw
