#include <gtest/gtest.h>

#include "optimizer/engines/reference/improvement_moves.h"
#include "optimizer/heuristics/insertion_tours.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;
using test::XY;

std::vector<int> listOrder(const PathList& list) {
    std::vector<int> order(static_cast<std::size_t>(list.size()));
    EXPECT_TRUE(list.writeBack(order));
    return order;
}

TEST(InsertCheapest, EqualCostsGoToTheGapNearerTheFront) {
    // S = (0,0), path 2, 4 on the x axis; (2,1) costs sqrt(5) + 1 - 2 both
    // before 2 and between 2 and 4.
    OptimizerHandle optimizer = makeOptimizer({{2, 0}, {4, 0}, {2, 1}}, {0, 0});
    PathList list(*optimizer);
    list.startWith(0);
    insertCheapest(list, 1);
    EXPECT_EQ(list.head()->next, list.nodeOf(1));
    insertCheapest(list, 2);
    EXPECT_EQ(listOrder(list), (std::vector<int>{2, 0, 1}));
}

TEST(InsertCheapest, InnerGapWinsATieWithTheEndGap) {
    // Path (0,1); inserting (0,-1) costs 1 + 2 - 1 = 2 at the front and
    // d = 2 at the end.
    OptimizerHandle optimizer = makeOptimizer({{0, 1}, {0, -1}}, {0, 0});
    PathList list(*optimizer);
    list.startWith(0);
    insertCheapest(list, 1);
    EXPECT_EQ(listOrder(list), (std::vector<int>{1, 0}));
    // Strictly cheaper at the end: appended.
    OptimizerHandle line = makeOptimizer({{1, 0}, {2, 0}}, {0, 0});
    PathList lineList(*line);
    lineList.startWith(0);
    insertCheapest(lineList, 1);
    EXPECT_EQ(listOrder(lineList), identity(2));
}

TEST(InsertionTour, EqualLengthResultIsRejected) {
    // The tour builds (0,-1), (0,1): as long as the order read.
    for (int insertOn : {1, 0}) {
        OptimizerHandle optimizer = makeOptimizer({{0, 1}, {0, -1}}, {0, 0});
        optimizer->order = insertOn != 0 ? identity(2) : std::vector<int>{1, 0};
        const std::vector<int> before = optimizer->order;
        EXPECT_EQ(insertionTour(*optimizer, insertOn), 0);
        EXPECT_EQ(optimizer->order, before);
    }
    OptimizerHandle mirrored = makeOptimizer({{1, 1}, {1, -1}}, {0, 0});
    EXPECT_EQ(extendedB(*mirrored), 0);
    EXPECT_EQ(mirrored->order, identity(2));
}

