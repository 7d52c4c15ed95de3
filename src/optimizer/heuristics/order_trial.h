// The acceptance rule every heuristic shares: try a new order, keep it when
// it is good enough, otherwise put the old one back.
#pragma once

#include <new>
#include <utility>
#include <vector>

#include "optimizer/path_optimizer.h"

namespace tw {

enum class KeepWhen {
    kNotLonger,  // the tours: an equal length is kept
    kShorter,    // the passes' drivers: an equal length counts as no gain
};

// Saves the order, measures it, runs `attempt` (which rewrites
// optimizer.order and returns false when its result is unusable, such as a
// path that lost nodes), measures again and keeps the new order by `rule`.
// Returns 1 when kept. Otherwise, also when memory runs short on the way,
// the saved order and its length are put back and the result is 0.
template <class Attempt>
int tryNewOrder(PathOptimizer& optimizer, KeepWhen rule, Attempt&& attempt) {
    std::vector<int> savedOrder;
    try {
        savedOrder = optimizer.order;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    computeLength(optimizer);
    const double oldLength = optimizer.length;
    bool usable = false;
    try {
        usable = attempt();
    } catch (const std::bad_alloc&) {
        usable = false;
    }
    if (usable) {
        computeLength(optimizer);
        const bool keep = rule == KeepWhen::kNotLonger ? !(optimizer.length > oldLength)
                                                       : optimizer.length < oldLength;
        if (keep) return 1;
    }
    optimizer.order = std::move(savedOrder);
    optimizer.length = oldLength;
    return 0;
}

// The common refusals of the tours and the passes' drivers: no class
// record, no points, no start point, or coordinates out of range.
inline bool canReorder(const PathOptimizer& optimizer) {
    return optimizer.classRecord != nullptr && optimizer.count > 0 && optimizer.hasStartPoint != 0 &&
           orderableCoordinates(optimizer);
}

}  // namespace tw
