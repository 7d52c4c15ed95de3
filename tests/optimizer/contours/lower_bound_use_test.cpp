// The contour driver computes the lower bound only for the codes whose
// heuristics read it (the bound is a tree search per point, and on large
// contours it cost as much as the ordering of the codes that ignore it),
// and one contour builds at most one point tree, whatever searches it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "exchange/value_dictionary.h"
#include "optimizer/contours/contour_output.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/optimizer_test_support.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;

struct BoundUse {
    int code;
    long computations;  // per contour of more than one point
    long trees;         // point trees built per such contour
};

// Every code the dispatch knows, and one it does not (it runs like 1).
const BoundUse kBoundUses[] = {
    {kAlgorithmNearest, 0, 1},     {kAlgorithmNearestDirected, 0, 1}, {kAlgorithmNearestDirCross, 0, 1},
    {kAlgorithmOriginal, 0, 0},    {kAlgorithmInsert, 0, 1},          {kAlgorithmWeightMatrix, 0, 0},
    {kAlgorithmExtendedA, 1, 1},   {kAlgorithmExtendedB, 0, 1},       {kAlgorithmMixed1, 1, 1},
    {kAlgorithmMixed2, 0, 1},      {kAlgorithmMixed3, 0, 1},          {kAlgorithmMixed4, 0, 1},
    {kAlgorithmNearOptimal, 0, 1}, {42, 0, 1},
};

struct ContourWork {
    long bounds;
    long trees;
};

// Runs the end of one contour of `points` points for `code` and returns how
// often the bound was computed and a point tree built meanwhile.
ContourWork workForContour(int code, int points) {
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
    const long bounds = lowerBoundComputations();
    const long trees = pointTreeBuilds();
    finishContour(state, dictionary);
    return {lowerBoundComputations() - bounds, pointTreeBuilds() - trees};
}

TEST(LowerBoundUse, ComputedOnlyForTheCodesThatReadIt) {
    for (const BoundUse& use : kBoundUses) {
        EXPECT_EQ(workForContour(use.code, 6).bounds, use.computations) << "code " << use.code;
        // A single point is not ordered, so nothing reads a bound.
        EXPECT_EQ(workForContour(use.code, 1).bounds, 0) << "code " << use.code;
    }
}

TEST(LowerBoundUse, OneContourBuildsAtMostOneTree) {
    // Sizes where the tours, the passes and the windowed search all run.
    for (const BoundUse& use : kBoundUses) {
        if (use.code == kAlgorithmWeightMatrix) continue;  // exhaustive: small sets only
        EXPECT_EQ(workForContour(use.code, 120).trees, use.trees) << "code " << use.code;
    }
    EXPECT_EQ(workForContour(kAlgorithmWeightMatrix, 6).trees, 0);
}

}  // namespace
}  // namespace tw
