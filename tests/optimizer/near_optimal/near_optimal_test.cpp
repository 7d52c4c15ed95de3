// The near-optimal mode: permutation and "never longer" on awkward sets,
// determinism, the exact optimum of small sets, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "optimizer/near_optimal/near_optimal.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"
#include "optimizer/near_optimal/search_effort.h"

namespace tw {
namespace {

using test::identity;
using test::isPermutation;
using test::makeOptimizer;
using test::OptimizerHandle;
using test::pathLength;
using test::seededPoints;
using test::Shape;
using test::XY;

// The lowest effort keeps the tests quick (the properties hold at any
// effort); the module-wide value is restored after each test.
class NearOptimal : public ::testing::Test {
protected:
    NearOptimal() { searchEffort = kMinSearchEffort; }
    ~NearOptimal() override { searchEffort = kDefaultSearchEffort; }
};

// A seeded permutation of the points, so that the input order is poor.
std::vector<XY> shuffled(std::vector<XY> points, std::uint32_t seed) {
    std::mt19937 random(seed);
    for (std::size_t i = points.size(); i > 1; --i) std::swap(points[i - 1], points[random() % i]);
    return points;
}

std::vector<int> nearOptimalOrder(const std::vector<XY>& points, XY start) {
    OptimizerHandle optimizer = makeOptimizer(points, start);
    nearOptimalPath(*optimizer);
    return optimizer->order;
}

TEST_F(NearOptimal, PermutationNeverLongerThanTheInputOrder) {
    const Shape shapes[] = {Shape::kUniform, Shape::kGrid, Shape::kDuplicates, Shape::kCollinear, Shape::kClustered};
    const int sizes[] = {2, 3, 5, 9, 40, 120};
    for (const Shape shape : shapes) {
        for (const int size : sizes) {
            for (std::uint32_t seed = 1; seed <= 2; ++seed) {
                const std::vector<XY> points = shuffled(seededPoints(shape, size, seed), seed);
                // From a corner, from a point of the set, and from far away.
                for (const XY start : {XY{0, 0}, points[static_cast<std::size_t>(size) / 2], XY{-1e4, 3e4}}) {
                    OptimizerHandle optimizer = makeOptimizer(points, start);
                    const double before = pathLength(*optimizer, identity(size));
                    nearOptimalPath(*optimizer);
                    SCOPED_TRACE(::testing::Message() << "shape " << static_cast<int>(shape) << " size " << size
                                                      << " seed " << seed << " start " << start.x);
                    ASSERT_TRUE(isPermutation(optimizer->order, size));
                    EXPECT_LE(pathLength(*optimizer, optimizer->order), before);
                    EXPECT_EQ(optimizer->lengthValid, 1);
                    EXPECT_EQ(optimizer->length, pathLength(*optimizer, optimizer->order));
                }
            }
        }
    }
}

TEST_F(NearOptimal, DegenerateSets) {
    struct Case {
        const char* what;
        std::vector<XY> points;
        XY start;
        double expectedLength;
    };
    const Case cases[] = {
        {"one point", {{3, 4}}, {0, 0}, 5},
        {"two points", {{10, 0}, {1, 0}}, {0, 0}, 10},
        {"all points coincide", std::vector<XY>(50, XY{2, 0}), {0, 0}, 2},
        {"start and points coincide", std::vector<XY>(20, XY{-1, 7}), {-1, 7}, 0},
        {"start on one of two positions", {{5, 5}, {0, 0}, {5, 5}, {0, 0}}, {0, 0}, std::hypot(5.0, 5.0)},
        {"collinear, start in the middle", {{-2, 0}, {3, 0}, {-1, 0}, {1, 0}, {2, 0}, {-3, 0}}, {0, 0}, 9},
    };
    for (const Case& c : cases) {
        OptimizerHandle optimizer = makeOptimizer(c.points, c.start);
        const int count = static_cast<int>(c.points.size());
        nearOptimalPath(*optimizer);
        ASSERT_TRUE(isPermutation(optimizer->order, count)) << c.what;
        EXPECT_NEAR(pathLength(*optimizer, optimizer->order), c.expectedLength, 1e-12) << c.what;
    }
}

TEST_F(NearOptimal, DuplicatesAreVisitedTogether) {
    std::vector<XY> points;
    for (int i = 0; i < 30; ++i) points.push_back({static_cast<double>((i * 7) % 10), static_cast<double>(i % 3)});
    OptimizerHandle optimizer = makeOptimizer(points, {0, 0});
    nearOptimalPath(*optimizer);
    ASSERT_TRUE(isPermutation(optimizer->order, 30));
    // Each position appears in one run of the order, its points in index order.
    for (int k = 1; k < 30; ++k) {
        const XY& a = points[static_cast<std::size_t>(optimizer->order[static_cast<std::size_t>(k) - 1])];
        const XY& b = points[static_cast<std::size_t>(optimizer->order[static_cast<std::size_t>(k)])];
        for (int later = k + 1; later < 30; ++later) {
            const XY& c = points[static_cast<std::size_t>(optimizer->order[static_cast<std::size_t>(later)])];
            if (a.x != b.x || a.y != b.y) {
                EXPECT_FALSE(c.x == a.x && c.y == a.y) << "position split at " << k;
            }
        }
    }
}

TEST_F(NearOptimal, SameOrderTwiceAndAfterOtherContours) {
    const std::vector<XY> points = shuffled(seededPoints(Shape::kUniform, 200, 7), 7);
    const std::vector<int> first = nearOptimalOrder(points, {0, 0});
    EXPECT_EQ(nearOptimalOrder(points, {0, 0}), first);
    // Other contours in between, through the optimizer as the driver runs
    // it, with other algorithms and the same mode on other sets.
    for (const int code : {kAlgorithmNearOptimal, kAlgorithmNearestDirCross, kAlgorithmInsert}) {
        OptimizerHandle other = makeOptimizer(seededPoints(Shape::kClustered, 120, 3), {5, 5});
        other->algorithm = code;
        optimizerOptimize(other.get());
    }
    EXPECT_EQ(nearOptimalOrder(points, {0, 0}), first);
}

// From 10,000 distinct positions the search runs on the two-level tour:
// the same guarantees, and the same order on every run.
TEST_F(NearOptimal, LargeSetsOnTheTwoLevelTour) {
    for (const Shape shape : {Shape::kUniform, Shape::kClustered}) {
        const std::vector<XY> points = shuffled(seededPoints(shape, 12000, 5), 5);
        OptimizerHandle optimizer = makeOptimizer(points, {0, 0});
        const double before = pathLength(*optimizer, identity(12000));
        nearOptimalPath(*optimizer);
        SCOPED_TRACE(::testing::Message() << "shape " << static_cast<int>(shape));
        ASSERT_TRUE(isPermutation(optimizer->order, 12000));
        EXPECT_LT(pathLength(*optimizer, optimizer->order), 0.1 * before);
        EXPECT_EQ(nearOptimalOrder(points, {0, 0}), optimizer->order);
    }
}

TEST_F(NearOptimal, OptimizeRunsTheModeForItsCode) {
    const std::vector<XY> points = shuffled(seededPoints(Shape::kClustered, 100, 11), 11);
    OptimizerHandle optimizer = makeOptimizer(points, {0, 0});
    optimizer->algorithm = kAlgorithmNearOptimal;
    optimizerOptimize(optimizer.get());
    EXPECT_EQ(optimizer->order, nearOptimalOrder(points, {0, 0}));
    EXPECT_NE(optimizer->order, identity(100));
}

// Exact shortest open path from the start through every point, by dynamic
// programming over subsets (every order is covered).
double exactOptimum(const std::vector<XY>& points, XY start) {
    const int n = static_cast<int>(points.size());
    const std::size_t full = (std::size_t{1} << n) - 1;
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> best((full + 1) * static_cast<std::size_t>(n), infinity);
    auto d = [&](int a, int b) {
        const XY& p = points[static_cast<std::size_t>(a)];
        const XY& q = points[static_cast<std::size_t>(b)];
        return exactHypot(p.x - q.x, p.y - q.y);
    };
    for (int i = 0; i < n; ++i)
        best[(std::size_t{1} << i) * n + i] =
            exactHypot(points[static_cast<std::size_t>(i)].x - start.x, points[static_cast<std::size_t>(i)].y - start.y);
    for (std::size_t set = 1; set <= full; ++set) {
        for (int last = 0; last < n; ++last) {
            const double here = best[set * n + last];
            if (!(set & (std::size_t{1} << last)) || here == infinity) continue;
            for (int next = 0; next < n; ++next) {
                if (set & (std::size_t{1} << next)) continue;
                double& there = best[(set | (std::size_t{1} << next)) * n + next];
                there = std::min(there, here + d(last, next));
            }
        }
    }
    return *std::min_element(best.begin() + static_cast<std::ptrdiff_t>(full * n), best.end());
}

// At the lowest effort: what holds there holds at every effort.
TEST_F(NearOptimal, SmallSetsAgainstTheExactOptimum) {
    int sets = 0;
    int matched = 0;
    double worst = 1.0;
    const Shape shapes[] = {Shape::kUniform, Shape::kGrid, Shape::kDuplicates, Shape::kClustered};
    for (int size = 2; size <= 9; ++size) {
        for (const Shape shape : shapes) {
            for (std::uint32_t seed = 1; seed <= 12; ++seed) {
                const std::vector<XY> points = seededPoints(shape, size, seed * 31 + static_cast<std::uint32_t>(size));
                const XY start{50.0 * (seed % 3), 20.0 * (seed % 4)};
                OptimizerHandle optimizer = makeOptimizer(points, start);
                nearOptimalPath(*optimizer);
                const double found = pathLength(*optimizer, optimizer->order);
                const double optimum = exactOptimum(points, start);
                ++sets;
                if (found <= optimum * (1 + 1e-12)) ++matched;
                if (optimum > 0) worst = std::max(worst, found / optimum);
                EXPECT_LE(found, optimum * 1.05 + 1e-9) << "size " << size << " seed " << seed;
            }
        }
    }
    std::printf("nearOptimal matched the exact optimum on %d of %d sets; worst ratio %.4f\n", matched, sets, worst);
    RecordProperty("matched", matched);
    RecordProperty("sets", sets);
    EXPECT_GE(matched * 10, sets * 9);
}

TEST_F(NearOptimal, EffortOutsideTheRangeIsClamped) {
    // Unclamped, a huge effort would overflow the work budget and a negative
    // one would run no kicks at all.
    const std::vector<XY> few = shuffled(seededPoints(Shape::kUniform, 6, 5), 5);
    const std::vector<XY> many = shuffled(seededPoints(Shape::kUniform, 30, 5), 5);
    searchEffort = kMaxSearchEffort;
    const std::vector<int> highest = nearOptimalOrder(few, {0, 0});
    searchEffort = kMinSearchEffort;
    const std::vector<int> lowest = nearOptimalOrder(many, {0, 0});
    const struct {
        int effort;
        const std::vector<XY>& points;
        const std::vector<int>& expected;
    } cases[] = {{kMaxSearchEffort + 1, few, highest}, {std::numeric_limits<int>::max(), few, highest},
                 {0, many, lowest}, {-7, many, lowest}, {std::numeric_limits<int>::min(), many, lowest}};
    for (const auto& c : cases) {
        searchEffort = c.effort;
        EXPECT_EQ(nearOptimalOrder(c.points, {0, 0}), c.expected) << c.effort;
    }
}

TEST_F(NearOptimal, UnorderableInputLeavesTheOrder) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::vector<XY> points;
        XY start;
    };
    const Case cases[] = {
        {"not a number", {{1, 1}, {nan, 0}, {0, 2}}, {0, 0}},
        {"infinite", {{1, 1}, {0, -inf}, {0, 2}}, {0, 0}},
        {"huge", {{1, 1}, {1e300, 0}, {0, 2}}, {0, 0}},
        {"huge start", {{1, 1}, {3, 0}, {0, 2}}, {-1e31, 0}},
    };
    for (const Case& c : cases) {
        OptimizerHandle optimizer = makeOptimizer(c.points, c.start);
        nearOptimalPath(*optimizer);
        EXPECT_EQ(optimizer->order, identity(3)) << c.what;
    }
    // Without a start point the order stays too.
    OptimizerHandle optimizer = makeOptimizer({{9, 9}, {0, 0}, {5, 5}});
    nearOptimalPath(*optimizer);
    EXPECT_EQ(optimizer->order, identity(3));
}

