#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "optimizer/engines/fast/segment_order.h"

namespace tw {
namespace {

// A plain array of the same path, turned the slow way, with what each point
// must report: its side flipped an odd number of times, and its latest turn.
struct PlainPath {
    std::vector<int> order;
    std::vector<bool> turnedRound;
    std::vector<std::uint64_t> lastTurn;

    void reverse(std::size_t from, std::size_t to, std::uint64_t now) {
        std::reverse(order.begin() + static_cast<std::ptrdiff_t>(from), order.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        for (std::size_t k = from; k <= to; ++k) {
            const std::size_t point = static_cast<std::size_t>(order[k]);
            turnedRound[point] = !turnedRound[point];
            lastTurn[point] = now;
        }
    }
};

// What the owner of a SegmentOrder keeps per point: its own swaps and turns.
struct OwnRecords {
    std::vector<bool> swapped;
    std::vector<std::uint64_t> turned;
};

::testing::AssertionResult matches(const SegmentOrder& segments, const PlainPath& plain, const OwnRecords& own) {
    if (segments.size() != static_cast<int>(plain.order.size())) return ::testing::AssertionFailure() << "size";
    if (plain.order.empty()) return ::testing::AssertionSuccess();
    if (segments.first() != plain.order.front()) return ::testing::AssertionFailure() << "first";
    if (segments.last() != plain.order.back()) return ::testing::AssertionFailure() << "last";
    for (std::size_t k = 0; k < plain.order.size(); ++k) {
        const int point = plain.order[k];
        const std::size_t p = static_cast<std::size_t>(point);
        const int next = k + 1 < plain.order.size() ? plain.order[k + 1] : -1;
        const int previous = k > 0 ? plain.order[k - 1] : -1;
        if (segments.next(point) != next) return ::testing::AssertionFailure() << "next at " << k;
        if (segments.previous(point) != previous) return ::testing::AssertionFailure() << "previous at " << k;
        if (next >= 0 && !(segments.position(point) < segments.position(next))) {
            return ::testing::AssertionFailure() << "position at " << k;
        }
        if ((segments.flipped(point) != own.swapped[p]) != plain.turnedRound[p]) {
            return ::testing::AssertionFailure() << "side of point " << point << " at " << k;
        }
        if (std::max(segments.turnedAt(point), own.turned[p]) != plain.lastTurn[p]) {
            return ::testing::AssertionFailure() << "turn of point " << point << " at " << k;
        }
    }
    return ::testing::AssertionSuccess();
}

// Random turns, short and long, against the plain array; now and then the
// order is laid out afresh the way its owner does it (taking the flipped
// sides and block turns into its own records first).
void turnAtRandom(int pointCount, int pathCount, int turns, unsigned seed) {
    std::mt19937 random(seed);
    PlainPath plain;
    std::vector<int> points(static_cast<std::size_t>(pointCount));
    for (int i = 0; i < pointCount; ++i) points[static_cast<std::size_t>(i)] = i;
    std::shuffle(points.begin(), points.end(), random);
    plain.order.assign(points.begin(), points.begin() + pathCount);
    plain.turnedRound.assign(static_cast<std::size_t>(pointCount), false);
    plain.lastTurn.assign(static_cast<std::size_t>(pointCount), 0);
    OwnRecords own{std::vector<bool>(static_cast<std::size_t>(pointCount), false),
                   std::vector<std::uint64_t>(static_cast<std::size_t>(pointCount), 0)};
    SegmentOrder segments(pointCount);
    segments.assign(plain.order);
    ASSERT_TRUE(matches(segments, plain, own));
    for (int turn = 1; turn <= turns && pathCount > 0; ++turn) {
        const std::uint64_t now = static_cast<std::uint64_t>(turn);
        if (segments.crowded() || random() % 50 == 0) {
            for (int p = segments.first(); p >= 0; p = segments.next(p)) {
                const std::size_t at = static_cast<std::size_t>(p);
                if (segments.flipped(p)) own.swapped[at] = !own.swapped[at];
                own.turned[at] = std::max(own.turned[at], segments.turnedAt(p));
            }
            segments.assignFrom(segments.first(), [&segments](int p) { return segments.next(p); });
            ASSERT_TRUE(matches(segments, plain, own)) << "after laying out, turn " << turn;
        }
        std::size_t from = random() % static_cast<std::size_t>(pathCount);
        std::size_t to = random() % 4 == 0 ? std::min<std::size_t>(from + random() % 3, static_cast<std::size_t>(pathCount) - 1)
                                           : random() % static_cast<std::size_t>(pathCount);
        if (from > to) std::swap(from, to);
        const bool blocks = segments.reverse(plain.order[from], plain.order[to], now, [&](int p) {
            const std::size_t at = static_cast<std::size_t>(p);
            own.swapped[at] = !own.swapped[at];
            own.turned[at] = now;
        });
        plain.reverse(from, to, now);
        ASSERT_TRUE(matches(segments, plain, own)) << "turn " << turn << " of " << from << ".." << to
                                                   << (blocks ? " by blocks" : " point by point");
    }
}

TEST(SegmentOrder, TurnsMatchAPlainArray) {
    const int sizes[] = {1, 2, 3, 7, 8, 9, 17, 64, 65, 200, 1000};
    unsigned seed = 1;
    for (const int size : sizes) {
        SCOPED_TRACE(size);
        turnAtRandom(size, size, 300, seed++);
    }
}

TEST(SegmentOrder, PathOfSomePointsOnly) {
    turnAtRandom(500, 123, 400, 77);
    turnAtRandom(50, 0, 10, 78);
}

// Thousands of turns on one path, most of them long.
TEST(SegmentOrder, LongSequencesAgainstAPlainArray) { turnAtRandom(3000, 3000, 4000, 5); }

}  // namespace
}  // namespace tw
