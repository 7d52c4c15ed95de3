// The module's two static cycle objects: the point-list optimizer cycle and
// its parent, the kernel cycle with the framework's default operations.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

inline constexpr std::uint16_t kInterfaceVersion = 5;

// The kernel cycle ("Zyklenkern"), parent of the module's cycle.
Cycle* kernelCycle();

// The module's cycle, "tarnWELL Path Optimizer (Point Lists)" ("twPntOpt").
PointListCycle* pointListCycle();

// The module's cycle seen as its framework part; what twCSgetCycle returns.
inline Cycle* moduleCycle() { return &pointListCycle()->base; }

}  // namespace tw