TEST_F(NearOptimal, LargestAcceptedCoordinatesStillOrdered) {
    // Coordinates at the edge of the accepted range, and tiny ones.
    for (const double scale : {1e27, 1e-200}) {
        std::vector<XY> points;
        for (const XY& p : shuffled(seededPoints(Shape::kUniform, 60, 9), 9)) points.push_back({p.x * scale, p.y * scale});
        OptimizerHandle optimizer = makeOptimizer(points, {0, 0});
        const double before = pathLength(*optimizer, identity(60));
        nearOptimalPath(*optimizer);
        ASSERT_TRUE(isPermutation(optimizer->order, 60)) << scale;
        EXPECT_LT(pathLength(*optimizer, optimizer->order), before) << scale;
    }
}

TEST(SearchEffort, ParameterTexts) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"10", 10},   {" 25 ", 25},  {"+7", 7},     {"1", 1},      {"100", 100},   {"0", 1},
        {"-5", 1},    {"-0", 1},     {"101", 100},  {"99999999999999999999999", 100},
        {"", 10},     {" ", 10},     {"abc", 10},   {"1.5", 10},   {"1e3", 10},    {"12abc", 10},
        {"+", 10},    {"- 3", 10},   {"0x10", 10},  {"\t42\r\n", 42},
    };
    for (const auto& c : cases) EXPECT_EQ(parseSearchEffort(c.text), c.expected) << '"' << c.text << '"';
}

