// Crossing removal after the directed tour.
#pragma once

#include "optimizer/path_optimizer.h"

namespace tw {

// Repeats a two-exchange pass and a point relocation pass while either
// changes the path. Keeps the result only when strictly shorter and returns
// 1 then; otherwise (also without start point, points, memory, or with
// coordinates out of range) the order stays and the result is 0.
int removeCrossings(PathOptimizer& optimizer);

}  // namespace tw
