// The fast engine's nearest-neighbour tours and lower bound.
#include "optimizer/engine.h"

namespace tw {

void fastTour(PathOptimizer& optimizer, TourKind kind) { referenceTour(optimizer, kind); }

double fastLowerBound(const PathOptimizer& optimizer) { return referenceLowerBound(optimizer); }

}  // namespace tw
