// The kernel cycle's configuration slots: settings mode (".def" and ".pcf"
// files) and ".CFG" mode.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Slot 2: reads the cycle's definition file and the job's parameter file into
// the parameter list and builds the work, tool and local frames. Returns 1.
std::int32_t TWCS_CALL readSettings(Cycle* cycle);

// Slot 3: reads the ".CFG" file into the cycle's entries, derives the starred
// parameters and builds the work and tool frames. Returns 1.
std::int32_t TWCS_CALL readCfgSettings(Cycle* cycle);

}  // namespace tw
