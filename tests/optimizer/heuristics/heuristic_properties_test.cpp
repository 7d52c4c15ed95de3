// Seeded random point sets through every heuristic: the order stays a
// permutation, no heuristic returns a longer path than it started from, and
// the stored length is the length of the stored order.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "optimizer/heuristics/crossing_removal.h"
#include "optimizer/heuristics/insertion_tours.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;
using test::Shape;

struct Heuristic {
    const char* name;
    std::function<int(PathOptimizer&)> run;
};

const Heuristic kHeuristics[] = {
    {"directedNearestTour", [](PathOptimizer& o) { return directedNearestTour(o); }},
    {"nearestTour", [](PathOptimizer& o) { return nearestTour(o); }},
    {"removeCrossings", [](PathOptimizer& o) { return removeCrossings(o); }},
    {"insertionTour on", [](PathOptimizer& o) { return insertionTour(o, 1); }},
    {"insertionTour off", [](PathOptimizer& o) { return insertionTour(o, 0); }},
    {"extendedB", [](PathOptimizer& o) { return extendedB(o); }},
    {"extendedA on", [](PathOptimizer& o) { return extendedA(o, 1); }},
    {"extendedA off", [](PathOptimizer& o) { return extendedA(o, 0); }},
};

struct Input {
    Shape shape;
    int count;
    std::uint32_t seed;
};

std::vector<Input> seededInputs() {
    std::vector<Input> inputs;
    const int counts[] = {1, 2, 3, 4, 5, 6, 8, 11, 16, 24};
    std::uint32_t seed = 1;
    for (Shape shape :
         {Shape::kUniform, Shape::kGrid, Shape::kDuplicates, Shape::kCollinear, Shape::kClustered}) {
        for (int count : counts) {
            for (int repeat = 0; repeat < 6; ++repeat) inputs.push_back({shape, count, seed++});
        }
    }
    return inputs;  // 300 inputs
}

// The properties hold for every window; a small one keeps extendedA, which
// repeats whole insertion tours per window, quick enough for sanitizer builds.
constexpr int kPropertyWindow = 5;

std::string describe(const Input& input, const char* heuristic) {
    return std::string(heuristic) + " shape " + std::to_string(static_cast<int>(input.shape)) +
           " count " + std::to_string(input.count) + " seed " + std::to_string(input.seed);
}

TEST(HeuristicProperties, PermutationNeverLongerAndStoredLengthIsCurrent) {
    for (const Input& input : seededInputs()) {
        const auto points = test::seededPoints(input.shape, input.count, input.seed);
        for (const Heuristic& heuristic : kHeuristics) {
            OptimizerHandle optimizer = makeOptimizer(points, {-3, 7});
            // Start from a scrambled order so that there is work to do.
            std::mt19937 random(input.seed);
            std::shuffle(optimizer->order.begin(), optimizer->order.end(), random);
            const std::vector<int> before = optimizer->order;
            optimizerComputeLength(optimizer.get());
            const double startLength = optimizer->length;
            segmentWindow = kPropertyWindow;
            lengthLowerBound = computeLowerBound(*optimizer);
            const int result = heuristic.run(*optimizer);
            const std::string where = describe(input, heuristic.name);
            ASSERT_TRUE(test::isPermutation(optimizer->order, input.count)) << where;
            const double stored = optimizer->length;
            optimizerComputeLength(optimizer.get());
            EXPECT_EQ(stored, optimizer->length) << where;
            EXPECT_LE(optimizer->length, startLength) << where;
            if (result == 0) {
                EXPECT_EQ(optimizer->order, before) << where;
            }
        }
    }
}

TEST(HeuristicProperties, EveryCodeKeepsAPermutation) {
    const int codes[] = {1, 2, 3, 4, 5, 7, 8, 101, 102, 103, 104, 0, 55};
    for (const Input& input : seededInputs()) {
        // optimize sets the full window itself, so only the smaller sets.
        if (input.seed % 4 != 0 || input.count > 11) continue;
        const auto points = test::seededPoints(input.shape, input.count, input.seed);
        for (int code : codes) {
            OptimizerHandle optimizer = makeOptimizer(points, {50, -5});
            optimizer->algorithm = code;
            lengthLowerBound = computeLowerBound(*optimizer);
            testing::internal::CaptureStdout();
            optimizerOptimize(optimizer.get());
            testing::internal::GetCapturedStdout();
            ASSERT_TRUE(test::isPermutation(optimizer->order, input.count))
                << "code " << code << " seed " << input.seed;
        }
    }
}

TEST(HeuristicProperties, RunsAreRepeatable) {
    for (const Input& input : seededInputs()) {
        if (input.seed % 10 != 0) continue;
        const auto points = test::seededPoints(input.shape, input.count, input.seed);
        for (const Heuristic& heuristic : kHeuristics) {
            std::vector<int> orders[2];
            for (auto& order : orders) {
                OptimizerHandle optimizer = makeOptimizer(points, {1, 1});
                segmentWindow = kPropertyWindow;
                lengthLowerBound = computeLowerBound(*optimizer);
                heuristic.run(*optimizer);
                order = optimizer->order;
            }
            EXPECT_EQ(orders[0], orders[1]) << describe(input, heuristic.name);
        }
    }
}

}  // namespace
}  // namespace tw
