// The end of a contour: ordering its points and writing them.
#pragma once

#include "exchange/value_dictionary.h"
#include "optimizer/contours/contour_processing.h"

namespace tw {

// Orders the points gathered for the contour, writes the contour (and its
// "-Path" companion when asked), moves the cycle's start point to the end of
// the path and empties the optimizer. `dictionary` holds the values visible
// inside the contour body.
void finishContour(ContourReadState& state, const ValueDictionary& dictionary);

}  // namespace tw