TEST(InsertionTour, KeepsAStrictlyShorterPath) {
    OptimizerHandle optimizer = makeOptimizer({{4, 0}, {1, 0}, {3, 0}, {2, 0}}, {0, 0});
    EXPECT_EQ(insertionTour(*optimizer, 1), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(optimizer->length, 4);
    OptimizerHandle relocated = makeOptimizer({{4, 0}, {1, 0}, {3, 0}, {2, 0}}, {0, 0});
    EXPECT_EQ(insertionTour(*relocated, 0), 1);
    EXPECT_EQ(relocated->order, (std::vector<int>{1, 3, 2, 0}));
}

TEST(InsertionTour, RefusesWithoutStartPointOrPoints) {
    OptimizerHandle noStart = makeOptimizer({{4, 0}, {1, 0}});
    EXPECT_EQ(insertionTour(*noStart, 1), 0);
    EXPECT_EQ(extendedB(*noStart), 0);
    EXPECT_EQ(noStart->order, identity(2));
    OptimizerHandle empty = makeOptimizer({}, {0, 0});
    EXPECT_EQ(insertionTour(*empty, 1), 0);
    EXPECT_EQ(extendedA(*empty, 1), 0);
}

std::vector<XY> evenLine(int count) {
    std::vector<XY> points;
    for (int i = 0; i < count; ++i) points.push_back({0.5 * i, 2.0});
    return points;
}

TEST(ExtendedA, StopsAtOnceWhenThePathMeetsTheLowerBound) {
    // Evenly spaced, visited in line order from the first point: length and
    // bound are both (n - 1) times the spacing.
    OptimizerHandle optimizer = makeOptimizer(evenLine(10), {0, 2});
    lengthLowerBound = computeLowerBound(*optimizer);
    EXPECT_EQ(lengthLowerBound, 4.5);
    segmentWindow = 20;
    EXPECT_EQ(extendedA(*optimizer, 1), 0);
    EXPECT_EQ(optimizer->order, identity(10));
    EXPECT_EQ(optimizer->length, 4.5);
    EXPECT_EQ(segmentWindow, 20);
}

TEST(ExtendedA, TriesNothingWhenTheBoundSaysSo) {
    // A scrambled path that any insertion tour shortens, but a bound within
    // the tolerance of its length: nothing is tried.
    OptimizerHandle optimizer = makeOptimizer(evenLine(10), {0, 2});
    optimizer->order = {9, 0, 8, 1, 7, 2, 6, 3, 5, 4};
    optimizerComputeLength(optimizer.get());
    lengthLowerBound = optimizer->length - 0.0009;
    for (int insertOn : {1, 0}) {
        EXPECT_EQ(extendedA(*optimizer, insertOn), 0);
        EXPECT_EQ(optimizer->order, (std::vector<int>{9, 0, 8, 1, 7, 2, 6, 3, 5, 4}));
    }
}

TEST(ExtendedA, KeepsTheBestOrderAndRestoresTheWindow) {
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        for (int insertOn : {1, 0}) {
            OptimizerHandle optimizer =
                makeOptimizer(test::seededPoints(test::Shape::kUniform, 25, seed), {0, 0});
            optimizerComputeLength(optimizer.get());
            const double startLength = optimizer->length;
            lengthLowerBound = computeLowerBound(*optimizer);
            segmentWindow = 6;
            const int result = extendedA(*optimizer, insertOn);
            EXPECT_EQ(segmentWindow, 6);
            EXPECT_TRUE(test::isPermutation(optimizer->order, 25));
            const double length = optimizer->length;
            optimizerComputeLength(optimizer.get());
            EXPECT_EQ(optimizer->length, length);
            if (result == 1) {
                EXPECT_LT(length, startLength - kMoveMargin);
            } else {
                EXPECT_EQ(optimizer->order, identity(25));
            }
            // Never worse than one insertion tour at window 1.
            OptimizerHandle single =
                makeOptimizer(test::seededPoints(test::Shape::kUniform, 25, seed), {0, 0});
            segmentWindow = 1;
            insertionTour(*single, insertOn);
            optimizerComputeLength(single.get());
            EXPECT_LE(length, single->length);
        }
    }
}

TEST(ExtendedA, StopsAtTheFirstResultThatMeetsTheBound) {
    // The scrambled line: the first tour finds the straight path, which
    // meets the bound, and nothing else runs.
    OptimizerHandle optimizer = makeOptimizer(evenLine(8), {0, 2});
    optimizer->order = {7, 0, 6, 1, 5, 2, 4, 3};
    lengthLowerBound = computeLowerBound(*optimizer);
    segmentWindow = 20;
    EXPECT_EQ(extendedA(*optimizer, 1), 1);
    EXPECT_EQ(optimizer->order, identity(8));
    EXPECT_EQ(optimizer->length, lengthLowerBound);
}

TEST(ExtendedA, TwoPointsAreReorderedAndTheWindowRestored) {
    OptimizerHandle optimizer = makeOptimizer({{5, 0}, {1, 0}}, {0, 0});
    lengthLowerBound = computeLowerBound(*optimizer);
    segmentWindow = 20;
    EXPECT_EQ(extendedA(*optimizer, 1), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{1, 0}));
    EXPECT_EQ(segmentWindow, 20);
}

}  // namespace
}  // namespace tw
