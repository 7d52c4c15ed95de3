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

struct Searched {
    double length = 0.0;
    int last = -1;  // the path's last node
    bool wholePath = false;
};

// The open path after one local search from the Hilbert order, without
// kicks.
Searched searchedPath(const NodeSet& nodes, EndJoins endJoins) {
    std::vector<int> order{nodes.startNode};
    for (int node : hilbertOrder(nodes)) order.push_back(node);
    order.push_back(nodes.endNode);
    ArrayTour tour(order);
    const CandidateLists candidates(nodes, 5, 5);
    LocalSearch<ArrayTour> search(nodes, candidates, tour, 1e-9, endJoins);
    search.pushAll();
    search.run(1LL << 40);

    // Read from the start away from the free end: every other node once,
    // then the free end.
    Searched result;
    const bool forward = tour.next(nodes.startNode) != nodes.endNode;
    result.wholePath = (forward ? tour.previous(nodes.startNode) : tour.next(nodes.startNode)) == nodes.endNode;
    std::vector<char> seen(static_cast<std::size_t>(nodes.nodeCount()), 0);
    int node = nodes.startNode;
    for (int k = 0; k + 2 < nodes.nodeCount(); ++k) {
        const int following = forward ? tour.next(node) : tour.previous(node);
        result.length += nodes.distance(node, following);
        result.wholePath = result.wholePath && following != nodes.endNode && seen[static_cast<std::size_t>(following)] == 0;
        seen[static_cast<std::size_t>(following)] = 1;
        node = following;
    }
    result.last = node;
    return result;
}

// Trying the free end at every step of a chain, not only at the first, lets
// a chain carry the path's end into another cluster where no single step
// could: on some clustered boards the path comes out far shorter, ending
// elsewhere. Either way the result is a whole path from the start.
TEST(NearOptimalSearch, EndJoinsAtEveryStepCarryTheEndIntoAnotherCluster) {
    constexpr int kPerCluster = 12;
    int escapes = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const NodeSet nodes = clusteredBoard(seed, 6, kPerCluster);
        const Searched firstStep = searchedPath(nodes, EndJoins::kFirstStep);
        const Searched everyStep = searchedPath(nodes, EndJoins::kEveryStep);
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        ASSERT_TRUE(firstStep.wholePath);
        ASSERT_TRUE(everyStep.wholePath);
        if (everyStep.length < 0.98 * firstStep.length && everyStep.last / kPerCluster != firstStep.last / kPerCluster)
            ++escapes;
    }
    EXPECT_GE(escapes, 2);
}

template <class Tour>
double closedLength(const NodeSet& nodes, const Tour& tour) {
    double total = 0.0;
    int node = 0;
    for (int k = 0; k < tour.size(); ++k, node = tour.next(node)) total += nodes.distance(node, tour.next(node));
    return total;
}

// Every gain a search reports is length the tour really lost, and the tour
// stays whole: from shuffled orders, where chains turn long stretches and
// taking a step back can leave the tour read the other way round.
template <class Tour>
void expectReportedGainsRemoved(int clusters, int perCluster) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const NodeSet nodes = clusteredBoard(seed, clusters, perCluster);
        std::vector<int> order{nodes.startNode};
        for (int node : hilbertOrder(nodes)) order.push_back(node);
        order.push_back(nodes.endNode);
        std::mt19937 random(seed);
        std::shuffle(order.begin() + 1, order.end() - 1, random);  // the start and the free end stay joined
        Tour tour(order);
        const CandidateLists candidates(nodes, 5, 5);
        LocalSearch<Tour> search(nodes, candidates, tour, 1e-9);
        const double before = closedLength(nodes, tour);
        search.pushAll();
        const double gained = search.run(1LL << 40);
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        EXPECT_NEAR(before - closedLength(nodes, tour), gained, 1e-6 * before);
        std::vector<char> seen(static_cast<std::size_t>(nodes.nodeCount()), 0);
        int node = 0;
        for (int k = 0; k < tour.size(); ++k, node = tour.next(node)) {
            ASSERT_EQ(seen[static_cast<std::size_t>(node)], 0);
            seen[static_cast<std::size_t>(node)] = 1;
            ASSERT_EQ(tour.previous(tour.next(node)), node);
        }
        EXPECT_TRUE(tour.next(nodes.startNode) == nodes.endNode || tour.previous(nodes.startNode) == nodes.endNode);
    }
}

TEST(NearOptimalSearch, ReportedGainsAreRemovedOnTheArrayTour) { expectReportedGainsRemoved<ArrayTour>(40, 50); }

TEST(NearOptimalSearch, ReportedGainsAreRemovedOnTheTwoLevelTour) { expectReportedGainsRemoved<TwoLevelTour>(40, 50); }

}  // namespace
}  // namespace tw::nearopt
