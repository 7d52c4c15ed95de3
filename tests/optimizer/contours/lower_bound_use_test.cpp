// The contour driver computes the lower bound only for the codes whose
// heuristics read it: the bound is a tree search per point, and on large
// contours it cost as much as the ordering of the codes that ignore it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "exchange/value_dictionary.h"
#include "optimizer/contours/contour_output.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;

struct BoundUse {
    int code;
    long computations;  // per contour of more than one point
};

// Every code the dispatch knows, and one it does not (it runs like 1).
const BoundUse kBoundUses[] = {
    {kAlgorithmNearest, 0},   {kAlgorithmNearestDirected, 0}, {kAlgorithmNearestDirCross, 0},
    {kAlgorithmOriginal, 0},  {kAlgorithmInsert, 0},          {kAlgorithmWeightMatrix, 0},
    {kAlgorithmExtendedA, 1}, {kAlgorithmExtendedB, 0},       {kAlgorithmMixed1, 1},
    {kAlgorithmMixed2, 0},    {kAlgorithmMixed3, 0},          {kAlgorithmMixed4, 0},
    {kAlgorithmNearOptimal, 0}, {42, 0},
};

// Runs the end of one contour of `points` points for `code` and returns how
// often the bound was computed meanwhile.
long boundsComputedForContour(int code, int points) {
    std::vector<test::XY> set;
    for (int i = 0; i < points; ++i) set.push_back({static_cast<double>((i * 7) % 5), static_cast<double>(i)});
    OptimizerHandle optimizer = makeOptimizer(set);
    optimizer->algorithm = code;
    PointListCycle cycle;
    std::memset(&cycle, 0, sizeof cycle);
    cycle.optimizer = optimizer.get();
    ContourReadState state;
    state.cycle = &cycle;
    state.pointCount = points;
    const ValueDictionary dictionary;
    const long before = lowerBoundComputations();
    finishContour(state, dictionary);
    return lowerBoundComputations() - before;
}

TEST(LowerBoundUse, ComputedOnlyForTheCodesThatReadIt) {
    for (const BoundUse& use : kBoundUses) {
        EXPECT_EQ(boundsComputedForContour(use.code, 6), use.computations) << "code " << use.code;
        // A single point is not ordered, so nothing reads a bound.
        EXPECT_EQ(boundsComputedForContour(use.code, 1), 0) << "code " << use.code;
    }
}

}  // namespace
}  // namespace tw
