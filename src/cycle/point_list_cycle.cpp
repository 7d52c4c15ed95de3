#include "cycle/point_list_cycle.h"

#include "framework/slots.h"

namespace tw {

std::int32_t TWCS_CALL readParameterFiles(Cycle*) { return 0; }

std::int32_t TWCS_CALL onSwitchD(Cycle*) { return 1; }

std::int32_t TWCS_CALL prepareCycle(Cycle*) { return 1; }

// PENDING: the working copy, channel registrations and first records are not
// built yet; until then a normal run initialises nothing.
std::int32_t TWCS_CALL initCycle(Cycle*) { return 1; }

// PENDING: start point and algorithm are not read yet.
std::int32_t TWCS_CALL readCycleParameters(Cycle*) { return 1; }

std::int32_t TWCS_CALL readCycleParametersCfg(Cycle* cycle) {
    return callSlot(cycle, kReadCycleParameters);
}

// PENDING: the optimizer is not created yet.
std::int32_t TWCS_CALL startCycle(Cycle*) { return 1; }

// PENDING: contours are not processed yet.
std::int32_t TWCS_CALL completeCycle(Cycle*) { return 1; }

}  // namespace tw
