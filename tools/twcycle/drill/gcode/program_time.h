// The estimated machining time of a program read back: every move at the
// rapid rate or at its feed, the drilling cycles' plunges and retracts
// included; tool changes and pauses take no time in the estimate.
#pragma once

#include <vector>

#include "gcode_options.h"
#include "gcode_reader.h"

namespace twcycle::drill::gcode {

struct ProgramTime {
    std::vector<double> sections;  // minutes per tool section, in program order
    double total = 0.0;            // minutes, with the moves before and after the sections
};

// The moves of section k (k from 1) count for sections[k - 1]; `sections`
// has `sectionCount` entries.
ProgramTime programTime(const ProgramReading& reading, const MachineSettings& settings, std::size_t sectionCount);

// Minutes as "1 h 02 min 03 s", "2 min 03.4 s" or "12.3 s".
std::string durationText(double minutes);

}  // namespace twcycle::drill::gcode
