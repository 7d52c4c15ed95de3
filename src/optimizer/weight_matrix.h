// Exhaustive successor-rank search over the point set.
#pragma once

#include "optimizer/path_optimizer.h"

namespace tw {

// Gives every point a successor by neighbour rank and enumerates rank
// vectors until the successors form one cycle through all points; that
// cycle, cut after the last stored point, becomes the order. Ignores the
// start point. Returns 1 (also when it changes nothing).
int weightMatrixSearch(PathOptimizer& optimizer);

}  // namespace tw
