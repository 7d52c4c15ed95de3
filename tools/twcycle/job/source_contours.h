// The contours of a geometry source in their input order, gathered exactly
// as the module gathers them: only contours that receive points count, and
// a point counts only where it stands directly in the body.
#pragma once

#include <string>
#include <vector>

#include "plane_point.h"

namespace twcycle {

struct SourceContour {
    std::string name;
    std::vector<PlanePoint> points;  // in file order
};

enum class SourceStatus {
    Read,
    Unreadable,     // missing, unreadable, or a head the reader refuses
    StandardInput,  // "| stdin": only the module may consume it
};

struct SourceReading {
    SourceStatus status = SourceStatus::Unreadable;
    std::vector<SourceContour> contours;  // those the module will write, in order
};

// Reads `geoSource` as the module reads its working copy. Call it before
// the run: the output may replace the source.
SourceReading readSourceContours(const std::string& geoSource);

}  // namespace twcycle
