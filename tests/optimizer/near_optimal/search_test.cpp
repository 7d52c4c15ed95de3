// The chains of the near-optimal local search: where they may move the
// path's end, and what they leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "optimizer/near_optimal/construction.h"
#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/search.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"
#include "whole_tour.h"

namespace tw::nearopt {
namespace {

// Tight clusters of holes at random places, the start point in a corner:
// the kind of board on which a path easily ends in the wrong cluster.
NodeSet clusteredBoard(unsigned seed, int clusters, int perCluster) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> place(0.0, 1000.0);
    std::uniform_real_distribution<double> spread(-15.0, 15.0);
    NodeSet nodes;
    for (int c = 0; c < clusters; ++c) {
        const double cx = place(random);
        const double cy = place(random);
        for (int k = 0; k < perCluster; ++k) {
            nodes.x.push_back(cx + spread(random));
            nodes.y.push_back(cy + spread(random));
        }
    }
    nodes.startNode = static_cast<int>(nodes.x.size());
    nodes.x.push_back(0.0);
    nodes.y.push_back(0.0);
    nodes.endNode = nodes.startNode + 1;
    return nodes;
}

// The Hilbert order from the start node to the free end.
std::vector<int> curveOrder(const NodeSet& nodes) {
    std::vector<int> order{nodes.startNode};
    for (int node : hilbertOrder(nodes)) order.push_back(node);
    order.push_back(nodes.endNode);
    return order;
}

// Trying the free end at every step of a chain, not only at the first, lets
// a chain carry the path's end into another cluster where no single step
// could: on some clustered boards one local search from the curve order
// gives a far shorter path, ending elsewhere.
TEST(NearOptimalSearch, EndJoinsAtEveryStepCarryTheEndIntoAnotherCluster) {
    constexpr int kPerCluster = 12;
    int escapes = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const NodeSet nodes = clusteredBoard(seed, 6, kPerCluster);
        const CandidateLists candidates(nodes, 5, 5);
        double length[2];
        int lastCluster[2];
        for (const EndJoins joins : {EndJoins::kFirstStep, EndJoins::kEveryStep}) {
            ArrayTour tour(curveOrder(nodes));
            LocalSearch<ArrayTour> search(nodes, candidates, tour, 1e-9, joins);
            search.pushAll();
            search.run(1LL << 40);
            const int k = joins == EndJoins::kEveryStep ? 1 : 0;
            length[k] = wholeTourLength(nodes, tour);
            const int end = nodes.endNode;
            lastCluster[k] = (tour.next(end) == nodes.startNode ? tour.previous(end) : tour.next(end)) / kPerCluster;
        }
        if (length[1] < 0.98 * length[0] && lastCluster[1] != lastCluster[0]) ++escapes;
    }
    EXPECT_GE(escapes, 2);
}

// Every gain a search reports is length the tour really lost, and the tour
// stays whole: from shuffled orders, where chains turn long stretches and
// taking a step back can leave the tour read the other way round; with the
// longer insertions, as after kicks, and with the other first steps, as in
// the first search.
template <class Tour>
void expectReportedGainsRemoved() {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        for (const bool insertions : {false, true}) {
            const bool otherFirstSteps = !insertions;
            const NodeSet nodes = clusteredBoard(seed, 40, 50);
            std::vector<int> order = curveOrder(nodes);
            std::mt19937 random(seed);
            std::shuffle(order.begin() + 1, order.end() - 1, random);  // the start and the free end stay joined
            Tour tour(order);
            const CandidateLists candidates(nodes, 5, 5);
            LocalSearch<Tour> search(nodes, candidates, tour, 1e-9);
            search.tryInsertions(insertions);
            search.tryOtherFirstSteps(otherFirstSteps);
            const double before = wholeTourLength(nodes, tour);
            search.pushAll();
            // Far more work than the search needs, but an end should a
            // broken move let gains go round in a circle.
            constexpr long long kLimit = 1LL << 28;
            const double gained = search.run(kLimit);
            EXPECT_LT(search.work(), kLimit);
            SCOPED_TRACE(::testing::Message() << "seed " << seed
                                              << (insertions ? " with insertions" : " with the other first steps"));
            EXPECT_NEAR(before - wholeTourLength(nodes, tour), gained, 1e-6 * before);
        }
    }
}

TEST(NearOptimalSearch, ReportedGainsAreRemovedOnTheArrayTour) { expectReportedGainsRemoved<ArrayTour>(); }

TEST(NearOptimalSearch, ReportedGainsAreRemovedOnTheTwoLevelTour) { expectReportedGainsRemoved<TwoLevelTour>(); }

// The other first steps reach moves that chains of two-exchanges, the
// segment moves and the insertions do not: from tours where none of those
// gains any more, they still shorten most clustered boards, on both tours,
// by exactly what they report.
template <class Tour>
void expectOtherFirstStepsGainBeyondChains() {
    int improved = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const NodeSet nodes = clusteredBoard(seed, 30, 40);
        const CandidateLists candidates(nodes, 5, 5);
        Tour tour(curveOrder(nodes));
        LocalSearch<Tour> search(nodes, candidates, tour, 1e-9);
        search.tryInsertions(true);
        // A node leaves the queue when nothing gains from it, and comes back
        // only when an edge at it changes: search until a whole pass gains
        // nothing.
        do {
            search.pushAll();
        } while (search.run(1LL << 40) > 0.0);
        const double before = wholeTourLength(nodes, tour);
        search.tryOtherFirstSteps(true);
        search.pushAll();
        // Far more work than the search needs, but an end should a broken
        // move let gains go round in a circle.
        const long long limit = search.work() + (1LL << 26);
        const double gained = search.run(limit);
        EXPECT_LT(search.work(), limit);
        EXPECT_NEAR(before - wholeTourLength(nodes, tour), gained, 1e-9 * before) << "seed " << seed;
        if (gained > 1e-6 * before) ++improved;
    }
    EXPECT_GE(improved, 4);
}

TEST(NearOptimalSearch, OtherFirstStepsGainBeyondChainsOnTheArrayTour) {
    expectOtherFirstStepsGainBeyondChains<ArrayTour>();
}

TEST(NearOptimalSearch, OtherFirstStepsGainBeyondChainsOnTheTwoLevelTour) {
    expectOtherFirstStepsGainBeyondChains<TwoLevelTour>();
}

}  // namespace
}  // namespace tw::nearopt
