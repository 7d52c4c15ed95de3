// Seeded job sets for comparing two builds of the module: every job is a
// geometry source with point sets that are hard on floating-point decisions,
// and one parameter file per algorithm name.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace twbatch {

inline constexpr std::array<const char*, 7> kAlgorithmNames = {
    "nearest", "nearestDirected", "nearestDirCross", "insert", "extendedA", "extendedB", "nearOptimal"};

// The most points a job holds, over all its contours.
inline constexpr std::size_t kMostPoints = 300;

struct JobPoint {
    double x = 0;
    double y = 0;
};

struct Job {
    std::vector<std::vector<JobPoint>> contours;
    double startX = 0;
    double startY = 0;
    int precision = 8;  // decimal places of the output
};

// A fixed function of `seed`: the same job on every machine and build.
Job makeJob(std::uint64_t seed);

// The geometry source of `job` in the exchange format. Coordinates are
// written with 17 significant digits, so they read back as the same doubles.
std::string exchangeText(const Job& job);

// The parameter file of `job` for `algorithm`; it names "<algorithm>.twx" as
// the output and sets everything a run depends on.
std::string parameterText(const Job& job, const char* algorithm);

// The folder of job `index` inside a job set: "job000", "job001", ...
std::string jobFolderName(int index);

// Writes `count` jobs made from seeds `seed`, `seed` + 1, ... into `root`,
// each in its folder with the definition file, "source.twx" and one
// parameter file per algorithm name. False with `error` set on failure.
bool writeJobSet(const std::filesystem::path& root, int count, std::uint64_t seed, std::string& error);

}  // namespace twbatch
