// Reading the contours of the working copy into the optimizer and writing
// each ordered contour into the geometry output.
#pragma once

#include <optional>
#include <string>

#include "twpntopt.h"

namespace tw {

// What the reading of one file keeps about the contour being read; the
// nesting and the carried coordinates are the contour reader's.
struct ContourReadState {
    PointListCycle* cycle = nullptr;
    std::optional<std::string> contourName;  // id of the contour being read
    int pointCount = 0;   // points added for the current contour
    int writePath = 0;    // write a "-Path" contour before each contour
};

// Walks the cycle's working file and writes every contour, ordered, through
// the geometry writer. Without a working file, or when it cannot be opened,
// nothing is read and nothing is written.
void processContours(Cycle* cycle);

}  // namespace tw
