#include <gtest/gtest.h>

#include <random>

#include "optimizer/indexed_path.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;

// Positions must increase along the path, and the longest edge must be the
// longest edge of the path.
void expectConsistent(const IndexedPath& index) {
    const PathList& list = index.list();
    double longest = list.head() != nullptr ? 0.0 : -1.0;
    int held = 0;
    for (const PathNode* node = list.head(); node != nullptr; node = node->next) {
        ++held;
        if (node->next != nullptr) {
            ASSERT_LT(index.position(node), index.position(node->next)) << "at node " << node->point;
            longest = std::max(longest, list.distance(node, node->next));
        } else {
            EXPECT_EQ(index.tail(), node);
        }
        ASSERT_LE(held, list.size());
    }
    EXPECT_EQ(index.longestEdge(), longest);
}

std::vector<test::XY> line(int count) {
    std::vector<test::XY> points;
    for (int i = 0; i < count; ++i) points.push_back({static_cast<double>(i % 17), static_cast<double>(i / 17)});
    return points;
}

TEST(IndexedPath, PositionsSurviveRepeatedInsertionIntoOneGap) {
    // Each insertion halves the room of the same gap, so the labels run out
    // after some 60 insertions and a window is spaced out again, many times.
    const OptimizerHandle optimizer = makeOptimizer(line(600), {0, 0});
    PathList list(*optimizer);
    IndexedPath index(list, *optimizer);
    index.startWith(0);
    index.insertRun(list.nodeOf(1), list.nodeOf(1), Gap{list.nodeOf(0), nullptr});
    for (int point = 2; point < 600; ++point) {
        PathNode* node = list.nodeOf(point);
        // Alternately right after the first node and right before the last.
        const Gap gap = point % 2 == 0 ? Gap{list.head(), list.head()->next}
                                       : Gap{index.tail()->previous, index.tail()};
        index.insertRun(node, node, gap);
        expectConsistent(index);
    }
}

TEST(IndexedPath, RunMovesReversalsAndDetachingKeepTheIndexCurrent) {
    const int count = 300;
    const OptimizerHandle optimizer = makeOptimizer(test::seededPoints(test::Shape::kUniform, count, 5), {0, 0});
    PathList list(*optimizer);
    IndexedPath index(list, *optimizer);
    index.linkInOrder(test::identity(count));
    expectConsistent(index);
    std::mt19937 random(11);
    for (int step = 0; step < 2000; ++step) {
        PathNode* first = list.nodeOf(static_cast<int>(random() % count));
        PathNode* last = first;
        for (int k = static_cast<int>(random() % 4); k > 0 && last->next != nullptr; --k) last = last->next;
        if (step % 3 == 0 && first != last) {
            index.reverseRun(first, last);
        } else {
            const Gap former = index.detachRun(first, last);
            if (list.head() == nullptr) {
                index.insertRun(first, last, former);
                continue;
            }
            // Into a random gap of what is left, sometimes reversed.
            PathNode* right = list.nodeOf(static_cast<int>(random() % count));
            while (right->previous == nullptr && right != list.head()) right = list.head();
            for (PathNode* node = first;; node = node->next) {
                if (node == right) right = list.head();
                if (node == last) break;
            }
            Gap gap{right->previous, right};
            if (random() % 5 == 0) gap = Gap{index.tail(), nullptr};
            if (random() % 2 == 0 && first != last) {
                PathList::reverseRun(first, last);
                std::swap(first, last);
            }
            index.insertRun(first, last, gap);
        }
        expectConsistent(index);
    }
    std::vector<int> order(count);
    EXPECT_TRUE(list.writeBack(order));
    EXPECT_TRUE(test::isPermutation(order, count));
}

TEST(PointTree, BoxBoundsNeverExceedAComputedDistance) {
    // The pruning bounds must hold for points on and inside the box edges,
    // at every scale.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double scale : {1e-300, 1e-9, 1.0, 1e6, 1e29}) {
        for (int trial = 0; trial < 2000; ++trial) {
            const Box box{scale * unit(random), scale * unit(random), 0, 0};
            const Box grown{box.minX, box.minY, box.minX + scale * std::abs(unit(random)),
                            box.minY + scale * std::abs(unit(random))};
            const double x = 3 * scale * unit(random);
            const double y = 3 * scale * unit(random);
            const double px = random() % 2 ? grown.minX : grown.maxX;
            const double py = grown.minY + (grown.maxY - grown.minY) * std::abs(unit(random));
            const double distance = planeDistance(x, y, px, py);
            ASSERT_LE(boxDistance(grown, x, y), distance);
            ASSERT_FALSE(boxBeyond(grown, x, y, distance));
            ASSERT_FALSE(boxAtLeast(grown, x, y, std::nextafter(distance, 1e300)));
        }
    }
}

}  // namespace
}  // namespace tw
