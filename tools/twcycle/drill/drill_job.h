// Ordering the holes of a drill file with the cycle module: the exchange
// file, a definition file and a job file go into a temporary folder of
// their own, the module runs the job there exactly as for any job, and the
// ordered contours are read back.
#pragma once

#include <string>
#include <vector>

#include "drill_exchange.h"
#include "drill_file.h"

namespace twcycle::drill {

struct DrillJobSettings {
    std::string modulePath;
    std::string algorithm;  // one of the module's algorithm names
    std::string startX = "0";
    std::string startY = "0";
    std::string title;      // the exchange file's head line
};

struct DrillJobResult {
    DrillContours contours;
    std::vector<ResultContour> results;  // the ordered contours, in file order
    HoleOrder order;
    int status = 0;     // an exit status (0 when ordered)
    std::string error;  // why not, when status is not 0
};

// Runs the job; the current directory is the same afterwards, and the
// temporary folder is gone.
DrillJobResult orderDrillFile(const DrillFile& file, const DrillJobSettings& settings);

}  // namespace twcycle::drill
