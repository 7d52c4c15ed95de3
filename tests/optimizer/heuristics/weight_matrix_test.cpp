#include "optimizer/heuristics/weight_matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tw {
namespace {

struct Point {
    double x;
    double y;
};

// Runs the search on the points with the given order and collects what it
// prints.
class WeightMatrix : public ::testing::Test {
protected:
    void SetUp() override { optimizer.classRecord = &StandardPathOptimizer; }

    void add(const std::vector<Point>& points) {
        for (const Point& point : points) {
            ASSERT_EQ(optimizerAddPoint(&optimizer, nullptr, point.x, point.y, 0, 0, 0), 1);
        }
    }

    int run(WeightMatrixLimits limits = {}) {
        std::FILE* file = std::tmpfile();
        EXPECT_NE(file, nullptr);
        const int result = weightMatrixSearch(optimizer, limits, progress, file);
        std::rewind(file);
        printed.clear();
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) printed.push_back(static_cast<char>(c));
        std::fclose(file);
        return result;
    }

    PathOptimizer optimizer;
    SearchProgress progress;
    std::string printed;
};

TEST_F(WeightMatrix, ThreePointsOnALine) {
    add({{0, 0}, {1, 0}, {3, 0}});
    optimizer.order = {2, 0, 1};
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(printed, "Complete in line 2\nMin: 3 (2)   Max: 8\n");
    EXPECT_EQ(optimizer.order, (std::vector<int>{0, 1, 2}));
    // (1,1,2) and (1,2,1) fail at position 2, (1,2,2) is accepted.
    EXPECT_EQ(progress.calls, 2);
}

TEST_F(WeightMatrix, StartPointHasNoInfluence) {
    add({{0, 0}, {1, 0}, {3, 0}, {3, 2}, {0, 4}});
    run();
    const std::vector<int> order = optimizer.order;
    const std::string lines = printed;
    optimizer.order = {0, 1, 2, 3, 4};
    optimizerSetStartPoint(&optimizer, nullptr, 1e6, -1e6, 0);
    run();
    EXPECT_EQ(optimizer.order, order);
    EXPECT_EQ(printed, lines);
}

TEST_F(WeightMatrix, TwoPointsFormTheirTwoCycle) {
    add({{0, 0}, {3, 4}});
    optimizer.order = {1, 0};
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(printed, "Complete in line 1\nMin: 5 (5)   Max: 10\n");
    EXPECT_EQ(optimizer.order, (std::vector<int>{0, 1}));
    EXPECT_EQ(progress.calls, 0);
}

// Coinciding points sort into reversed rows (all distances tie), so no rank
// vector forms a cycle and the search runs through every level, the last
// one with ranks equal to the point count: such a rank lies beyond its row
// and must fail the check there instead of being read.
TEST_F(WeightMatrix, ExhaustedSearchOverCoincidingPointsKeepsTheOrder) {
    for (int count = 3; count <= 7; ++count) {
        SCOPED_TRACE(count);
        optimizer.points.clear();
        optimizer.order.clear();
        optimizer.count = 0;
        add(std::vector<Point>(static_cast<std::size_t>(count), Point{2.5, -1}));
        std::vector<int> order(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) order[k] = (k + 1) % count;
        optimizer.order = order;
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(optimizer.order, order);
        // No coverage line; one "." per level above the first.
        const std::string dots(static_cast<std::size_t>(count - 1), '.');
        EXPECT_EQ(printed.substr(0, printed.find('\n') + 1), "Min: 0 (0)   Max: 0\n");
        std::string rest = printed.substr(printed.find('\n') + 1);
        rest.erase(std::remove_if(rest.begin(), rest.end(),
                                  [](char c) { return c == '\b' || c == '|' || c == '/' || c == '-' || c == '\\'; }),
                   rest.end());
        EXPECT_EQ(rest, dots);
    }
}

TEST_F(WeightMatrix, ThreeCoincidingPointsAmongOthers) {
    add({{0, 0}, {0, 0}, {0, 0}, {10, 0}, {10, 10}});
    optimizer.order = {4, 3, 2, 1, 0};
    EXPECT_EQ(run(), 1);
    std::vector<int> sorted = optimizer.order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4}));
}

std::string spinnerCharacters(const std::string& printed) {
    std::string spinner;
    for (std::size_t i = 0; i + 1 < printed.size(); ++i) {
        if (printed[i + 1] == '\b') spinner.push_back(printed[i]);
    }
    return spinner;
}

// Three coinciding points visit 15 vectors (14 advances) before the
// odometer is exhausted.
TEST_F(WeightMatrix, ExhaustedSearchCountsEveryAdvance) {
    add(std::vector<Point>(3, Point{0, 0}));
    run();
    EXPECT_EQ(progress.calls, 14);
    EXPECT_EQ(progress.spinner, 0);
}

