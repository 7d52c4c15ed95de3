// The fast engine's lower bound: every point's nearest-neighbour distance
// from the point tree instead of a scan, summed exactly as the literal loop
// sums them (storage order; the largest found by a strict comparison from
// 0). The tree computes the distance as the loop does, so the minimum has
// the same bits.
#include <cmath>
#include <new>

#include "optimizer/engines/engine.h"
#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

// Coordinates the tree's box bounds handle: finite, and small enough that
// no square overflows. The start point does not enter the bound.
bool pointsInRange(const PathOptimizer& optimizer) {
    for (const OptimizerPoint& point : optimizer.points) {
        if (!(std::fabs(point.x) <= kMaxCoordinate) || !(std::fabs(point.y) <= kMaxCoordinate)) {
            return false;
        }
    }
    return true;
}

double treeLowerBound(const PathOptimizer& optimizer) {
    const std::shared_ptr<const PointTree> tree = pointTreeFor(optimizer);
    double sum = 0.0;
    double largest = 0.0;
    for (int i = 0; i < optimizer.count; ++i) {
        const double nearest = tree->nearestOther(i).distance;
        sum += nearest;
        if (nearest > largest) largest = nearest;
    }
    return sum - largest;
}

}  // namespace

double fastLowerBound(const PathOptimizer& optimizer) {
    // Fewer than two points have no neighbour to search for, and points out
    // of range would break the box bounds; the literal loop handles both.
    if (optimizer.count < 2 || !pointsInRange(optimizer)) return referenceLowerBound(optimizer);
    try {
        return treeLowerBound(optimizer);
    } catch (const std::bad_alloc&) {
        return referenceLowerBound(optimizer);
    }
}

}  // namespace tw
