// The two-level tour against the array tour: the same exchanges and undos,
// compared after every step, on sizes and segment lengths that make the
// reversals split segments, turn runs of them, turn the rest of the ring
// instead, and reverse inside one segment.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"

namespace tw::nearopt {
namespace {

// The two tours are the same cycle when every node has the same two
// neighbours; the two-level tour may read it the other way round.
void expectSameCycle(const ArrayTour& array, const TwoLevelTour& list, const char* where, int step) {
    ASSERT_TRUE(list.consistent()) << where << " step " << step;
    const int size = array.size();
    const bool sameWay = list.next(array.at(0)) == array.next(array.at(0));
    for (int k = 0; k < size; ++k) {
        const int node = array.at(k);
        const int after = sameWay ? list.next(node) : list.previous(node);
        const int before = sameWay ? list.previous(node) : list.next(node);
        ASSERT_EQ(after, array.next(node)) << where << " step " << step << " node " << node;
        ASSERT_EQ(before, array.previous(node)) << where << " step " << step << " node " << node;
    }
}

// between(a, b, c) against positions in the array tour read the same way.
void expectSameOrder(const ArrayTour& array, const TwoLevelTour& list, std::mt19937& random) {
    const int size = array.size();
    const bool sameWay = list.next(array.at(0)) == array.next(array.at(0));
    for (int trial = 0; trial < 50; ++trial) {
        const int a = static_cast<int>(random() % static_cast<unsigned>(size));
        const int b = static_cast<int>(random() % static_cast<unsigned>(size));
        const int c = static_cast<int>(random() % static_cast<unsigned>(size));
        auto ahead = [&](int from, int to) {
            int d = sameWay ? array.positionOf(to) - array.positionOf(from) : array.positionOf(from) - array.positionOf(to);
            return d < 0 ? d + size : d;
        };
        ASSERT_EQ(list.between(a, b, c), ahead(a, b) <= ahead(a, c)) << a << " " << b << " " << c;
    }
}

struct Case {
    int size;
    int segmentSize;  // 0: the default, about sqrt(size)
    int longest;      // exchanges reverse at most this many nodes (0: any)
};

TEST(NearOptimalTwoLevelTour, FollowsTheArrayTourThroughExchangesAndUndo) {
    const Case cases[] = {{8, 2, 0},     {17, 3, 0},   {64, 4, 0},    {100, 0, 0},
                          {301, 7, 0},   {301, 0, 12}, {1000, 0, 0},  {1000, 0, 40},
                          {2500, 50, 0}, {2500, 0, 5}};
    for (const Case& c : cases) {
        const int size = c.size;
        std::vector<int> order(static_cast<std::size_t>(size));
        for (int k = 0; k < size; ++k) order[static_cast<std::size_t>(k)] = k;
        std::mt19937 random(static_cast<unsigned>(size + c.segmentSize));
        std::shuffle(order.begin(), order.end(), random);
        ArrayTour array(order);
        TwoLevelTour list(order, c.segmentSize);
        std::vector<std::size_t> marks;
        int made = 0;
        for (int step = 0; step < 1500; ++step) {
            const unsigned choice = random() % 10;
            if (choice == 0 && !marks.empty()) {
                // Take back to a mark; sometimes forget the record instead.
                array.undoTo(marks.back());
                list.undoTo(marks.back());
                marks.pop_back();
                expectSameCycle(array, list, "undo", step);
                continue;
            }
            if (choice == 1) marks.push_back(array.mark());
            if (choice == 2 && marks.empty()) {
                array.forget();
                list.forget();
            }
            const int t1 = static_cast<int>(random() % static_cast<unsigned>(size));
            const bool forward = random() % 2 == 0;
            const int t2 = forward ? list.next(t1) : list.previous(t1);
            int t3;
            if (c.longest > 0) {
                t3 = t2;
                const int steps = 1 + static_cast<int>(random() % static_cast<unsigned>(c.longest));
                for (int k = 0; k < steps; ++k) t3 = forward ? list.next(t3) : list.previous(t3);
            } else {
                t3 = static_cast<int>(random() % static_cast<unsigned>(size));
            }
            const int t4 = forward ? list.previous(t3) : list.next(t3);
            if (t3 == t1 || t3 == t2 || t4 == t1 || t4 == t2) continue;
            array.exchange(t1, t2, t3, t4);
            EXPECT_GE(list.exchange(t1, t2, t3, t4), 1);
            ++made;
            expectSameCycle(array, list, "exchange", step);
            ASSERT_EQ(list.mark(), array.mark());
            if (step % 100 == 0) expectSameOrder(array, list, random);
        }
        EXPECT_GT(made, 500) << "size " << size;
        array.undoTo(0);
        list.undoTo(0);
        expectSameCycle(array, list, "final undo", 0);
        // Every segment keeps some nodes, and none swallows the tour.
        EXPECT_LT(list.largestSegment(), size) << "size " << size;
    }
}

TEST(NearOptimalTwoLevelTour, WorkGrowsWithTheSquareRootNotTheLength) {
    // Reversing half of a 40,000-node tour moves 20,000 array entries; the
    // two-level tour relinks two partial segments and turns about 100.
    const int size = 40000;
    std::vector<int> order(static_cast<std::size_t>(size));
    for (int k = 0; k < size; ++k) order[static_cast<std::size_t>(k)] = k;
    ArrayTour array(order);
    TwoLevelTour list(order);
    const long long arrayWork = array.exchange(0, 1, 20001, 20000);
    const long long listWork = list.exchange(0, 1, 20001, 20000);
    EXPECT_EQ(arrayWork, 20000);
    EXPECT_LE(listWork, 3 * 200);
    EXPECT_EQ(list.next(0), 20000);
    EXPECT_EQ(list.next(1), 20001);
}

}  // namespace
}  // namespace tw::nearopt