// A spinner character and a backspace every kSpinnerInterval advances,
// cycling through "|/-\", with the counter carried across searches.
TEST_F(WeightMatrix, SpinnerEveryTenThousandAdvances) {
    add(std::vector<Point>(7, Point{1, 1}));
    run();
    const long long advances = static_cast<long long>(spinnerCharacters(printed).size()) * kSpinnerInterval + progress.calls;
    ASSERT_GT(advances, kSpinnerInterval);

    progress = {kSpinnerInterval - 1, 3};
    run();
    const std::string spinner = spinnerCharacters(printed);
    const long long total = kSpinnerInterval - 1 + advances;
    ASSERT_EQ(static_cast<long long>(spinner.size()), total / kSpinnerInterval);
    const std::string cycle = "|/-\\";
    for (std::size_t i = 0; i < spinner.size(); ++i) EXPECT_EQ(spinner[i], cycle[(i + 3) % 4]) << i;
    EXPECT_EQ(progress.calls, total % kSpinnerInterval);
    EXPECT_EQ(progress.spinner, static_cast<int>((3 + spinner.size()) % 4));
}

TEST_F(WeightMatrix, NothingToSearchPrintsNothing) {
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(printed, "");
    add({{1, 2}});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(optimizer.order, (std::vector<int>{0}));
}

TEST_F(WeightMatrix, UnusableCoordinatesLeaveTheOrder) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 2 * kMaxCoordinate};
    for (const double bad : values) {
        optimizer.points.clear();
        optimizer.order.clear();
        optimizer.count = 0;
        add({{0, 0}, {1, 0}, {bad, 0}, {0, 5}});
        optimizer.order = {3, 2, 1, 0};
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(printed, "");
        EXPECT_EQ(optimizer.order, (std::vector<int>{3, 2, 1, 0}));
    }
    optimizer.points.clear();
    optimizer.order.clear();
    optimizer.count = 0;
    add({{-kMaxCoordinate, 0}, {kMaxCoordinate, kMaxCoordinate}});
    run();
    EXPECT_NE(printed, "");
}

// Above the point limit the table is not built: the lack-of-memory path.
TEST_F(WeightMatrix, PointLimit) {
    std::mt19937 random(11);
    std::vector<Point> points;
    for (int i = 0; i <= kMaxWeightMatrixPoints; ++i) {
        points.push_back({static_cast<double>(random() % 100000), static_cast<double>(random() % 100000)});
    }
    add(points);
    std::vector<int> reversed(optimizer.order.rbegin(), optimizer.order.rend());
    optimizer.order = reversed;
    WeightMatrixLimits limits;
    limits.maxSteps = 10 * kMaxWeightMatrixPoints;
    EXPECT_EQ(run(limits), 1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(optimizer.order, reversed);

    // One point fewer: searched (statistics printed) until the budget ends.
    optimizer.points.pop_back();
    optimizer.order.assign(reversed.begin() + 1, reversed.end());
    optimizer.count = kMaxWeightMatrixPoints;
    const std::vector<int> before = optimizer.order;
    run(limits);
    EXPECT_NE(printed.find("Min: "), std::string::npos);
    EXPECT_EQ(optimizer.order, before);
    EXPECT_EQ(progress.calls, 10);
}

// The search stops once the next advance would exceed the step budget
// (advances times the point count), like an exhausted search.
TEST_F(WeightMatrix, StepBudget) {
    add({{0, 0}, {1, 0}, {3, 0}});
    optimizer.order = {2, 1, 0};
    WeightMatrixLimits limits;
    limits.maxSteps = 2 * 3 - 1;
    run(limits);
    EXPECT_EQ(optimizer.order, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(progress.calls, 1);
    limits.maxSteps = 2 * 3;
    progress = {};
    run(limits);
    EXPECT_EQ(optimizer.order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(progress.calls, 2);
}

// Any accepted result is one cycle through all points whose successors are
// nearest-neighbour ranks: the order is a permutation ending with the last
// stored point.
TEST_F(WeightMatrix, RandomSetsGiveCyclesOrKeepTheOrder) {
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        optimizer.points.clear();
        optimizer.order.clear();
        optimizer.count = 0;
        const int count = 2 + static_cast<int>(random() % 7);
        const int grid = 1 + static_cast<int>(random() % 5);  // small grids give ties and duplicates
        for (int i = 0; i < count; ++i) {
            add({{static_cast<double>(random() % grid), static_cast<double>(random() % grid)}});
        }
        std::vector<int> start = optimizer.order;
        std::shuffle(start.begin(), start.end(), random);
        optimizer.order = start;
        EXPECT_EQ(run(), 1);
        std::vector<int> sorted = optimizer.order;
        std::sort(sorted.begin(), sorted.end());
        for (int k = 0; k < count; ++k) ASSERT_EQ(sorted[k], k);
        if (optimizer.order != start) {
            EXPECT_EQ(optimizer.order.back(), count - 1);
        }
    }
}

}  // namespace
}  // namespace tw