TEST(SearchEffort, KickWorkScale) {
    for (const long long root : {0LL, 1LL, 2LL, 3LL, 1000LL, 46340LL, 46341LL, 7000000LL}) {
        EXPECT_EQ(nearopt::integerSquareRoot(root * root), root);
        if (root > 0) {
            EXPECT_EQ(nearopt::integerSquareRoot(root * root - 1), root - 1);
        }
        EXPECT_EQ(nearopt::integerSquareRoot(root * root + 2 * root), root) << "just below (root + 1)^2";
    }
    // Full work per position up to the limit, then the square-root growth.
    EXPECT_EQ(nearopt::kickWork(1000, 10), 10 * 1000 * nearopt::kKickWorkPerPosition);
    EXPECT_EQ(nearopt::kickWork(nearopt::kFullWorkPositions, 3),
              3 * nearopt::kFullWorkPositions * nearopt::kKickWorkPerPosition);
    EXPECT_EQ(nearopt::kickWork(4 * nearopt::kFullWorkPositions, 1),
              2 * nearopt::kFullWorkPositions * nearopt::kKickWorkPerPosition);
    long long previous = 0;
    for (long long positions = 1; positions < 400000; positions = positions * 3 / 2 + 1) {
        const long long work = nearopt::kickWork(positions, 10);
        EXPECT_GT(work, previous) << "more positions, more work: " << positions;
        EXPECT_LE(work, 10 * positions * nearopt::kKickWorkPerPosition);
        EXPECT_EQ(nearopt::kickWork(positions, 100), 10 * work) << "linear in the effort";
        previous = work;
    }
}

