// Local moves that shorten an existing path held in a PathList. Each pass
// relinks the list's own nodes and allocates nothing; it returns 1 when it
// changed the path (the point relocation pass: when its moves together
// gained more than kMoveMargin), else 0.
#pragma once

#include "optimizer/engines/path_list.h"

namespace tw {

// The two-exchange and the triple pass leave shorter paths alone.
inline constexpr int kTwoExchangeMinPoints = 5;
inline constexpr int kTripleMinPoints = 4;

// Reverses a run b..c behind a node a when d(a,b) + d(c,d) - margin exceeds
// d(a,c) + d(b,d). Never moves the first or the last node. Needs 5 points.
int twoExchangePass(PathList& list);

// Moves every point, in storage order, to its strictly cheapest gap.
int relocatePointsPass(PathList& list);

// Moves every run of three points starting at a point (storage order) to
// its cheapest gap in the best of its six orders. Needs 4 points.
int relocateTriplesPass(PathList& list);

// Moves every run of `length` points starting at a point (storage order) to
// its cheapest other gap, forwards or reversed.
int relocateSegmentsPass(PathList& list, int length);

// Inserts the node of `point` (not yet in the path) into the strictly
// cheapest gap of the path built so far: the first of equally cheap inner
// gaps, and an inner gap rather than the end gap at equal cost. This is the
// reference engine's literal scan.
void insertCheapest(PathList& list, int point);

}  // namespace tw
