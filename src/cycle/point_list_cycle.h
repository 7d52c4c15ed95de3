// This module's own cycle procedure: the slots of the point-list optimizer
// cycle that are not inherited from the kernel cycle.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Slot 0: the positional arguments are not read; returns 0.
std::int32_t TWCS_CALL readParameterFiles(Cycle* cycle);
// Slot 1: output mode, precision, file names, working copy, channels and the
// first records of the run. Returns 1.
std::int32_t TWCS_CALL initCycle(Cycle* cycle);
// Slot 9 (-D) and slot 12: nothing to do; return 1.
std::int32_t TWCS_CALL onSwitchD(Cycle* cycle);
std::int32_t TWCS_CALL prepareCycle(Cycle* cycle);
// Slot 10: start point, cycle number and algorithm. Returns 1.
std::int32_t TWCS_CALL readCycleParameters(Cycle* cycle);
// Slot 11: calls whatever slot 10 of the cycle holds.
std::int32_t TWCS_CALL readCycleParametersCfg(Cycle* cycle);
// Slot 13: creates the optimizer; 0 when it cannot be created.
std::int32_t TWCS_CALL startCycle(Cycle* cycle);
// Slot 14: reads, orders and writes every contour, then tears down. Returns 1.
std::int32_t TWCS_CALL completeCycle(Cycle* cycle);

// What a run of this cycle holds beyond the framework: the optimizer, the
// working copy (deleted when so configured) and the file names. Released at
// the end of completeCycle, when startCycle fails, and for a run that stopped
// half-way. Never throws.
void releaseCycleState(Cycle* cycle);

// True when `cycle` runs this cycle procedure, so that its fields follow the
// framework part.
bool runsPointListCycle(const Cycle* cycle);

}  // namespace tw