// Small contours split their budget W among six attempts and the chosen one's
// rest, 1.25 W in all; larger array tours kick with 2 W in one search; the
// two-level tour with its own W. Nothing overflows at the largest sizes.
TEST(SearchEffort, KickPlanBySize) {
    const long long small = nearopt::kAttemptPositions - 1;
    const nearopt::KickPlan split = nearopt::planKicks(small, 10, false);
    const long long budget = nearopt::kickWork(small, 10);
    EXPECT_EQ(split.attempts, nearopt::kAttempts);
    EXPECT_GT(split.trial, 0);
    EXPECT_LE(split.attempts * split.trial + split.rest, budget * 125 / 100);
    EXPECT_GE(split.attempts * split.trial + split.rest, budget * 125 / 100 - 2000);
    EXPECT_GT(split.rest, split.trial) << "the chosen attempt goes on for longer than a trial";

    const nearopt::KickPlan single = nearopt::planKicks(nearopt::kAttemptPositions, 10, false);
    EXPECT_EQ(single.attempts, 1);
    EXPECT_EQ(single.trial, 0);
    EXPECT_EQ(single.rest, 2 * nearopt::kickWork(nearopt::kAttemptPositions, 10));

    const nearopt::KickPlan twoLevel = nearopt::planKicks(20000, 10, true);
    EXPECT_EQ(twoLevel.attempts, 1);
    EXPECT_EQ(twoLevel.rest, nearopt::kickWork(20000, 10, nearopt::kTwoLevelKickWorkPerPosition));

    // Two positions at the least effort still get kicks in every attempt.
    EXPECT_GT(nearopt::planKicks(2, kMinSearchEffort, false).trial, 0);
    for (const bool level : {false, true}) {
        const nearopt::KickPlan largest = nearopt::planKicks(std::numeric_limits<int>::max(), kMaxSearchEffort, level);
        EXPECT_GT(largest.rest, 0);
    }
}

}  // namespace

}  // namespace tw
