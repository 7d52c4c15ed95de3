// Jobs for runs that overlap in one folder: each job has its own source,
// output and parameter file, and its output must hold exactly its own
// source's points.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "exchange/contour_reading.h"
#include "support/temp_directory.h"

namespace tw::testing {

// Sanitizer builds run several times slower: fewer and smaller jobs there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TW_STRESS_SMALL 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TW_STRESS_SMALL 1
#endif
#endif
#if defined(TW_STRESS_SMALL)
inline constexpr int kStressPoints = 150;
#else
inline constexpr int kStressPoints = 1500;
#endif

using ContourPoints = std::vector<std::pair<double, double>>;  // sorted: a multiset

// The points of every contour of an exchange file, contour by contour;
// empty when the file cannot be read.
inline std::vector<ContourPoints> contourPoints(const std::string& file) {
    struct Gather : ContourVisitor {
        std::vector<ContourPoints> contours;
        void contourHeader(ExchangeToken&) override { contours.emplace_back(); }
        void point(ExchangeToken&, const CoordinateCarry& carry) override {
            contours.back().emplace_back(carry.value(0), carry.value(1));
        }
    } gather;
    if (readContours(file, gather, acceptEveryHead) != 1) return {};
    for (ContourPoints& points : gather.contours) std::sort(points.begin(), points.end());
    return gather.contours;
}

struct StressJob {
    std::string name;    // the -S argument
    std::string source;  // geoSource
    std::string output;  // geoOut
    std::vector<ContourPoints> points;  // what the output must hold
};

// Writes job `tag` of round `round` into the current folder: two contours of
// whole-number points from a seed of its own, so no two jobs share a point
// set. The definition file is shared and written once by the caller.
inline StressJob writeStressJob(int tag, int round, int points = kStressPoints) {
    StressJob job{"stress" + std::to_string(tag), "stress" + std::to_string(tag) + ".twx",
                  "stress" + std::to_string(tag) + "_out.twx", {}};
    std::mt19937_64 random(static_cast<std::uint64_t>(tag) * 1000003u + static_cast<std::uint64_t>(round));
    std::string text = "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\n" +
                       job.name + " round " + std::to_string(round) + "\n\n";
    for (int contour = 0; contour < 2; ++contour) {
        text += "oContour[C" + std::to_string(contour) + "]( )\n{\n";
        ContourPoints expected;
        for (int i = 0; i < points / 2 + contour; ++i) {
            const auto x = static_cast<double>(random() % 100000);
            const auto y = static_cast<double>(random() % 100000);
            text += "  oP[" + std::to_string(i) + "]( x[" + std::to_string(static_cast<long>(x)) + "] y[" +
                    std::to_string(static_cast<long>(y)) + "] z[0] )\n";
            expected.emplace_back(x, y);
        }
        text += "}\n";
        std::sort(expected.begin(), expected.end());
        job.points.push_back(std::move(expected));
    }
    writeFile(job.source, text);
    writeFile(job.name + ".pcf", "geoSource := " + job.source + "\ngeoOut := " + job.output +
                                     "\nalgorithm := nearestDirCross\nstartX := 0\nstartY := 0\n"
                                     "precision := 3\nwritePath := false\nremoveTempFiles := true\n");
    return job;
}

inline void writeStressDefinitions() { writeFile("twPntOpt.def", "precision := 3\nremoveTempFiles := true\n"); }

// Every job's output holds exactly its own source's points, contour by
// contour; a run without output counts as failed (`absent`), never as wrong.
inline void expectOwnPoints(const std::vector<StressJob>& jobs, const std::string& where, int& absent) {
    for (const StressJob& job : jobs) {
        if (!std::filesystem::exists(job.output)) {
            ++absent;
            continue;
        }
        EXPECT_EQ(contourPoints(job.output), job.points) << where << ", " << job.output;
        std::filesystem::remove(job.output);
    }
}

// No run leaves a working copy or a pending output behind.
inline void expectNoLeftovers(const std::string& where) {
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.rfind("osrc_tmp", 0), std::string::npos) << where << ": " << name;
        EXPECT_EQ(name.find(".part"), std::string::npos) << where << ": " << name;
    }
}

}  // namespace tw::testing
