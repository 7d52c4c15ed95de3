// Runs of one job again and again in a folder that other processes run their
// own jobs in at the same time, each output checked to hold exactly the
// points of its own source. Started twice at once in one folder, it shows
// that overlapping runs never swap or lose points (on Windows, where the
// tests cannot start processes of their own).
#pragma once

#include <filesystem>
#include <string>

namespace twbatch {

struct StressResult {
    int rounds = 0;   // runs made
    int wrong = 0;    // outputs missing or not holding their source's points
    std::string first;  // what was wrong first
};

// In `folder`, writes the definition file (atomically, so that concurrent
// writers agree), then for each round writes "stress<tag>.twx" with points of
// its own (from `tag` and the round), runs "-Sstress<tag>" through the
// module and compares "stress<tag>_out.twx" with the source. Returns -1 in
// `rounds` with `error` set when the module or the folder cannot be used.
StressResult runStress(const std::string& modulePath, const std::filesystem::path& folder, int tag, int rounds,
                       std::string& error);

}  // namespace twbatch
