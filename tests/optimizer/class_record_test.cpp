#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"
#include "optimizer/path_optimizer.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;

TEST(OptimizerClassRecord, NameParentFlagAndSlotOrder) {
    EXPECT_STREQ(StandardPathOptimizer.className, "StandardPathOptimizer");
    EXPECT_EQ(StandardPathOptimizer.parent, nullptr);
    EXPECT_EQ(StandardPathOptimizer.initialised, 1);
    OptimizerClass copy = StandardPathOptimizer;
    copy.initialised = 0;
    EXPECT_EQ(optimizerClassInit(&copy), 1);
    EXPECT_EQ(copy.initialised, 1);
    EXPECT_EQ(optimizerClassInit(nullptr), 0);
}

TEST(OptimizerClassRecord, CreateCopiesNameOrLeavesItAbsent) {
    EXPECT_EQ(optimizerCreate(nullptr, "x"), nullptr);
    OptimizerHandle named(optimizerCreate(&StandardPathOptimizer, "tarnWELL Path Optimizer"));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->name, std::optional<std::string>("tarnWELL Path Optimizer"));
    EXPECT_EQ(named->classRecord, &StandardPathOptimizer);
    EXPECT_EQ(named->algorithm, 0);
    EXPECT_EQ(named->count, 0);
    EXPECT_EQ(named->hasStartPoint, 0);
    OptimizerHandle unnamed(optimizerCreate(&StandardPathOptimizer, nullptr));
    ASSERT_NE(unnamed, nullptr);
    EXPECT_FALSE(unnamed->name.has_value());
}

TEST(OptimizerClassRecord, WrappersAreNoOpsWithoutObjectOrClassRecord) {
    PathOptimizer orphan;  // no class record
    for (PathOptimizer* object : {static_cast<PathOptimizer*>(nullptr), &orphan}) {
        EXPECT_EQ(optimizerReset(object), 0);
        EXPECT_EQ(optimizerAddPoint(object, "p", 1, 2, 3, 4, 5), 0);
        EXPECT_EQ(optimizerSetStartPoint(object, "s", 1, 2, 3), 0);
        EXPECT_EQ(optimizerClearStartPoint(object), 0);
        EXPECT_EQ(optimizerComputeLength(object), 0);
        EXPECT_EQ(optimizerOptimize(object), 0);
        EXPECT_EQ(optimizerWrite(object, stdout, 0), 0);
        EXPECT_EQ(optimizerDestroy(object), 0);
    }
    EXPECT_EQ(orphan.count, 0);
    EXPECT_EQ(orphan.hasStartPoint, 0);
    EXPECT_EQ(orphan.lengthValid, 0);
}

TEST(OptimizerClassRecord, AddPointCutsNamesAndKeepsIdentityOrder) {
    OptimizerHandle optimizer(optimizerCreate(&StandardPathOptimizer, nullptr));
    EXPECT_EQ(optimizerAddPoint(optimizer.get(), "ABCDEFGHIJKLMNOPQRST", 1, 2, 3, 4, 5), 1);
    EXPECT_EQ(optimizerAddPoint(optimizer.get(), "ABCDEFGHIJKLMN", 6, 7, 8, 9, 10), 1);
    EXPECT_EQ(optimizerAddPoint(optimizer.get(), nullptr, 0, 0, 0, 0, 0), 1);
    const OptimizerPoint& first = optimizer->points[0];
    EXPECT_EQ(first.name, "ABCDEFGHIJKLMN");
    EXPECT_EQ(first.x, 1);
    EXPECT_EQ(first.y, 2);
    EXPECT_EQ(first.z, 3);
    EXPECT_EQ(first.surface, 4);
    EXPECT_EQ(first.depth, 5);
    EXPECT_EQ(optimizer->points[1].name, "ABCDEFGHIJKLMN");
    EXPECT_EQ(optimizer->points[2].name, "");
    // Growth over many steps keeps the identity order.
    for (int i = 3; i < 1000; ++i) {
        ASSERT_EQ(optimizerAddPoint(optimizer.get(), "p", i, i, 0, 0, 0), 1);
    }
    EXPECT_EQ(optimizer->count, 1000);
    EXPECT_EQ(optimizer->order, identity(1000));
}

TEST(OptimizerClassRecord, ChangesOfPointsOrStartInvalidateTheLength) {
    OptimizerHandle optimizer = makeOptimizer({{3, 4}});
    optimizerComputeLength(optimizer.get());
    EXPECT_EQ(optimizer->lengthValid, 1);
    optimizerAddPoint(optimizer.get(), nullptr, 0, 0, 0, 0, 0);
    EXPECT_EQ(optimizer->lengthValid, 0);
    optimizerComputeLength(optimizer.get());
    optimizerSetStartPoint(optimizer.get(), "ABCDEFGHIJKLMNOPQRST", 1, 2, 3);
    EXPECT_EQ(optimizer->lengthValid, 0);
    EXPECT_EQ(optimizer->hasStartPoint, 1);
    EXPECT_EQ(optimizer->startPoint.name, "ABCDEFGHIJKLMN");
    EXPECT_EQ(optimizer->startPoint.z, 3);
    optimizerComputeLength(optimizer.get());
    EXPECT_EQ(optimizerClearStartPoint(optimizer.get()), 1);
    EXPECT_EQ(optimizer->hasStartPoint, 0);
    EXPECT_EQ(optimizer->lengthValid, 0);
    // Without a start point clearing changes nothing.
    optimizerComputeLength(optimizer.get());
    optimizerClearStartPoint(optimizer.get());
    EXPECT_EQ(optimizer->lengthValid, 1);
}

