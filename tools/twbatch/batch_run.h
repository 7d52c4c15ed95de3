// Runs every job of a job set through a module loaded at run time, all in
// this one process: a process start under an emulator costs far more than
// most jobs.
#pragma once

#include <filesystem>
#include <string>

namespace twbatch {

// Loads `modulePath` and runs "-S<algorithm>" in every job folder under
// `root` (in name order) for every algorithm name, with the folder as the
// current directory. Each job's "runs.txt" gets one line per run:
// "<algorithm> <value twCSexecCycle returned>". Returns the number of runs,
// or -1 with `error` set when the module or a folder cannot be used.
int runJobSet(const std::string& modulePath, const std::filesystem::path& root, std::string& error);

}  // namespace twbatch
