#include <gtest/gtest.h>

#include <cmath>

#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;

using Tour = int (*)(PathOptimizer&);

TEST(NearestTours, WorkedExampleDirectedStandsAndPlainIsRejected) {
    // Stored as (1,0), (0,1), (1,1), (2,0); start (0,0).
    const std::vector<test::XY> points{{1, 0}, {0, 1}, {1, 1}, {2, 0}};
    OptimizerHandle directed = makeOptimizer(points, {0, 0});
    optimizerComputeLength(directed.get());
    EXPECT_NEAR(directed->length, 2 + 2 * std::sqrt(2.0), 1e-12);
    EXPECT_EQ(directedNearestTour(*directed), 1);
    EXPECT_EQ(directed->order, (std::vector<int>{0, 3, 2, 1}));
    EXPECT_NEAR(directed->length, 3 + std::sqrt(2.0), 1e-12);

    // The plain tour builds (1,0), (1,1), (0,1), (2,0) = 3 + sqrt(5): longer.
    OptimizerHandle plain = makeOptimizer(points, {0, 0});
    EXPECT_EQ(nearestTour(*plain), 0);
    EXPECT_EQ(plain->order, identity(4));
    plain->order = {0, 2, 1, 3};
    optimizerComputeLength(plain.get());
    EXPECT_NEAR(plain->length, 3 + std::sqrt(5.0), 1e-12);
}

TEST(NearestTours, PlainTourTakesTheStrictlyNearestLowestIndexFirst) {
    // From a bad order, the plain tour walks the line; the tie at distance 1
    // from the start goes to the lower storage index.
    OptimizerHandle optimizer = makeOptimizer({{3, 0}, {0, 1}, {1, 0}, {2, 0}}, {0, 0});
    optimizer->order = {0, 3, 1, 2};
    EXPECT_EQ(nearestTour(*optimizer), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{1, 2, 3, 0}));
}

TEST(NearestTours, DirectedNearTieGoesToTheBetterAlignedCandidate) {
    // After the move (0,0) -> (1,0): a candidate at 5.0 across and one at
    // 5.0004 straight on. The reversed start order makes the result stand.
    OptimizerHandle optimizer = makeOptimizer({{1, 0}, {1, 5}, {6.0004, 0}}, {0, 0});
    optimizer->order = {2, 1, 0};
    EXPECT_EQ(directedNearestTour(*optimizer), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{0, 2, 1}));
}

TEST(NearestTours, DirectedNearTieAtEqualAlignmentKeepsTheFirstScanned) {
    // Both candidates are across the move (alignment 0): the one scanned
    // first stays, even when it is the farther one.
    const struct {
        std::vector<test::XY> points;
        std::vector<int> expected;
    } cases[] = {
        {{{1, 0}, {1, 5}, {1, -4.9996}}, {0, 1, 2}},
        {{{1, 0}, {1, -5.0004}, {1, 5}}, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        OptimizerHandle optimizer = makeOptimizer(c.points, {0, 0});
        optimizer->order = {2, 1, 0};
        EXPECT_EQ(directedNearestTour(*optimizer), 1);
        EXPECT_EQ(optimizer->order, c.expected);
    }
}

TEST(NearestTours, DirectedCandidateCloserByTheToleranceAlwaysWins) {
    // 4.999 is closer than 5.0 by exactly the tolerance: it wins by distance
    // although the 5.0 candidate is straight on.
    OptimizerHandle optimizer = makeOptimizer({{1, 0}, {6, 0}, {1, 4.999}}, {0, 0});
    optimizer->order = {1, 2, 0};
    EXPECT_EQ(directedNearestTour(*optimizer), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{0, 2, 1}));
}

TEST(NearestTours, DirectedBestDistanceStaysWithTheLastDistanceWinner) {
    // 5.0 wins by distance; 5.0009 straight on wins the near-tie but does
    // not move the bar; 5.0011 is compared with 5.0, not with 5.0009, so it
    // is no near-tie and loses although it is the best aligned.
    OptimizerHandle optimizer =
        makeOptimizer({{1, 0}, {1, 5}, {6.0009, 0}, {6.0011, 0}}, {0, 0});
    optimizer->order = {3, 2, 1, 0};
    EXPECT_EQ(directedNearestTour(*optimizer), 1);
    EXPECT_EQ(optimizer->order, (std::vector<int>{0, 2, 3, 1}));
}

TEST(NearestTours, FirstStepNearTieKeepsTheFirstScanned) {
    // At the first position every alignment is 0: of two candidates within
    // the tolerance the first scanned stays, the plain tour takes the nearer.
    const std::vector<test::XY> points{{0, 1.0005}, {1, 0}, {1.0005, 1}};
    OptimizerHandle directed = makeOptimizer(points, {0, 0});
    directed->order = {2, 1, 0};
    directedNearestTour(*directed);
    EXPECT_EQ(directed->order[0], 0);
    OptimizerHandle plain = makeOptimizer(points, {0, 0});
    plain->order = {2, 0, 1};
    nearestTour(*plain);
    EXPECT_EQ(plain->order[0], 1);
}

TEST(NearestTours, EqualLengthIsAcceptedLongerIsRejected) {
    for (Tour tour : {&directedNearestTour, &nearestTour}) {
        // Mirror images: the tour's order differs but has the same length.
        OptimizerHandle equal = makeOptimizer({{1, -1}, {1, 1}}, {0, 0});
        equal->order = {1, 0};
        EXPECT_EQ(tour(*equal), 1);
        EXPECT_EQ(equal->order, (std::vector<int>{0, 1}));

        // Greedy is worse here than the order as read.
        OptimizerHandle longer = makeOptimizer({{1, 0}, {-1.5, 0}, {3, 0}}, {0, 0});
        longer->order = {1, 0, 2};
        optimizerComputeLength(longer.get());
        const double oldLength = longer->length;
        EXPECT_EQ(tour(*longer), 0);
        EXPECT_EQ(longer->order, (std::vector<int>{1, 0, 2}));
        EXPECT_EQ(longer->length, oldLength);
    }
}

TEST(NearestTours, CoincidingPointsAreVisitedLowerIndexFirst) {
    for (Tour tour : {&directedNearestTour, &nearestTour}) {
        OptimizerHandle optimizer = makeOptimizer({{5, 0}, {2, 0}, {2, 0}}, {0, 0});
        EXPECT_EQ(tour(*optimizer), 1);
        EXPECT_EQ(optimizer->order, (std::vector<int>{1, 2, 0}));
    }
}

TEST(NearestTours, RefuseWithoutStartPointPointsOrClassRecord) {
    for (Tour tour : {&directedNearestTour, &nearestTour}) {
        OptimizerHandle noStart = makeOptimizer({{3, 0}, {1, 0}});
        EXPECT_EQ(tour(*noStart), 0);
        EXPECT_EQ(noStart->order, identity(2));
        OptimizerHandle empty = makeOptimizer({}, {0, 0});
        EXPECT_EQ(tour(*empty), 0);
        PathOptimizer orphan;
        orphan.points = {OptimizerPoint{"", 3, 0, 0, 0, 0}, OptimizerPoint{"", 1, 0, 0, 0, 0}};
        orphan.order = {0, 1};
        orphan.count = 2;
        orphan.hasStartPoint = 1;
        EXPECT_EQ(tour(orphan), 0);
        EXPECT_EQ(orphan.order, identity(2));
    }
}

}  // namespace
}  // namespace tw
