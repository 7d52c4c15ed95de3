// The exchange file a drill file is ordered through, and the way back: one
// contour per tool block that has holes to order, in file order, each hole a
// point named after its index; the ordered contours the module writes give
// the new order of the holes.
#pragma once

#include <string>
#include <vector>

#include "drill_file.h"
#include "twcycle/job/result_file.h"
#include "twcycle/job/source_contours.h"

namespace twcycle::drill {

struct DrillContours {
    std::string text;                 // the exchange file
    std::vector<std::size_t> blocks;  // the block of each contour
    std::vector<SourceContour> source;  // each contour's holes in input order
};

// `title` goes into the file's head line.
DrillContours drillContours(const DrillFile& file, const std::string& title);

// The holes in the order of `results` (the ordered contours read back);
// false with `error` set when they are not the contours' holes, each once.
bool orderFromResults(const DrillFile& file, const DrillContours& contours,
                      const std::vector<ResultContour>& results, HoleOrder& order, std::string& error);

}  // namespace twcycle::drill
