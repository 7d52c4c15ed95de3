// The kernel cycle's default operations that belong to the framework.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// The default of every slot that has nothing to do: succeeds.
std::int32_t TWCS_CALL succeed(Cycle* cycle);

// Slot 15: emits the cycle-end record (channel 0, kind 104, "cycleEnd", the
// cycle's title) and releases the channels.
std::int32_t TWCS_CALL finishCycle(Cycle* cycle);

}  // namespace tw
