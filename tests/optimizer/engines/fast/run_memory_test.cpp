#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "optimizer/engines/fast/run_memory.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;

std::vector<test::XY> row(int count) {
    std::vector<test::XY> points;
    for (int i = 0; i < count; ++i) points.push_back({static_cast<double>(i), static_cast<double>(i % 3)});
    return points;
}

struct Fixture {
    explicit Fixture(int count) : optimizer(makeOptimizer(row(count), {-1, 0})), list(*optimizer), index(list, *optimizer) {
        std::vector<int> order(static_cast<std::size_t>(count));
        std::iota(order.begin(), order.end(), 0);
        index.linkInOrder(order);
    }
    PathNode* node(int point) { return list.nodeOf(point); }

    OptimizerHandle optimizer;
    PathList list;
    IndexedPath index;
};

TEST(RunMemory, HoldsAcrossTurnsAndForgetsNewNeighbours) {
    Fixture f(20);
    RunMemory memory(20, 3);
    // The run 5 6 7, remembered now.
    memory.remember(f.index, f.node(5), f.node(7), f.index.clock());
    const std::uint64_t at = f.index.clock();
    EXPECT_EQ(memory.since(f.index, f.node(5), f.node(7)), at);

    // Turning 3..12 round keeps every pair of neighbours inside: the run
    // now reads 7 6 5 and is still known, from either end.
    f.index.reverseRun(f.node(3), f.node(12));
    ASSERT_EQ(f.node(7)->next, f.node(6));
    EXPECT_EQ(memory.since(f.index, f.node(7), f.node(5)), at);

    // Turning 8 7 6 round leaves the same ends joined by 7 8 5: another
    // run, which must not pass for the one remembered.
    f.index.reverseRun(f.node(8), f.node(6));
    ASSERT_EQ(f.node(7)->next, f.node(8));
    ASSERT_EQ(f.node(8)->next, f.node(5));
    EXPECT_EQ(memory.since(f.index, f.node(7), f.node(5)), 0u);
}

TEST(RunMemory, KeepsBothRunsThatShareTheirLowerEnd) {
    Fixture f(20);
    RunMemory memory(20, 3);
    // 0 .. 10 15 14 13 12 11 16 .. 19: point 11 is the lower end of both
    // 13 12 11 and 11 16 17.
    f.index.reverseRun(f.node(11), f.node(15));
    const std::uint64_t at = f.index.clock();
    memory.remember(f.index, f.node(13), f.node(11), at);
    memory.remember(f.index, f.node(11), f.node(17), at + 1);
    EXPECT_EQ(memory.since(f.index, f.node(13), f.node(11)), at);
    EXPECT_EQ(memory.since(f.index, f.node(11), f.node(17)), at + 1);
    // A run not remembered, with a remembered run's lower end.
    EXPECT_EQ(memory.since(f.index, f.node(11), f.node(18)), 0u);
}

TEST(RunMemory, AReachHoldsUntilANodeRelinkedWithinIt) {
    Fixture f(40);
    RunMemory memory(40, 3);
    const auto radius = [](double edge, double reach) { return edge + reach; };
    const double longest = f.index.longestEdge();
    memory.remember(f.index, f.node(5), f.node(7), f.index.clock(), 2.0, longest);
    memory.settleReaches(f.index.tree());
    ASSERT_NE(memory.skippableSince(f.index, f.node(5), f.node(7), longest), 0u);
    // A longer path edge than the reach was taken with widens the search.
    EXPECT_EQ(memory.skippableSince(f.index, f.node(5), f.node(7), longest * 2.0), 0u);

    // Point 30 lies far beyond the reach around point 5: the run stays
    // skippable.
    memory.forget(f.index, f.node(30), radius);
    EXPECT_NE(memory.skippableSince(f.index, f.node(5), f.node(7), longest), 0u);

    // Point 8, three units away, lies within it.
    memory.forget(f.index, f.node(8), radius);
    EXPECT_EQ(memory.skippableSince(f.index, f.node(5), f.node(7), longest), 0u);
    // The moment by the run's ends is kept for the search that follows.
    EXPECT_NE(memory.since(f.index, f.node(5), f.node(7)), 0u);
}

TEST(RunMemory, ARelinkedNodeTakesTheReachOfTheRunsThroughIt) {
    Fixture f(40);
    RunMemory memory(40, 3);
    const double longest = f.index.longestEdge();
    memory.remember(f.index, f.node(20), f.node(22), f.index.clock(), 0.0, longest);
    memory.remember(f.index, f.node(30), f.node(32), f.index.clock(), 0.0, longest);
    memory.settleReaches(f.index.tree());
    // With no radius at all only the runs through the node itself go.
    memory.forget(f.index, f.node(21), [](double, double) { return -1.0; });
    EXPECT_EQ(memory.skippableSince(f.index, f.node(20), f.node(22), longest), 0u);
    EXPECT_NE(memory.skippableSince(f.index, f.node(30), f.node(32), longest), 0u);
}

}  // namespace
}  // namespace tw
