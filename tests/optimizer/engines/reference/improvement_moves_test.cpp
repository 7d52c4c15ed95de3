#include <gtest/gtest.h>

#include <cmath>

#include "optimizer/engines/reference/improvement_moves.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;
using test::XY;

double d(XY a, XY b) { return exactHypot(a.x - b.x, a.y - b.y); }

std::vector<int> listOrder(const PathList& list) {
    std::vector<int> order(static_cast<std::size_t>(list.size()));
    EXPECT_TRUE(list.writeBack(order));
    return order;
}

// A list over `optimizer` linked in its current order.
struct LinkedPath {
    explicit LinkedPath(const PathOptimizer& optimizer) : list(optimizer) {
        list.linkInOrder(optimizer.order);
    }
    PathList list;
};

TEST(PathList, RelinksRunsAndWritesBackOnlyCompletePaths) {
    OptimizerHandle optimizer = makeOptimizer({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, {0, 0});
    optimizer->order = {4, 0, 1, 2, 3};
    LinkedPath path(*optimizer);
    PathList& list = path.list;
    EXPECT_EQ(listOrder(list), (std::vector<int>{4, 0, 1, 2, 3}));
    EXPECT_EQ(list.tail(), list.nodeOf(3));
    // Take 0..2 out, reverse them, and put them at the end.
    const Gap former = list.detachRun(list.nodeOf(0), list.nodeOf(2));
    EXPECT_EQ(former.left, list.nodeOf(4));
    EXPECT_EQ(former.right, list.nodeOf(3));
    PathList::reverseRun(list.nodeOf(0), list.nodeOf(2));
    list.insertRun(list.nodeOf(2), list.nodeOf(0), Gap{list.nodeOf(3), nullptr});
    EXPECT_EQ(listOrder(list), (std::vector<int>{4, 3, 2, 1, 0}));
    // Taking the head out moves the head.
    list.detachRun(list.nodeOf(4), list.nodeOf(4));
    EXPECT_EQ(list.head(), list.nodeOf(3));
    std::vector<int> order = identity(5);
    EXPECT_FALSE(list.writeBack(order));
    EXPECT_EQ(order, identity(5));
    list.insertRun(list.nodeOf(4), list.nodeOf(4), Gap{nullptr, list.head()});
    EXPECT_EQ(listOrder(list), (std::vector<int>{4, 3, 2, 1, 0}));
    // A cycle is rejected instead of followed forever.
    list.nodeOf(0)->next = list.nodeOf(4);
    EXPECT_FALSE(list.writeBack(order));
}

TEST(TwoExchangePass, UntangleKeepsTheFirstAndLastNode) {
    // A zig-zag with crossings; the path starts far from the first node.
    OptimizerHandle optimizer =
        makeOptimizer({{0, 0}, {3, 3}, {3, 0}, {0, 3}, {6, 0}, {6, 3}, {9, 1}}, {-50, 40});
    LinkedPath path(*optimizer);
    EXPECT_EQ(twoExchangePass(path.list), 1);
    const std::vector<int> order = listOrder(path.list);
    EXPECT_TRUE(test::isPermutation(order, 7));
    EXPECT_EQ(order.front(), 0);
    EXPECT_EQ(order.back(), 6);
    EXPECT_LT(test::pathLength(*optimizer, order), test::pathLength(*optimizer, identity(7)));
    // Now free of improving reversals.
    EXPECT_EQ(twoExchangePass(path.list), 0);
}

TEST(TwoExchangePass, FourPointsAreNeverChanged) {
    OptimizerHandle optimizer = makeOptimizer({{0, 0}, {3, 3}, {3, 0}, {0, 3}}, {0, 0});
    LinkedPath path(*optimizer);
    EXPECT_EQ(twoExchangePass(path.list), 0);
    EXPECT_EQ(listOrder(path.list), identity(4));
}

TEST(TwoExchangePass, GainOfExactlyTheMarginIsRefused) {
    // On a line: 0, b, 1, 3, 4 with b just above 1. Reversing b..1 gains
    // 2 (b - 1); the test is d(0,b) + d(1,3) - margin > d(0,1) + d(b,3).
    const double b = 1.000000005;
    ASSERT_EQ((b + 2.0) - kMoveMargin, 1.0 + (3.0 - b));
    const double beyond = std::nextafter(b, 2.0);
    ASSERT_GT((beyond + 2.0) - kMoveMargin, 1.0 + (3.0 - beyond));
    for (double x : {b, beyond}) {
        OptimizerHandle optimizer = makeOptimizer({{0, 0}, {x, 0}, {1, 0}, {3, 0}, {4, 0}}, {-1, 0});
        LinkedPath path(*optimizer);
        const bool moves = x == beyond;
        EXPECT_EQ(twoExchangePass(path.list), moves ? 1 : 0);
        EXPECT_EQ(listOrder(path.list),
                  moves ? (std::vector<int>{0, 2, 1, 3, 4}) : identity(5));
    }
}

TEST(RelocatePointsPass, MovesAPointToTheFront) {
    OptimizerHandle optimizer = makeOptimizer({{5, 0}, {6, 0}, {1, 0}}, {0, 0});
    LinkedPath path(*optimizer);
    EXPECT_EQ(relocatePointsPass(path.list), 1);
    EXPECT_EQ(listOrder(path.list), (std::vector<int>{2, 0, 1}));
}

TEST(RelocatePointsPass, SmallTotalGainReportsNoChangeButTheMovesStand) {
    // Stored and visited as 1 + delta, 1, 3: moving the first point behind
    // the second gains about 2 delta.
    const struct {
        double delta;
        int result;
    } cases[] = {{3e-9, 0}, {1e-8, 1}};
    for (const auto& c : cases) {
        OptimizerHandle optimizer = makeOptimizer({{1 + c.delta, 0}, {1, 0}, {3, 0}}, {0, 0});
        LinkedPath path(*optimizer);
        EXPECT_EQ(relocatePointsPass(path.list), c.result) << c.delta;
        EXPECT_EQ(listOrder(path.list), (std::vector<int>{1, 0, 2})) << c.delta;
    }
}

TEST(RelocatePointsPass, EqualCostKeepsThePlaceAndSinglePointIsKept) {
    // Mirror images: moving either point costs exactly what it gains.
    OptimizerHandle mirror = makeOptimizer({{0, 1}, {0, -1}}, {0, 0});
    LinkedPath mirrorPath(*mirror);
    EXPECT_EQ(relocatePointsPass(mirrorPath.list), 0);
    EXPECT_EQ(listOrder(mirrorPath.list), identity(2));
    OptimizerHandle single = makeOptimizer({{1, 1}}, {0, 0});
    LinkedPath singlePath(*single);
    EXPECT_EQ(relocatePointsPass(singlePath.list), 0);
    EXPECT_EQ(listOrder(singlePath.list), identity(1));
}

TEST(RelocateTriplesPass, ThreePointsAreNeverChanged) {
    OptimizerHandle optimizer = makeOptimizer({{5, 0}, {0, 0}, {9, 0}}, {0, 0});
    LinkedPath path(*optimizer);
    EXPECT_EQ(relocateTriplesPass(path.list), 0);
    EXPECT_EQ(listOrder(path.list), identity(3));
}

TEST(RelocateTriplesPass, MovesATripleInItsBestOrder) {
    // 0 -> 10, 12, 11 -> 1: the triple goes behind 1 as 10, 11, 12.
    OptimizerHandle optimizer = makeOptimizer({{10, 0}, {12, 0}, {11, 0}, {1, 0}}, {0, 0});
    LinkedPath path(*optimizer);
    EXPECT_EQ(relocateTriplesPass(path.list), 1);
    EXPECT_EQ(listOrder(path.list), (std::vector<int>{3, 0, 2, 1}));
}

// The triple A, B, C at the end of S, P, A, B, C with C almost as far from
// P as A: turning the triple round (C B A) gains d(P,A) - d(P,C).
struct TripleScene {
    XY s{-1, 0};
    XY p{0, 0};
    XY a{10, 1};
    XY b{11, 0};
    double cy;

    XY c() const { return {10, cy}; }
    // The triple's cost in order C B A behind P, and the removal gain less
    // the margin, summed as the pass sums them.
    double reversedCost() const { return d(p, c()) + (d(c(), b) + d(b, a)); }
    double bar() const { return ((d(p, a) + d(a, b)) + d(b, c())) - kMoveMargin; }
};

TEST(RelocateTriplesPass, GainOfExactlyTheMarginIsRefused) {
    // Bisect for the highest cy whose reversed cost is not below the bar.
    double low = -1.0 + 0.5e-7;  // gain below the margin
    double high = -1.0 + 2e-7;   // gain above it
    ASSERT_GT(TripleScene{.cy = low}.reversedCost(), TripleScene{.cy = low}.bar());
    ASSERT_LT(TripleScene{.cy = high}.reversedCost(), TripleScene{.cy = high}.bar());
    while (std::nextafter(low, high) != high) {
        const double middle = low + (high - low) / 2;
        const TripleScene scene{.cy = middle};
        (scene.reversedCost() < scene.bar() ? high : low) = middle;
    }
    const TripleScene atMargin{.cy = low};
    ASSERT_EQ(atMargin.reversedCost(), atMargin.bar());
    for (const TripleScene& scene : {atMargin, TripleScene{.cy = high}}) {
        OptimizerHandle optimizer = makeOptimizer({scene.p, scene.a, scene.b, scene.c()}, scene.s);
        LinkedPath path(*optimizer);
        const bool moves = scene.cy == high;
        EXPECT_EQ(relocateTriplesPass(path.list), moves ? 1 : 0);
        EXPECT_EQ(listOrder(path.list), moves ? (std::vector<int>{0, 3, 2, 1}) : identity(4));
    }
}

TEST(RelocateSegmentsPass, RunAtTheVeryEndMovesToTheFront) {
    // Visited 10, 11, 1, 2: the run 1, 2 at the end goes before 10.
    OptimizerHandle optimizer = makeOptimizer({{1, 0}, {2, 0}, {10, 0}, {11, 0}}, {0, 0});
    optimizer->order = {2, 3, 0, 1};
    LinkedPath path(*optimizer);
    EXPECT_EQ(relocateSegmentsPass(path.list, 2), 1);
    EXPECT_EQ(listOrder(path.list), identity(4));
}

TEST(RelocateSegmentsPass, RunsLongerThanWhatFollowsAreNotTried) {
    OptimizerHandle optimizer = makeOptimizer({{1, 0}, {2, 0}, {10, 0}, {11, 0}}, {0, 0});
    optimizer->order = {2, 3, 0, 1};
    for (int length : {4, 5, 100}) {
        LinkedPath path(*optimizer);
        EXPECT_EQ(relocateSegmentsPass(path.list, length), 0) << length;
        EXPECT_EQ(listOrder(path.list), (std::vector<int>{2, 3, 0, 1})) << length;
    }
}

TEST(RelocateSegmentsPass, MovesReversedWhenThatIsCheaper) {
    // 0 -> 5, 2, 1 -> 6: the run 2, 1 belongs reversed before 5.
    OptimizerHandle optimizer = makeOptimizer({{5, 0}, {2, 0}, {1, 0}, {6, 0}}, {0, 0});
    LinkedPath path(*optimizer);
    EXPECT_EQ(relocateSegmentsPass(path.list, 2), 1);
    EXPECT_EQ(listOrder(path.list), (std::vector<int>{2, 1, 0, 3}));
}

// At a tiny scale the gain G - N is computed exactly enough to meet the
// margin: S = P = (0,0), then F = (0,5s), L = (s,5s), D = (x,0). Moving F, L
// reversed behind D, or L, D reversed between P and F, gains d(P,F) - d(P,D).
struct SegmentScene {
    static constexpr double s = 0x1p-28;
    double x;
    XY p{0, 0};
    XY f{0, 5 * s};
    XY l{s, 5 * s};
    XY dd() const { return {x, 0}; }
    double gainOfFirstRun() const {
        return ((d(p, f) + d(l, dd())) - d(p, dd())) - d(dd(), l);
    }
    double gainOfSecondRun() const { return d(f, l) - ((d(p, dd()) + d(l, f)) - d(p, f)); }
};

TEST(RelocateSegmentsPass, GainOfExactlyTheMarginIsRefused) {
    const double step = 0x1p-79;  // one unit in the last place of x
    const double x0 = 5 * SegmentScene::s - kMoveMargin;
    bool found = false;
    SegmentScene atMargin{x0};
    for (int j = 0; j < 64 && !found; ++j) {
        atMargin = SegmentScene{x0 + j * step};
        const double first = atMargin.gainOfFirstRun();
        const double second = atMargin.gainOfSecondRun();
        found = first <= kMoveMargin && second <= kMoveMargin &&
                (first == kMoveMargin || second == kMoveMargin);
    }
    ASSERT_TRUE(found);
    const SegmentScene beyond{atMargin.x - 4 * step};
    ASSERT_TRUE(beyond.gainOfFirstRun() > kMoveMargin || beyond.gainOfSecondRun() > kMoveMargin);
    for (const SegmentScene& scene : {atMargin, beyond}) {
        OptimizerHandle optimizer = makeOptimizer({scene.p, scene.f, scene.l, scene.dd()}, scene.p);
        LinkedPath path(*optimizer);
        const bool moves = scene.x != atMargin.x;
        EXPECT_EQ(relocateSegmentsPass(path.list, 2), moves ? 1 : 0);
        EXPECT_EQ(listOrder(path.list), moves ? (std::vector<int>{0, 3, 2, 1}) : identity(4));
    }
}

TEST(ImprovementPasses, EveryPassKeepsAPermutationAndNeverLengthens) {
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        const auto shape = static_cast<test::Shape>(seed % 5);
        const int count = 1 + static_cast<int>(seed % 17);
        OptimizerHandle optimizer = makeOptimizer(test::seededPoints(shape, count, seed), {0, 0});
        LinkedPath path(*optimizer);
        double length = test::pathLength(*optimizer, identity(count));
        for (int round = 0; round < 3; ++round) {
            const std::vector<int> before = listOrder(path.list);
            const int changed = twoExchangePass(path.list) | relocateTriplesPass(path.list) |
                                relocateSegmentsPass(path.list, 2 + round) |
                                relocatePointsPass(path.list);
            const std::vector<int> after = listOrder(path.list);
            ASSERT_TRUE(test::isPermutation(after, count)) << seed;
            const double newLength = test::pathLength(*optimizer, after);
            EXPECT_LE(newLength, length + 1e-9) << seed;
            if (changed == 0) {
                EXPECT_EQ(after, before) << seed;
            }
            length = newLength;
        }
    }
}

}  // namespace
}  // namespace tw
