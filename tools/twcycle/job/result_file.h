// Reading back the geometry output a run wrote: every ordered contour with
// its point count and length from the head comment, its start point and its
// points in path order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plane_point.h"

namespace twcycle {

struct ResultContour {
    std::string name;
    int declaredCount = 0;     // "N=" of the head comment
    std::string lengthText;    // "L=" as written
    double length = 0.0;       // the same as a number
    std::optional<PlanePoint> start;  // the last "startX"/"startY" pair of the body
    std::vector<PlanePoint> points;   // in path order
};

struct ResultReading {
    std::vector<ResultContour> contours;
    std::string error;  // empty when the file read back completely
};

// Reads the output file `geoOut` (opened by its literal name). A contour
// counts as an ordered contour when its comment reads "N=<count>;L=<length>";
// others (the "-Path" plotting contours) are passed over. The reading fails
// when the file cannot be opened, has no exchange-file head, or holds a
// contour with fewer or more points than its head says.
ResultReading readResultFile(const std::string& geoOut);

// The count and length of a head comment "N=<count>;L=<length>"; false when
// the comment has another form.
bool parseContourComment(const std::string& comment, int& count, std::string& lengthText);

}  // namespace twcycle
