// The run phases: the fixed order in which a run calls the cycle's slots,
// the result codes, and the release of what a run collected.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Result codes of runPhases.
enum ResultCode : std::int32_t {
    kResultOk = 0,
    kResultCycleParameters = 21,
    kResultPrepare = 22,
    kResultStart = 23,
    kResultComplete = 24,
    kResultFinish = 31,
};

// Runs the slots of a normal run or of a switch run and returns the result
// code (0, 11 to 16, 21 to 24, 31). Always ends with releaseRun.
std::int32_t runPhases(Cycle* cycle);

// Releases the positional arguments, the settings source, the parameter list
// and the ".CFG" entries of the run; raises 411 before and 419 after.
void releaseRun(Cycle* cycle);

// The same release without the progress events, for a run that stopped
// half-way and for what such a run left in the cycle.
void discardRunCollections(Cycle* cycle);

// Emits, on channel 1, one "def" or "call" record for every parameter that
// has a name and a value, in list order.
void emitParameterRecords(Cycle* cycle);

// Emits the configuration records: "cfgSource" on channel 0, then the
// parameter records and one "cfg" record per ".CFG" entry on channel 1.
void emitConfigurationRecords(Cycle* cycle);

}  // namespace tw
