// Helpers of the differential tests that hold the fast engine to the
// reference engine's every decision: building both from one generated set,
// running an algorithm code under each engine, and comparing orders and
// the bits of lengths.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "optimizer/engines/engine.h"
#include "optimizer/point_set_generators.h"

namespace tw::test {

// Optimised builds run the full case counts; unoptimised (sanitizer) builds
// a small share of them on smaller sets, enough to run every path of the
// comparison.
#ifdef NDEBUG
inline constexpr bool kFullCaseCounts = true;
#else
inline constexpr bool kFullCaseCounts = false;
#endif

inline int scaledCount(int full, int reduced) { return kFullCaseCounts ? full : reduced; }

inline OptimizerHandle makeOptimizer(const GeneratedSet& set) { return makeOptimizer(set.points, set.start); }

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline std::string bitsText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (%a)", value, value);
    return text;
}

inline ::testing::AssertionResult sameDouble(const char* what, double reference, double fast) {
    if (sameBits(reference, fast)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": reference " << bitsText(reference) << ", fast "
                                         << bitsText(fast);
}

inline ::testing::AssertionResult sameOrder(const char* what, const std::vector<int>& reference,
                                            const std::vector<int>& fast) {
    if (reference == fast) return ::testing::AssertionSuccess();
    if (reference.size() != fast.size()) {
        return ::testing::AssertionFailure() << what << ": sizes " << reference.size() << " and " << fast.size();
    }
    std::size_t k = 0;
    while (reference[k] == fast[k]) ++k;
    return ::testing::AssertionFailure() << what << ": first difference at position " << k << " of "
                                         << reference.size() << ": reference " << reference[k] << ", fast "
                                         << fast[k];
}

// Orders a test starts the engines from, beside the identity the module
// always starts with.
enum class StartOrder { kIdentity, kShuffled, kReversed };

inline std::vector<int> startOrder(StartOrder kind, int count, std::uint32_t seed) {
    std::vector<int> order = identity(count);
    if (kind == StartOrder::kShuffled) {
        std::mt19937_64 random(seed);
        for (int k = count - 1; k > 0; --k) {
            std::swap(order[static_cast<std::size_t>(k)], order[random() % static_cast<std::uint64_t>(k + 1)]);
        }
    } else if (kind == StartOrder::kReversed) {
        std::reverse(order.begin(), order.end());
    }
    return order;
}

// What one optimize call leaves behind and prints.
struct CodeRun {
    std::vector<int> order;
    double lowerBound = 0.0;
    double lengthLeft = 0.0;  // the length the heuristics stored
    double finalLength = 0.0;  // computeLength afterwards
    std::string output;
};

// Runs the contour driver's steps (lower bound, optimize, length) for one
// set under `engine`, with standard output captured.
inline CodeRun runCode(const GeneratedSet& set, const std::vector<int>& order, int code, EngineKind engine,
                       bool withStart = true) {
    OptimizerHandle optimizer = withStart ? makeOptimizer(set) : makeOptimizer(set.points);
    optimizer->order = order;
    optimizer->algorithm = code;
    CodeRun run;
    {
        EngineScope scope(engine);
        run.lowerBound = computeLowerBound(*optimizer);
        lengthLowerBound = run.lowerBound;
        ::testing::internal::CaptureStdout();
        optimizerOptimize(optimizer.get());
        run.output = ::testing::internal::GetCapturedStdout();
    }
    run.lengthLeft = optimizer->length;
    optimizerComputeLength(optimizer.get());
    run.finalLength = optimizer->length;
    run.order = optimizer->order;
    return run;
}

// The lower bound is read only by heuristics that refuse coordinates out of
// range, so for such sets its value is not compared (`compareBound` false).
inline ::testing::AssertionResult sameRun(const CodeRun& reference, const CodeRun& fast, bool compareBound = true) {
    if (auto r = sameOrder("order", reference.order, fast.order); !r) return r;
    if (compareBound) {
        if (auto r = sameDouble("lower bound", reference.lowerBound, fast.lowerBound); !r) return r;
    }
    if (auto r = sameDouble("stored length", reference.lengthLeft, fast.lengthLeft); !r) return r;
    if (auto r = sameDouble("final length", reference.finalLength, fast.finalLength); !r) return r;
    if (reference.output != fast.output) {
        return ::testing::AssertionFailure() << "output: reference \"" << reference.output << "\", fast \""
                                             << fast.output << "\"";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tw::test
