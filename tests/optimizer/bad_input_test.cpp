// Coordinates that are not finite or far too large, and very large point
// sets: every heuristic leaves such a set in the order it has, and nothing
// crashes or runs away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <limits>

#include "optimizer/heuristics/crossing_removal.h"
#include "optimizer/heuristics/improvement_rounds.h"
#include "optimizer/heuristics/insertion_tours.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/engines/path_list.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;
using test::XY;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Every heuristic and code on `optimizer`'s point set; true when each left
// the identity order.
bool everythingLeavesTheOrder(const std::vector<XY>& points, XY start) {
    bool unchanged = true;
    using Run = int (*)(PathOptimizer&);
    const Run runs[] = {
        [](PathOptimizer& o) { return directedNearestTour(o); },
        [](PathOptimizer& o) { return nearestTour(o); },
        [](PathOptimizer& o) { return removeCrossings(o); },
        [](PathOptimizer& o) { return insertionTour(o, 1); },
        [](PathOptimizer& o) { return insertionTour(o, 0); },
        [](PathOptimizer& o) { return extendedB(o); },
        [](PathOptimizer& o) { return extendedA(o, 1); },
        [](PathOptimizer& o) { return extendedA(o, 0); },
    };
    for (Run run : runs) {
        OptimizerHandle optimizer = makeOptimizer(points, start);
        lengthLowerBound = computeLowerBound(*optimizer);
        segmentWindow = 20;
        EXPECT_EQ(run(*optimizer), 0);
        unchanged = unchanged && optimizer->order == identity(optimizer->count);
    }
    for (int code : {1, 2, 3, 4, 5, 7, 8, 101, 102, 103, 104}) {
        OptimizerHandle optimizer = makeOptimizer(points, start);
        optimizer->algorithm = code;
        lengthLowerBound = computeLowerBound(*optimizer);
        testing::internal::CaptureStdout();
        optimizerOptimize(optimizer.get());
        optimizerComputeLength(optimizer.get());
        testing::internal::GetCapturedStdout();
        unchanged = unchanged && optimizer->order == identity(optimizer->count);
    }
    return unchanged;
}

TEST(BadCoordinates, NonFiniteOrHugeValuesLeaveTheOrder) {
    const double bad[] = {kNaN, kInfinity, -kInfinity, 1e300, -1e300,
                          std::nextafter(kMaxCoordinate, kInfinity)};
    for (double value : bad) {
        // A scrambled line with one bad coordinate in a point...
        EXPECT_TRUE(everythingLeavesTheOrder({{5, 0}, {1, 0}, {value, 0}, {3, 0}, {2, 0}, {4, 0}},
                                             {0, 0}))
            << value;
        EXPECT_TRUE(everythingLeavesTheOrder({{5, 0}, {1, value}, {3, 0}, {2, 0}}, {0, 0}))
            << value;
        // ...or in the start point.
        EXPECT_TRUE(everythingLeavesTheOrder({{5, 0}, {1, 0}, {3, 0}, {2, 0}}, {value, 0}))
            << value;
    }
}

TEST(BadCoordinates, TheLimitItselfIsAccepted) {
    const double m = kMaxCoordinate;
    // Corners of the accepted square, visited badly: the tours reorder them.
    const std::vector<XY> corners{{m, m}, {-m, -m}, {m, -m}, {-m, m}};
    OptimizerHandle optimizer = makeOptimizer(corners, {-m, -m});
    EXPECT_TRUE(orderableCoordinates(*optimizer));
    EXPECT_EQ(nearestTour(*optimizer), 1);
    EXPECT_TRUE(test::isPermutation(optimizer->order, 4));
    EXPECT_EQ(optimizer->order[0], 1);
    OptimizerHandle inserted = makeOptimizer(corners, {-m, -m});
    insertionTour(*inserted, 1);
    EXPECT_TRUE(test::isPermutation(inserted->order, 4));
    // Coordinates that are not x or y are never checked.
    OptimizerHandle zOnly(optimizerCreate(&StandardPathOptimizer, nullptr));
    optimizerAddPoint(zOnly.get(), nullptr, 0, 0, kNaN, kNaN, kNaN);
    optimizerSetStartPoint(zOnly.get(), nullptr, 0, 0, kInfinity);
    EXPECT_TRUE(orderableCoordinates(*zOnly));
}

TEST(BadCoordinates, LengthAndBoundStayDefined) {
    OptimizerHandle optimizer = makeOptimizer({{kNaN, 0}, {1, 0}}, {0, 0});
    optimizerComputeLength(optimizer.get());
    EXPECT_TRUE(std::isnan(optimizer->length));
    EXPECT_EQ(optimizer->lengthValid, 1);
    // A NaN distance never counts as a nearest one: both points keep the
    // "no distance yet" value, and the larger is left out.
    EXPECT_EQ(computeLowerBound(*optimizer), 9.9e30);
    OptimizerHandle infinite = makeOptimizer({{kInfinity, 0}, {1, 0}, {2, 0}}, {0, 0});
    optimizerComputeLength(infinite.get());
    EXPECT_EQ(infinite->length, kInfinity);
}

