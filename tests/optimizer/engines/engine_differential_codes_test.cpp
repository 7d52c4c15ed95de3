// Every algorithm code through the optimize operation under each engine:
// the same order, the same lower bound, the same stored and final length
// bits and the same banners. The weight-matrix search (code 6) does not use
// the engines and is left out.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "optimizer/engines/engine_differential_support.h"
#include "optimizer/optimize_codes.h"

namespace tw {
namespace {

using test::CodeRun;
using test::GeneratedSet;
using test::SetSpec;
using test::StartOrder;

// 0 and 9 have no entry of their own and run the default insertion tour.
constexpr int kCodes[] = {1, 2, 3, 4, 5, 7, 8, 101, 102, 103, 104, 0, 9};

::testing::AssertionResult compareCode(const GeneratedSet& set, const std::vector<int>& order, int code,
                                       bool withStart = true, bool compareBound = true) {
    const CodeRun reference = test::runCode(set, order, code, EngineKind::kReference, withStart);
    const CodeRun fast = test::runCode(set, order, code, EngineKind::kFast, withStart);
    return test::sameRun(reference, fast, compareBound);
}

void compareCodes(const std::vector<SetSpec>& specs, const std::vector<int>& codes) {
    for (const SetSpec& spec : specs) {
        const GeneratedSet set = test::generateSet(spec);
        // The module always starts from the order as read; a scrambled start
        // changes the insertion sequence.
        const auto kind = (spec.seed / 27) % 2 == 0 ? StartOrder::kIdentity : StartOrder::kShuffled;
        const std::vector<int> order = test::startOrder(kind, spec.count, spec.seed);
        for (int code : codes) {
            ASSERT_TRUE(compareCode(set, order, code))
                << "code " << code << ", " << test::describe(spec)
                << (kind == StartOrder::kShuffled ? " shuffled" : "");
        }
    }
}

const std::vector<int> kAllCodes(std::begin(kCodes), std::end(kCodes));
// The codes apart from extendedA's (7, 101), which repeat whole insertion
// tours per segment window and cost the most, and apart from the codes that
// only run the default insertion tour under another number.
const std::vector<int> kCheaperCodes = {1, 2, 3, 4, 8, 102, 103, 104};

TEST(EngineDifferentialCodes, EveryCodeOnTinySets) {
    const std::vector<int> sizes = {1, 2, 3, 4, 5, 6, 7, 8, 10, 12};
    compareCodes(test::mixedSpecs(sizes, test::scaledCount(27, 3), 20000), kAllCodes);
}

TEST(EngineDifferentialCodes, EveryCodeOnSmallSets) {
    const std::vector<int> sizes = test::kFullCaseCounts ? std::vector<int>{16, 24, 32} : std::vector<int>{16};
    compareCodes(test::mixedSpecs(sizes, test::scaledCount(9, 2), 21000), kAllCodes);
}

TEST(EngineDifferentialCodes, ExtendedSearchAroundTheWindowChange) {
    // 75 and 76 points straddle the change of the segment window (20, 19).
    compareCodes(test::mixedSpecs({test::kFullCaseCounts ? 48 : 24}, test::scaledCount(2, 1), 22000), {7, 101});
    if (test::kFullCaseCounts) compareCodes(test::mixedSpecs({75, 76}, 1, 22100), {7, 101});
}

TEST(EngineDifferentialCodes, OtherCodesOnMediumSets) {
    const std::vector<int> sizes = test::kFullCaseCounts ? std::vector<int>{75, 76, 120} : std::vector<int>{76};
    compareCodes(test::mixedSpecs(sizes, test::scaledCount(6, 1), 30000), kCheaperCodes);
}

TEST(EngineDifferentialCodes, ToursAndCrossingRemovalOnLargerSets) {
    const std::vector<int> sizes = test::kFullCaseCounts ? std::vector<int>{500, 1000} : std::vector<int>{300};
    compareCodes(test::mixedSpecs(sizes, test::scaledCount(3, 1), 40000), {2, 3, 103});
}

// Sets the heuristics refuse (coordinates out of range or not finite, no
// start point) leave the order alone under both engines.
TEST(EngineDifferentialCodes, RefusedSetsStayAsTheyAre) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double badValues[] = {nan, inf, -inf, 2e30, std::nextafter(1e30, 2e30)};
    for (double bad : badValues) {
        GeneratedSet set = test::generateSet({test::SetKind::kGrid, 12, 7, test::StartKind::kInside});
        GeneratedSet badStart = set;
        set.points[5].y = bad;
        badStart.start.x = bad;
        const std::vector<int> order = test::startOrder(StartOrder::kShuffled, 12, 7);
        for (int code : kCodes) {
            EXPECT_TRUE(compareCode(set, order, code, true, false)) << "code " << code << ", point coordinate " << bad;
            EXPECT_TRUE(compareCode(badStart, order, code)) << "code " << code << ", start " << bad;
        }
    }
    const GeneratedSet set = test::generateSet({test::SetKind::kUniformDecimals, 12, 8, test::StartKind::kInside});
    for (int code : kCodes) {
        EXPECT_TRUE(compareCode(set, test::identity(12), code, false)) << "code " << code << " without start";
    }
}

}  // namespace
}  // namespace tw
