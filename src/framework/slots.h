// Operation slot numbers, progress events and run-mode bits of a cycle.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

enum Slot : int {
    kReadParameterFiles = 0,
    kInitCycle = 1,
    kReadSettings = 2,
    kReadCfgSettings = 3,
    kOnSwitchV = 4,
    kOnSwitchQuery = 5,
    kDescribeParameters = 6,
    kDescribeAlgorithm = 7,
    kDescribeLayers = 8,
    kOnSwitchD = 9,
    kReadCycleParameters = 10,
    kReadCycleParametersCfg = 11,
    kPrepareCycle = 12,
    kStartCycle = 13,
    kCompleteCycle = 14,
    kFinishCycle = 15,
};

// Bits of Cycle::runMode.
enum RunModeBit : std::uint16_t {
    kModeVersion = 1,      // -V
    kModeQuery = 2,        // -? or an argument beginning with '?'
    kModeParameters = 4,   // -P
    kModeAlgorithm = 8,    // -A
    kModeLayers = 16,      // -Y
    kModeD = 32,           // -D
    kModeSettings = 256,   // -S<name>
};
inline constexpr std::uint16_t kSwitchBits = 63;

// Progress events raised around the run phases.
enum ProgressEvent : std::int32_t {
    kBeforeReadParameterFiles = 111,
    kAfterReadParameterFiles = 119,
    kBeforeConfiguration = 121,
    kAfterConfiguration = 129,
    kBeforeRegisterChannel = 131,
    kAfterRegisterChannel = 139,
    kBeforeInitialisation = 311,
    kFirstEmission = 312,
    kAfterInitialisation = 319,
    kBeforeCycleParameters = 321,
    kAfterCycleParameters = 329,
    kBeforePrepare = 331,
    kAfterPrepare = 339,
    kBeforeStart = 341,
    kAfterStart = 349,
    kBeforeComplete = 351,
    kAfterComplete = 359,
    kBeforeFinish = 391,
    kAfterFinish = 399,
    kBeforeRelease = 411,
    kAfterRelease = 419,
};

// Calls the cycle's progress handler, when one is installed.
inline void raiseProgress(Cycle* cycle, std::int32_t event) {
    if (cycle->eventHandler != nullptr) cycle->eventHandler(cycle, event, cycle->eventContext);
}

// Calls a slot; an empty slot counts as a failure.
inline std::int32_t callSlot(Cycle* cycle, Slot slot) {
    CycleSlot function = cycle->slots[slot];
    return function != nullptr ? function(cycle) : 0;
}

}  // namespace tw
