// The fast engine's nearest-neighbour tours and lower bound against the
// reference engine's, and checks that the generators really place the
// distances and detours on both sides of the decision thresholds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "optimizer/engines/engine_differential_support.h"

namespace tw {
namespace {

using test::GeneratedSet;
using test::SetKind;
using test::SetSpec;

::testing::AssertionResult compareTours(const SetSpec& spec) {
    const GeneratedSet set = test::generateSet(spec);
    test::OptimizerHandle optimizer = test::makeOptimizer(set);
    if (auto same = test::sameDouble("lower bound", referenceLowerBound(*optimizer), fastLowerBound(*optimizer));
        !same) {
        return same;
    }
    if (optimizer->count == 0) return ::testing::AssertionSuccess();
    for (TourKind kind : {TourKind::kPlain, TourKind::kDirected}) {
        const char* name = kind == TourKind::kPlain ? "plain tour" : "directed tour";
        // The tours write every position, so a scrambled starting order
        // shows any position they leave out.
        const std::vector<int> scrambled =
            test::startOrder(test::StartOrder::kShuffled, optimizer->count, spec.seed);
        optimizer->order = scrambled;
        referenceTour(*optimizer, kind);
        const std::vector<int> reference = optimizer->order;
        optimizer->order = scrambled;
        fastTour(*optimizer, kind);
        if (auto same = test::sameOrder(name, reference, optimizer->order); !same) return same;
    }
    return ::testing::AssertionSuccess();
}

void compareAll(const std::vector<SetSpec>& specs) {
    for (const SetSpec& spec : specs) ASSERT_TRUE(compareTours(spec)) << test::describe(spec);
}

TEST(EngineDifferentialTours, SmallSets) {
    const std::vector<int> sizes = {1, 2, 3, 4, 5, 7, 9, 12, 16, 25, 40, 64, 100, 150, 200};
    compareAll(test::mixedSpecs(sizes, test::scaledCount(81, 9), 50000));
}

TEST(EngineDifferentialTours, LargeSets) {
    const std::vector<int> sizes =
        test::kFullCaseCounts ? std::vector<int>{1000, 2000, 4000} : std::vector<int>{600};
    compareAll(test::mixedSpecs(sizes, test::scaledCount(3, 1), 60000));
}

// Chains of near-ties for the directed tour: every kind of near-tie set
// at many sizes, since the choice after a reset depends on scan order.
TEST(EngineDifferentialTours, DistanceNearTieChains) {
    std::vector<SetSpec> specs;
    for (int count : {30, 90, 300, 1000}) {
        if (!test::kFullCaseCounts && count > 300) continue;
        for (std::uint32_t seed = 0; seed < static_cast<std::uint32_t>(test::scaledCount(12, 2)); ++seed) {
            specs.push_back({SetKind::kDistanceNearTies, count, 70000 + seed, test::kAllStartKinds[seed % 3]});
        }
    }
    compareAll(specs);
}

// Pairs of distances from one point whose computed difference lies just
// below 0.001 and at or just above it: the directed tour's near-tie test
// must see both outcomes.
TEST(PointSetGenerators, DistanceNearTiesStraddleTheTolerance) {
    const GeneratedSet set = test::generateSet({SetKind::kDistanceNearTies, 80, 3, test::StartKind::kInside});
    int below = 0;
    int atOrAbove = 0;
    const auto& p = set.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        for (std::size_t j = 0; j < p.size(); ++j) {
            for (std::size_t k = 0; k < p.size(); ++k) {
                if (j == i || k == i || j == k) continue;
                const double difference =
                    exactHypot(p[k].x - p[i].x, p[k].y - p[i].y) - exactHypot(p[j].x - p[i].x, p[j].y - p[i].y);
                if (difference > 0.001 - 1e-12 && difference < 0.001) ++below;
                if (difference >= 0.001 && difference < 0.001 + 1e-12) ++atOrAbove;
            }
        }
    }
    EXPECT_GT(below, 10);
    EXPECT_GT(atOrAbove, 10);
}

// Consecutive stored triples whose computed detour lies on both sides of
// the 1e-8 margin, within a few rounding steps.
TEST(PointSetGenerators, GainNearTiesStraddleTheMargin) {
    const GeneratedSet set = test::generateSet({SetKind::kGainNearTies, 300, 5, test::StartKind::kInside});
    int below = 0;
    int atOrAbove = 0;
    for (std::size_t i = 0; i + 2 < set.points.size(); ++i) {
        const double detour = test::generators::detour(set.points[i], set.points[i + 1], set.points[i + 2]);
        if (detour < 1e-8 && detour > 1e-8 - 1e-14) ++below;
        if (detour >= 1e-8 && detour < 1e-8 + 1e-14) ++atOrAbove;
    }
    EXPECT_GT(below, 10);
    EXPECT_GT(atOrAbove, 10);
}

TEST(PointSetGenerators, ExtremeSetsStayWithinTheAcceptedRange) {
    for (SetKind kind : {SetKind::kNearLimit, SetKind::kLarge}) {
        for (test::StartKind start : test::kAllStartKinds) {
            const GeneratedSet set = test::generateSet({kind, 200, 11, start});
            test::OptimizerHandle optimizer = test::makeOptimizer(set);
            EXPECT_TRUE(orderableCoordinates(*optimizer)) << test::setKindName(kind);
            double largest = 0.0;
            for (const test::XY& point : set.points) largest = std::max({largest, std::fabs(point.x), std::fabs(point.y)});
            EXPECT_GT(largest, kind == SetKind::kNearLimit ? 0.99e30 : 0.9e29) << test::setKindName(kind);
        }
    }
}

TEST(PointSetGenerators, GridsAndDuplicatesAreFullOfExactTies) {
    for (SetKind kind : {SetKind::kGrid, SetKind::kDuplicates}) {
        const GeneratedSet set = test::generateSet({kind, 100, 2, test::StartKind::kInside});
        // Every point's nearest-neighbour distance: a handful of values.
        std::vector<double> distances;
        for (std::size_t i = 0; i < set.points.size(); ++i) {
            double nearest = INFINITY;
            for (std::size_t j = 0; j < set.points.size(); ++j) {
                if (j == i) continue;
                nearest = std::min(nearest, exactHypot(set.points[j].x - set.points[i].x, set.points[j].y - set.points[i].y));
            }
            distances.push_back(nearest);
        }
        std::sort(distances.begin(), distances.end());
        const auto distinct = std::unique(distances.begin(), distances.end()) - distances.begin();
        EXPECT_LT(distinct, 10) << test::setKindName(kind);
    }
}

TEST(PointSetGenerators, StartsInsideOutsideAndOnAPoint) {
    for (SetKind kind : test::kAllSetKinds) {
        const GeneratedSet onPoint = test::generateSet({kind, 50, 4, test::StartKind::kOnPoint});
        bool coincides = false;
        for (const test::XY& point : onPoint.points) {
            coincides = coincides || (point.x == onPoint.start.x && point.y == onPoint.start.y);
        }
        EXPECT_TRUE(coincides) << test::setKindName(kind);
        const GeneratedSet outside = test::generateSet({kind, 50, 4, test::StartKind::kOutside});
        double lowestX = outside.points[0].x;
        for (const test::XY& point : outside.points) lowestX = std::min(lowestX, point.x);
        if (kind != SetKind::kNearLimit) {
            EXPECT_LT(outside.start.x, lowestX) << test::setKindName(kind);
        }
    }
}

}  // namespace
}  // namespace tw
