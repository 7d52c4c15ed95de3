// Parts of the near-optimal search: the curve in its symmetries, candidate
// lists against a plain scan, and exchanges on the array tour with their undo
// and its order test.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "optimizer/near_optimal/construction.h"
#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/tour.h"

namespace tw::nearopt {
namespace {

NodeSet nodeSet(const std::vector<std::pair<double, double>>& positions) {
    NodeSet nodes;
    for (const auto& [x, y] : positions) {
        nodes.x.push_back(x);
        nodes.y.push_back(y);
    }
    nodes.startNode = static_cast<int>(positions.size()) - 1;  // the last one stands for the start
    nodes.endNode = nodes.startNode + 1;
    return nodes;
}

// A curve laid in a symmetry reads the points as the plain curve reads the
// mirrored or transposed points. Points sit at the same spot of distinct
// 256-cell blocks, with the box's corners present, so that rounding a
// coordinate to its cell cannot move a point out of its block.
TEST(NearOptimalCurve, SymmetriesReadMirroredAndTransposedPoints) {
    std::mt19937 random(11);
    std::set<std::pair<int, int>> blocks;
    while (blocks.size() < 300) blocks.insert({static_cast<int>(random() % 64), static_cast<int>(random() % 64)});
    const double top = 65535.0;
    auto laid = [&](auto transform) {
        std::vector<std::pair<double, double>> positions{transform(0.0, 0.0), transform(top, top)};
        for (const auto& [i, j] : blocks) positions.push_back(transform(1024.0 * i + 300.0, 1024.0 * j + 300.0));
        positions.push_back({0.0, 0.0});  // the start
        return nodeSet(positions);
    };
    const NodeSet plain = laid([](double x, double y) { return std::pair{x, y}; });
    const NodeSet mirroredX = laid([&](double x, double y) { return std::pair{top - x, y}; });
    const NodeSet mirroredY = laid([&](double x, double y) { return std::pair{x, top - y}; });
    const NodeSet turned = laid([&](double x, double y) { return std::pair{top - x, top - y}; });
    const NodeSet transposed = laid([](double x, double y) { return std::pair{y, x}; });
    EXPECT_EQ(hilbertOrder(plain, 1), hilbertOrder(mirroredX));
    EXPECT_EQ(hilbertOrder(plain, 2), hilbertOrder(mirroredY));
    EXPECT_EQ(hilbertOrder(plain, 3), hilbertOrder(turned));
    EXPECT_EQ(hilbertOrder(plain, 4), hilbertOrder(transposed));

    std::set<std::vector<int>> distinct;
    for (int symmetry = 0; symmetry < kCurveSymmetries; ++symmetry) {
        std::vector<int> order = hilbertOrder(plain, symmetry);
        distinct.insert(order);
        std::sort(order.begin(), order.end());
        for (int k = 0; k < plain.startNode; ++k) ASSERT_EQ(order[static_cast<std::size_t>(k)], k) << symmetry;
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kCurveSymmetries)) << "eight different first tours";
}

int quadrantOf(double dx, double dy) {
    if (dx >= 0 && dy > 0) return 0;
    if (dx < 0 && dy >= 0) return 1;
    if (dx <= 0 && dy < 0) return 2;
    return 3;
}

// The expected list by scanning every node.
std::vector<int> scannedCandidates(const NodeSet& nodes, int node, int nearest, int perQuadrant) {
    std::vector<std::pair<double, int>> all;
    for (int other = 0; other < nodes.endNode; ++other)
        if (other != node) all.push_back({nodes.distance(node, other), other});
    std::sort(all.begin(), all.end());
    std::set<std::pair<double, int>> chosen(all.begin(), all.begin() + std::min<std::size_t>(all.size(), nearest));
    int taken[4] = {};
    for (const auto& entry : all) {
        const double dx = nodes.x[static_cast<std::size_t>(entry.second)] - nodes.x[static_cast<std::size_t>(node)];
        const double dy = nodes.y[static_cast<std::size_t>(entry.second)] - nodes.y[static_cast<std::size_t>(node)];
        if (dx == 0 && dy == 0) continue;
        if (taken[quadrantOf(dx, dy)]++ < perQuadrant) chosen.insert(entry);
    }
    std::vector<int> result;
    for (const auto& entry : chosen) result.push_back(entry.second);
    std::sort(result.begin(), result.end());
    return result;
}

TEST(NearOptimalCandidates, MatchAPlainScan) {
    std::mt19937 random(3);
    std::vector<std::vector<std::pair<double, double>>> sets;
    std::vector<std::pair<double, double>> uniform, grid, line;
    for (int i = 0; i < 300; ++i) uniform.push_back({random() % 100000 / 100.0, random() % 100000 / 100.0});
    for (int i = 0; i < 15; ++i)
        for (int j = 0; j < 15; ++j) grid.push_back({2.5 * i, 2.5 * j});  // many exact ties
    for (int i = 0; i < 120; ++i) line.push_back({static_cast<double>(i % 40) * 3, 0.0});
    line.erase(std::unique(line.begin(), line.begin() + 40), line.end());
    line.resize(40);
    sets = {uniform, grid, line};
    for (const auto& set : sets) {
        const NodeSet nodes = nodeSet(set);
        for (const auto& [nearest, perQuadrant] : {std::pair{5, 5}, std::pair{8, 0}, std::pair{1, 2}}) {
            const CandidateLists lists(nodes, nearest, perQuadrant);
            for (int node = 0; node < nodes.endNode; ++node) {
                std::vector<int> listed;
                double last = -1;
                for (const Candidate* c = lists.begin(node); c != lists.end(node); ++c) {
                    listed.push_back(c->node);
                    EXPECT_EQ(c->distance, nodes.distance(node, c->node));
                    EXPECT_GE(c->distance, last) << "nearest first";
                    last = c->distance;
                }
                std::sort(listed.begin(), listed.end());
                ASSERT_EQ(listed, scannedCandidates(nodes, node, nearest, perQuadrant))
                    << "set of " << set.size() << ", node " << node << ", " << nearest << "/" << perQuadrant;
            }
            EXPECT_EQ(lists.begin(nodes.endNode), lists.end(nodes.endNode)) << "the free end has no list";
        }
    }
}

// The tour as its set of undirected edges.
std::set<std::pair<int, int>> edges(const ArrayTour& tour) {
    std::set<std::pair<int, int>> result;
    for (int k = 0; k < tour.size(); ++k) {
        const int a = tour.at(k);
        const int b = tour.next(a);
        result.insert({std::min(a, b), std::max(a, b)});
    }
    return result;
}

TEST(NearOptimalTour, ExchangesReplaceTwoEdgesAndUndoRestoresTheTour) {
    for (const int size : {4, 5, 9, 64, 301}) {
        std::vector<int> order(static_cast<std::size_t>(size));
        for (int k = 0; k < size; ++k) order[static_cast<std::size_t>(k)] = k;
        std::mt19937 random(static_cast<unsigned>(size));
        std::shuffle(order.begin(), order.end(), random);
        ArrayTour tour(order);
        const std::set<std::pair<int, int>> original = edges(tour);
        for (int step = 0; step < 200; ++step) {
            const int t1 = static_cast<int>(random() % static_cast<unsigned>(size));
            const bool forward = random() % 2 == 0;
            const int t2 = forward ? tour.next(t1) : tour.previous(t1);
            const int t3 = static_cast<int>(random() % static_cast<unsigned>(size));
            const int t4 = forward ? tour.previous(t3) : tour.next(t3);
            if (t3 == t1 || t3 == t2 || t4 == t1 || t4 == t2) continue;
            std::set<std::pair<int, int>> expected = edges(tour);
            expected.erase({std::min(t1, t2), std::max(t1, t2)});
            expected.erase({std::min(t3, t4), std::max(t3, t4)});
            expected.insert({std::min(t2, t3), std::max(t2, t3)});
            expected.insert({std::min(t4, t1), std::max(t4, t1)});
            tour.exchange(t1, t2, t3, t4);
            ASSERT_EQ(edges(tour), expected) << "size " << size << " step " << step;
            for (int k = 0; k < size; ++k) ASSERT_EQ(tour.positionOf(tour.at(k)), k);
            // between() against counting steps forwards.
            auto steps = [&](int from, int to) {
                int count = 0;
                for (; from != to; from = tour.next(from)) ++count;
                return count;
            };
            const int a = static_cast<int>(random() % static_cast<unsigned>(size));
            const int b = static_cast<int>(random() % static_cast<unsigned>(size));
            const int c = static_cast<int>(random() % static_cast<unsigned>(size));
            ASSERT_EQ(tour.between(a, b, c), steps(a, b) <= steps(a, c)) << a << " " << b << " " << c;
        }
        tour.undoTo(0);
        EXPECT_EQ(edges(tour), original) << "size " << size;
        EXPECT_EQ(tour.mark(), 0u);
    }
}

}  // namespace
}  // namespace tw::nearopt