TEST(OptimizerClassRecord, ResetEmptiesThePointsButKeepsNameAlgorithmAndStart) {
    OptimizerHandle optimizer = makeOptimizer({{1, 1}, {2, 2}}, {5, 5});
    optimizer->algorithm = kAlgorithmExtendedA;
    optimizerComputeLength(optimizer.get());
    EXPECT_EQ(optimizerReset(optimizer.get()), 1);
    EXPECT_EQ(optimizer->count, 0);
    EXPECT_TRUE(optimizer->points.empty());
    EXPECT_TRUE(optimizer->order.empty());
    EXPECT_EQ(optimizer->lengthValid, 0);
    EXPECT_EQ(optimizer->hasStartPoint, 1);
    EXPECT_EQ(optimizer->startPoint.x, 5);
    EXPECT_EQ(optimizer->algorithm, kAlgorithmExtendedA);
    EXPECT_EQ(optimizer->name, std::optional<std::string>("test"));
    EXPECT_EQ(optimizerAddPoint(optimizer.get(), nullptr, 7, 7, 0, 0, 0), 1);
    EXPECT_EQ(optimizer->order, identity(1));
}

TEST(OptimizerClassRecord, AddPointAtTheCountLimitEmptiesTheSet) {
    PathOptimizer optimizer;
    optimizer.classRecord = &StandardPathOptimizer;
    ASSERT_EQ(optimizerAddPoint(&optimizer, nullptr, 1, 1, 0, 0, 0), 1);
    optimizer.count = kMaxPointCount - 1;  // pretend the set is nearly full
    EXPECT_EQ(optimizerAddPoint(&optimizer, nullptr, 2, 2, 0, 0, 0), 1);
    EXPECT_EQ(optimizer.count, kMaxPointCount);
    EXPECT_EQ(optimizerAddPoint(&optimizer, nullptr, 3, 3, 0, 0, 0), 0);
    EXPECT_EQ(optimizer.count, 0);
    EXPECT_TRUE(optimizer.points.empty());
    EXPECT_TRUE(optimizer.order.empty());
}

TEST(OptimizerClassRecord, WriteWithoutFileFails) {
    OptimizerHandle optimizer = makeOptimizer({{1, 1}, {2, 2}});
    EXPECT_EQ(optimizerWrite(optimizer.get(), nullptr, 0), 0);
}

TEST(ComputeLength, SumsThePathInOrderFromTheStartPoint) {
    OptimizerHandle empty = makeOptimizer({});
    empty->length = 42;
    optimizerComputeLength(empty.get());
    EXPECT_EQ(empty->length, 0);
    EXPECT_EQ(empty->lengthValid, 1);

    OptimizerHandle single = makeOptimizer({{3, 4}});
    optimizerComputeLength(single.get());
    EXPECT_EQ(single->length, 0);
    optimizerSetStartPoint(single.get(), nullptr, 0, 0, 99);
    optimizerComputeLength(single.get());
    EXPECT_EQ(single->length, 5);

    OptimizerHandle path = makeOptimizer({{0, 1}, {0, 3}, {0, 0}}, {0, -1});
    path->order = {2, 0, 1};
    optimizerComputeLength(path.get());
    EXPECT_EQ(path->length, ((0.0 + 1.0) + 1.0) + 2.0);
    optimizerClearStartPoint(path.get());
    optimizerComputeLength(path.get());
    EXPECT_EQ(path->length, 3.0);
}

TEST(SegmentWindow, FollowsThePointCount) {
    const struct {
        int count;
        int window;
    } cases[] = {{0, 20},  {1, 20},  {75, 20},  {76, 19},  {100, 15},   {500, 3},
                 {501, 2}, {750, 2}, {751, 2},  {1000, 2}, {1000000, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(windowForCount(c.count), c.window) << c.count;
    }
}

TEST(SegmentWindow, IsSetByEveryOptimizeCall) {
    for (int count : {75, 76, 100}) {
        OptimizerHandle optimizer = makeOptimizer({});
        for (int i = 0; i < count; ++i) optimizerAddPoint(optimizer.get(), nullptr, i, 0, 0, 0, 0);
        optimizer->algorithm = kAlgorithmOriginal;
        segmentWindow = -7;
        testing::internal::CaptureStdout();
        optimizerOptimize(optimizer.get());
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(segmentWindow, windowForCount(count));
    }
}

TEST(LowerBound, SumsNearestDistancesLessTheLargest) {
    EXPECT_EQ(computeLowerBound(*makeOptimizer({})), 0);
    EXPECT_EQ(computeLowerBound(*makeOptimizer({{5, 5}})), 0);
    EXPECT_EQ(computeLowerBound(*makeOptimizer({{2, 2}, {2, 2}, {2, 2}, {2, 2}})), 0);
    // Nearest distances 1, 1, 2: the largest is left out.
    EXPECT_EQ(computeLowerBound(*makeOptimizer({{0, 0}, {1, 0}, {3, 0}})), 2);
    // The start point does not count.
    EXPECT_EQ(computeLowerBound(*makeOptimizer({{0, 0}, {1, 0}, {3, 0}}, {100, 100})), 2);
    // Evenly spaced: (n - 1) times the spacing, as any path along the line.
    EXPECT_EQ(computeLowerBound(*makeOptimizer({{0, 0}, {0, 2}, {0, 4}, {0, 6}})), 6);
}

TEST(LowerBound, NeverExceedsAnOpenPath) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        OptimizerHandle optimizer =
            makeOptimizer(test::seededPoints(test::Shape::kUniform, 12, seed));
        optimizerComputeLength(optimizer.get());  // no start point: open path
        EXPECT_LE(computeLowerBound(*optimizer), optimizer->length) << seed;
    }
}

}  // namespace
}  // namespace tw
