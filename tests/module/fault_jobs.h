// Jobs that the fault-injection tests run again and again, each time with a
// different failure injected, and the checks every such run must pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_directory.h"
#include "twpntopt.h"

namespace tw::testing {

inline const std::filesystem::path kExamples = std::filesystem::path(TW_SOURCE_DIR) / "examples";
inline const std::filesystem::path kGolden = std::filesystem::path(TW_TEST_DATA_DIR) / "golden";

// What an earlier run left under the output name; an injected run must never
// leave it there, since a host would take it for the new result.
inline const std::string kStaleOutput = "stale output of an earlier run\n";

struct FaultJob {
    std::string name;
    std::string source;     // geoSource
    std::string output;     // geoOut
    std::string reference;  // the output of a run without faults
};

// The example job (the stored golden of its algorithm is the reference).
inline FaultJob exampleJob(const std::string& algorithm) {
    std::filesystem::copy_file(kExamples / "twPntOpt.def", "twPntOpt.def");
    std::filesystem::copy_file(kExamples / "board.twx", "board.twx");
    writeFile("job.pcf", readFile(kExamples / "board.pcf") + "algorithm := " + algorithm +
                             "\nwritePath := true\nremoveTempFiles := true\n");
    return FaultJob{"example job (" + algorithm + ")", "board.twx", "board_sorted.twx",
                    readFile(kGolden / ("board_" + algorithm + ".twx"))};
}

// Two contours, a method item and a value longer than any record field.
inline FaultJob mixedJob() {
    writeFile("twPntOpt.def", "precision := 3\nremoveTempFiles := true\n");
    const std::string longValue(700, 'w');
    writeFile("mixed.twx",
              "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nmixed job\n\n"
              "vsurface(0)\n"
              "mdrill[t1]( feed 120; spindle 3000 )\n"
              "oContour[A]( cmnt[first] )\n{\n  vnote(" + longValue + ")\n  vdepth(-2)\n"
              "  oP[a1]( x[5] y[5] z[0] )\n  oP[a2]( x[1] y[1] z[0] )\n  oP[a3]( x[3] y[4] z[0] )\n"
              "  oP[a4]( x[2] y[6] z[0] )\n}\n"
              "oContour[B]( )\n{\n  vdepth(-3)\n  oP[b1]( x[9] y[9] z[1] )\n  oP[b2]( x[7] y[8] )\n"
              "  oP[b3]( x[8] y[2] )\n}\n");
    writeFile("job.pcf",
              "geoSource := mixed.twx\ngeoOut := mixed_out.twx\nalgorithm := insert\nwritePath := true\n"
              "startX := 0\nstartY := 0\n");
    return FaultJob{"mixed job", "mixed.twx", "mixed_out.twx", {}};
}

// Which failure points a driver tries: every one, except in the sanitizer
// build, which is several times slower; there the first kDensePoints and then
// every TW_SANITIZER_FAULT_STRIDE-th point are tried.
#if defined(__SANITIZE_ADDRESS__)
#define TW_FAULT_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_FAULT_SANITIZER 1
#endif
#endif
#if defined(TW_FAULT_SANITIZER)
inline constexpr std::uint64_t kFaultStride = TW_SANITIZER_FAULT_STRIDE;
#else
inline constexpr std::uint64_t kFaultStride = 1;
#endif
inline constexpr std::uint64_t kDensePoints = 100;

inline bool faultPointTried(std::uint64_t n) {
    return kFaultStride <= 1 || n <= kDensePoints || n % kFaultStride == 0;
}

// Runs the job through the exported entry point.
inline std::int32_t runFaultJob() {
    std::string argument = "-Sjob";
    char* arguments[] = {argument.data()};
    return twCSexecCycle(nullptr, 1, arguments, nullptr);
}

// The checks after a run with an injected failure, which returned `result`:
// the output is complete or absent (never stale, never pending), the source
// and the directory hold nothing else than before.
inline ::testing::AssertionResult injectedRunLeftNoHarm(const FaultJob& job, const std::string& sourceBefore,
                                                        std::int32_t result) {
    const bool present = std::filesystem::exists(job.output);
    // A run refused before it learned the output's name cannot remove an
    // earlier output; the host is told by the refusal.
    if (present && result == 0 && readFile(job.output) == kStaleOutput) return ::testing::AssertionSuccess();
    if (present && readFile(job.output) != job.reference)
        return ::testing::AssertionFailure()
               << "the output is neither complete nor absent: "
               << (readFile(job.output) == kStaleOutput ? "the earlier output is still there"
                                                         : "it differs from the reference");
    if (present && result != 1) return ::testing::AssertionFailure() << "an output although the run was refused";
    if (std::filesystem::exists(job.output + ".part")) return ::testing::AssertionFailure() << "a pending file is left";
    if (std::filesystem::exists("osrc_tmp.twx")) return ::testing::AssertionFailure() << "the working copy is left";
    if (readFile(job.source) != sourceBefore) return ::testing::AssertionFailure() << "the source changed";
    return ::testing::AssertionSuccess();
}

// A normal run after an injected one must give the reference bytes.
inline ::testing::AssertionResult cleanRunGivesTheReference(const FaultJob& job) {
    const std::int32_t result = runFaultJob();
    if (result != 1) return ::testing::AssertionFailure() << "the following run returned " << result;
    if (readFile(job.output) != job.reference)
        return ::testing::AssertionFailure() << "the following run's output differs from the reference";
    return ::testing::AssertionSuccess();
}

}  // namespace tw::testing
