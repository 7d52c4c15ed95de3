// Cheapest-insertion tours with improvement passes, and the drivers built
// on them. The forms without Tuning read the module-wide values once, at the
// start; everything below them gets the values passed down.
#pragma once

#include "optimizer/engines/engine.h"

namespace tw {

// Builds a path by cheapest insertion in the order of `order` (insertOn 1)
// or takes the current order and relocates its points once (insertOn 0),
// then runs improvement passes until one changes nothing. Keeps the result
// only when strictly shorter and returns 1 then; otherwise (also without
// start point, points, memory, or with coordinates out of range) the order
// stays and the result is 0.
int insertionTour(PathOptimizer& optimizer, int insertOn);
int insertionTour(PathOptimizer& optimizer, int insertOn, const Tuning& tuning);

// The same with the short improvement pass (no segment moves), insertion on.
int extendedB(PathOptimizer& optimizer);

// Segment passes for every length from min(window, points - 1) down to 2,
// then the triple, two-exchange and point relocation passes. Returns 1 if
// any of them changed the path.
int improvementPass(PathEngine& path, int window);

// improvementPass without the segment passes.
int shortImprovementPass(PathEngine& path);

// Repeats insertion tours for segment windows 1 .. min(segmentWindow,
// points - 1), each window starting from the order extendedA started from,
// and keeps the best order found; stops as soon as the path is within
// kLowerBoundTolerance of the lower bound. Returns 1 when it found an order
// shorter than the starting one by more than kMoveMargin. The module-wide
// segmentWindow is the same afterwards.
int extendedA(PathOptimizer& optimizer, int insertOn);
int extendedA(PathOptimizer& optimizer, int insertOn, const Tuning& tuning);

// A path this close to the lower bound is not worth improving.
inline constexpr double kLowerBoundTolerance = 0.001;

}  // namespace tw
