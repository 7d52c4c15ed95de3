// The longer insertions of the near-optimal search: they find a misplaced
// stretch too long for the segment moves, from either side, and every one
// they make removes exactly the length they report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "optimizer/near_optimal/insertion_move.h"
#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"
#include "whole_tour.h"

namespace tw::nearopt {
namespace {

// `count` points on a circle, then the start point at its centre.
NodeSet circle(int count) {
    NodeSet nodes;
    for (int k = 0; k < count; ++k) {
        const double angle = 2.0 * 3.14159265358979323846 * k / count;
        nodes.x.push_back(1000.0 * std::cos(angle));
        nodes.y.push_back(1000.0 * std::sin(angle));
    }
    nodes.startNode = count;
    nodes.x.push_back(0.0);
    nodes.y.push_back(0.0);
    nodes.endNode = count + 1;
    return nodes;
}

// Around the circle the tour is 0 [7 .. 13] [1 .. 6] 14 .. 39, then the free
// end and the start: the two stretches, of 6 and 7 points, have changed
// places. One insertion from 0 (reading forwards) or from 14 (reading
// backwards) puts them back and leaves the circle in order.
template <class Tour>
void expectMisplacedStretchFound() {
    const NodeSet nodes = circle(40);
    const CandidateLists candidates(nodes, 5, 5);
    std::vector<int> misplaced{0};
    for (int k = 7; k <= 13; ++k) misplaced.push_back(k);
    for (int k = 1; k <= 6; ++k) misplaced.push_back(k);
    for (int k = 14; k < 40; ++k) misplaced.push_back(k);
    misplaced.push_back(nodes.endNode);
    misplaced.push_back(nodes.startNode);
    for (const int t1 : {0, 14}) {
        Tour tour(misplaced);
        const double before = wholeTourLength(nodes, tour);
        double gained = 0.0;
        long long work = 0;
        ASSERT_TRUE(improveByInsertion(nodes, candidates, tour, t1, 1e-9, gained, work)) << "from " << t1;
        EXPECT_NEAR(before - wholeTourLength(nodes, tour), gained, 1e-9 * before);
        const bool forward = tour.next(0) == 1;
        for (int k = 0; k + 1 < 40; ++k) ASSERT_EQ(forward ? tour.next(k) : tour.previous(k), k + 1) << "from " << t1;
        EXPECT_GT(work, 0);
        // In order, nothing is left to gain.
        EXPECT_FALSE(improveByInsertion(nodes, candidates, tour, t1, 1e-9, gained, work));
    }
}

TEST(NearOptimalInsertion, PutsBackAMisplacedStretchOnTheArrayTour) { expectMisplacedStretchFound<ArrayTour>(); }

TEST(NearOptimalInsertion, PutsBackAMisplacedStretchOnTheTwoLevelTour) { expectMisplacedStretchFound<TwoLevelTour>(); }

// From shuffled tours of random points, insertions from every node in turn:
// each one keeps the tour whole and removes what it reports.
template <class Tour>
void expectExactGains() {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> place(0.0, 1000.0);
        NodeSet nodes;
        constexpr int kPoints = 300;
        for (int k = 0; k <= kPoints; ++k) {
            nodes.x.push_back(place(random));
            nodes.y.push_back(place(random));
        }
        nodes.startNode = kPoints;
        nodes.endNode = kPoints + 1;
        std::vector<int> order(static_cast<std::size_t>(kPoints));
        for (int k = 0; k < kPoints; ++k) order[static_cast<std::size_t>(k)] = k;
        std::shuffle(order.begin(), order.end(), random);
        order.insert(order.begin(), nodes.startNode);
        order.push_back(nodes.endNode);
        Tour tour(order);
        const CandidateLists candidates(nodes, 5, 5);
        int made = 0;
        for (int round = 0; round < 3; ++round) {
            for (int t1 = 0; t1 < nodes.nodeCount(); ++t1) {
                const double before = wholeTourLength(nodes, tour);
                double gained = 0.0;
                long long work = 0;
                if (!improveByInsertion(nodes, candidates, tour, t1, 1e-9, gained, work)) continue;
                ++made;
                ASSERT_GT(gained, 1e-9);
                ASSERT_NEAR(before - wholeTourLength(nodes, tour), gained, 1e-9 * before) << "seed " << seed << " t1 " << t1;
            }
        }
        EXPECT_GT(made, 20) << "seed " << seed;
    }
}

TEST(NearOptimalInsertion, RemovesExactlyTheReportedGainOnTheArrayTour) { expectExactGains<ArrayTour>(); }

TEST(NearOptimalInsertion, RemovesExactlyTheReportedGainOnTheTwoLevelTour) { expectExactGains<TwoLevelTour>(); }

}  // namespace
}  // namespace tw::nearopt
