#include <gtest/gtest.h>

#include <string>

#include "optimizer/heuristics/insertion_tours.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::identity;
using test::makeOptimizer;
using test::OptimizerHandle;
using test::Shape;

// Runs optimize with `code` and returns what it printed.
std::string optimizeWithCode(PathOptimizer& optimizer, int code) {
    optimizer.algorithm = code;
    testing::internal::CaptureStdout();
    optimizerOptimize(&optimizer);
    return testing::internal::GetCapturedStdout();
}

OptimizerHandle scrambled(std::uint32_t seed, int count = 16) {
    return makeOptimizer(test::seededPoints(Shape::kUniform, count, seed), {0, 0});
}

TEST(OptimizeDispatch, BannersAreExactlyAsWritten) {
    const struct {
        int code;
        const char* banner;
    } cases[] = {
        {kAlgorithmNearest, ""},
        {kAlgorithmNearestDirected, ""},
        {kAlgorithmNearestDirCross, ""},
        {kAlgorithmOriginal, "*****  original  *****\n"},
        {kAlgorithmInsert, ""},
        {kAlgorithmExtendedA, ""},
        {kAlgorithmExtendedB, ""},
        {kAlgorithmMixed1, "*****  mixed 1  *****\n"},
        {kAlgorithmMixed2, "*****  mixed 2  *****\n"},
        {kAlgorithmMixed3, "*****  mixed 3  *****\n"},
        {kAlgorithmMixed4, "*****  mixed 4  *****\n"},
        {0, ""},
        {9, ""},
        {-1, ""},
        {105, ""},
    };
    for (const auto& c : cases) {
        OptimizerHandle optimizer = scrambled(7);
        EXPECT_EQ(optimizeWithCode(*optimizer, c.code), c.banner) << c.code;
    }
    // The weight-matrix search prints its own lines after the banner.
    OptimizerHandle optimizer = scrambled(7, 3);
    EXPECT_EQ(optimizeWithCode(*optimizer, kAlgorithmWeightMatrix).rfind("*****  w matrix  *****\n", 0),
              0u);
}

TEST(OptimizeDispatch, OriginalLeavesTheOrderAsRead) {
    OptimizerHandle optimizer = scrambled(3);
    EXPECT_EQ(optimizeWithCode(*optimizer, kAlgorithmOriginal), "*****  original  *****\n");
    EXPECT_EQ(optimizer->order, identity(16));
}

TEST(OptimizeDispatch, NearestInsertAndUnknownCodesRunTheSameInsertionTour) {
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        OptimizerHandle reference = scrambled(seed);
        segmentWindow = windowForCount(reference->count);
        insertionTour(*reference, 1);
        for (int code : {kAlgorithmNearest, kAlgorithmInsert, 0, 9, 100, 105, -3}) {
            OptimizerHandle optimizer = scrambled(seed);
            optimizeWithCode(*optimizer, code);
            EXPECT_EQ(optimizer->order, reference->order) << "seed " << seed << " code " << code;
        }
    }
}

TEST(OptimizeDispatch, CodesRunTheirStepsInOrder) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        // Code 103: the plain tour twice equals the plain tour (its second
        // run starts from the first's result).
        OptimizerHandle expected = scrambled(seed);
        segmentWindow = windowForCount(expected->count);
        nearestTour(*expected);
        nearestTour(*expected);
        OptimizerHandle actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmMixed3);
        EXPECT_EQ(actual->order, expected->order);

        expected = scrambled(seed);
        insertionTour(*expected, 1);
        nearestTour(*expected);
        actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmMixed2);
        EXPECT_EQ(actual->order, expected->order);

        expected = scrambled(seed);
        insertionTour(*expected, 1);
        insertionTour(*expected, 1);
        actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmMixed4);
        EXPECT_EQ(actual->order, expected->order);

        expected = scrambled(seed);
        directedNearestTour(*expected);
        lengthLowerBound = computeLowerBound(*expected);
        extendedA(*expected, 0);
        actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmMixed1);
        EXPECT_EQ(actual->order, expected->order);

        expected = scrambled(seed);
        extendedB(*expected);
        actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmExtendedB);
        EXPECT_EQ(actual->order, expected->order);

        expected = scrambled(seed);
        directedNearestTour(*expected);
        actual = scrambled(seed);
        optimizeWithCode(*actual, kAlgorithmNearestDirected);
        EXPECT_EQ(actual->order, expected->order);
    }
}

TEST(OptimizeDispatch, ConfigurationNamesMapToTheirCodes) {
    ASSERT_EQ(std::size(kAlgorithmNames), 7u);
    EXPECT_EQ(kAlgorithmNames[0].name, "nearest");
    EXPECT_EQ(kAlgorithmNames[0].code, 1);
    EXPECT_EQ(kAlgorithmNames[1].name, "nearestDirected");
    EXPECT_EQ(kAlgorithmNames[1].code, 2);
    EXPECT_EQ(kAlgorithmNames[2].name, "nearestDirCross");
    EXPECT_EQ(kAlgorithmNames[2].code, 3);
    EXPECT_EQ(kAlgorithmNames[3].name, "insert");
    EXPECT_EQ(kAlgorithmNames[3].code, 5);
    EXPECT_EQ(kAlgorithmNames[4].name, "extendedA");
    EXPECT_EQ(kAlgorithmNames[4].code, 7);
    EXPECT_EQ(kAlgorithmNames[5].name, "extendedB");
    EXPECT_EQ(kAlgorithmNames[5].code, 8);
    EXPECT_EQ(kAlgorithmNames[6].name, "nearOptimal");
    EXPECT_EQ(kAlgorithmNames[6].code, 11);
    EXPECT_EQ(kDefaultAlgorithm, 3);
}

}  // namespace
}  // namespace tw