// Rounds over a six-point list: `step` relinks the list into the next
// permutation of `order` when asked to change it.
struct RoundsFixture {
    RoundsFixture() : optimizer(makeOptimizer({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}, {0, 0})) {
        list = std::make_unique<PathList>(*optimizer);
        list->linkInOrder(order);
    }
    int step() {
        std::next_permutation(order.begin(), order.end());
        list->linkInOrder(order);
        return 1;
    }
    OptimizerHandle optimizer;
    std::vector<int> order{0, 1, 2, 3, 4, 5};
    std::unique_ptr<PathList> list;
};

TEST(ImprovementRounds, StopAtTheFirstUnchangedRoundOrAtTheCap) {
    RoundsFixture f;
    int calls = 0;
    EXPECT_EQ(runImprovementRounds(*f.list, [&] { return ++calls < 4 ? f.step() : 0; }, 1, 100), 4);
    EXPECT_EQ(runImprovementRounds(*f.list, [] { return 0; }, 1, 100), 1);
    // Unchanged rounds are counted over all rounds, not only consecutive ones.
    calls = 0;
    EXPECT_EQ(runImprovementRounds(*f.list, [&] { return ++calls % 2 ? f.step() : 0; }, 2, 100), 4);
    // Rounds that keep finding new paths stop at the cap.
    EXPECT_EQ(runImprovementRounds(*f.list, [&] { return f.step(); }, 1, 100), 100);
}

TEST(ImprovementRounds, StopWhenAPathComesBack) {
    RoundsFixture f;
    // A round that claims a change but leaves the path as it was.
    EXPECT_EQ(runImprovementRounds(*f.list, [] { return 1; }, 1, kMaxImprovementRounds), 1);
    // Two rounds that swap the path back and forth.
    const std::vector<int> a = f.order;
    const std::vector<int> b{1, 0, 2, 3, 4, 5};
    bool flip = false;
    const long rounds = runImprovementRounds(
        *f.list,
        [&] {
            flip = !flip;
            f.list->linkInOrder(flip ? b : a);
            return 1;
        },
        1, kMaxImprovementRounds);
    EXPECT_EQ(rounds, 2);
}

TEST(ImprovementRounds, ShufflingCoincidingPointsIsNoNewPath) {
    OptimizerHandle optimizer = makeOptimizer({{7, 7}, {7, 7}, {7, 7}, {7, 7}}, {0, 0});
    PathList list(*optimizer);
    std::vector<int> order{0, 1, 2, 3};
    list.linkInOrder(order);
    const long rounds = runImprovementRounds(
        list,
        [&] {
            std::next_permutation(order.begin(), order.end());
            list.linkInOrder(order);
            return 1;
        },
        1, kMaxImprovementRounds);
    EXPECT_EQ(rounds, 1);
}

TEST(ImprovementRounds, HugeCoordinatesDoNotCycleForever) {
    // Found by fuzzing: at 1e26 the rounding of a distance is far above the
    // margins, so extendedB's passes kept undoing each other.
    const std::vector<XY> points = {{-3, -89},   {-114, 93}, {18.5, 4},    {45, 42},     {113, -121}, {-24, -83},
                                    {-43, 33},   {122, 41},  {25, 103},    {-100, -128}, {-120, -122}, {112, -101},
                                    {-58, 22},   {60.5, -114}, {83, 1.3299868503571265e+26}, {4, 4.5}, {4, -125},
                                    {2.88683e-319, 0}};
    for (int code : {1, 3, 7, 8}) {
        OptimizerHandle optimizer = makeOptimizer(points, {-62, 76});
        optimizer->algorithm = code;
        testing::internal::CaptureStdout();
        optimizerOptimize(optimizer.get());
        testing::internal::GetCapturedStdout();
        std::vector<int> sorted = optimizer->order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, identity(static_cast<int>(points.size()))) << code;
    }
}

TEST(LargePointSets, AMillionPointsAreStoredMeasuredAndKeptAsRead) {
    // The heuristics are quadratic or worse and take hours on a million
    // points; storing, measuring and the order as read must stay cheap.
    constexpr int kCount = 1000000;
    OptimizerHandle optimizer(optimizerCreate(&StandardPathOptimizer, nullptr));
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(optimizerAddPoint(optimizer.get(), "p", i % 1000, i / 1000, 0, 0, 0), 1);
    }
    optimizerSetStartPoint(optimizer.get(), nullptr, 0, 0, 0);
    EXPECT_EQ(optimizer->count, kCount);
    EXPECT_EQ(optimizer->order, identity(kCount));
    optimizer->algorithm = 4;
    testing::internal::CaptureStdout();
    optimizerOptimize(optimizer.get());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "*****  original  *****\n");
    EXPECT_EQ(segmentWindow, 2);
    optimizerComputeLength(optimizer.get());
    // 999 rows of 999 unit steps, 999 returns of hypot(999, 1).
    EXPECT_NEAR(optimizer->length, 999.0 * 1000 + 999 * std::hypot(999.0, 1.0), 1e-3);
    EXPECT_EQ(optimizerReset(optimizer.get()), 1);
    EXPECT_EQ(optimizer->count, 0);
}

}  // namespace
}  // namespace tw
