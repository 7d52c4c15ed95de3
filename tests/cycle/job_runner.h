// Runs whole jobs through the module's cycle in a temporary directory.
#pragma once

#include <string>
#include <vector>

#include "module/exec_cycle.h"
#include "support/temp_directory.h"

namespace tw::testing {

inline const std::string kExchangeHead =
    "tarnWELL Data Exchange File, text edition 1993.\n"
    "tWX-Version: 1.0\n"
    "Geometry\n"
    "test source\n\n";

// Runs the module's cycle with `arguments`; returns what twCSexecCycle
// returns. The run's result code is lastResultCode().
inline std::int32_t runJob(std::vector<std::string> arguments) {
    std::vector<char*> vector;
    for (std::string& argument : arguments) vector.push_back(argument.data());
    return execCycle(nullptr, static_cast<std::int32_t>(vector.size()), vector.data(), nullptr);
}

// The parameters every job sets so that runs do not depend on what an
// earlier run in the same process left in the cycle (start point, algorithm,
// output precision and the removal flag all outlive a run). Later entries of
// the same name in `extra` win.
inline std::string jobParameters(const std::string& extra) {
    return "startX := 0\nstartY := 0\nalgorithm := nearestDirCross\nprecision := 6\nremoveTempFiles := true\n" +
           extra;
}

}  // namespace tw::testing
