// Reading the contours of the working copy into the optimizer and writing
// each ordered contour into the geometry output.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "twpntopt.h"

namespace tw {

// What the walk over one file keeps between its handlers.
struct ContourReadState {
    PointListCycle* cycle = nullptr;
    std::optional<std::string> contourName;  // id of the contour being read
    int level = -1;       // nesting inside the current contour; -1 before the first
    int pointCount = 0;   // points added for the current contour
    std::string lastX = "0", lastY = "0", lastZ = "0";  // latest first-slot texts
    int writePath = 0;    // write a "-Path" contour before each contour
};

// Walks the cycle's working file and writes every contour, ordered, through
// the geometry writer. Without a working file, or when it cannot be opened,
// nothing is read and nothing is written.
void processContours(Cycle* cycle);

}  // namespace tw
