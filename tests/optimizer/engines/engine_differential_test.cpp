// The fast engine's path passes against the reference engine's, pass by
// pass: both engines are built from the same optimizer and start order, get
// the same sequence of passes, and after every pass must return the same
// value and hold the same path.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "optimizer/engines/engine_differential_support.h"

namespace tw {
namespace {

using test::GeneratedSet;
using test::SetSpec;
using test::StartOrder;

enum class Pass { kTwoExchange, kPoints, kTriples, kSegments };

struct Step {
    Pass pass;
    int length;  // segment length, for kSegments
};

std::string stepName(const Step& step) {
    switch (step.pass) {
        case Pass::kTwoExchange: return "twoExchangePass";
        case Pass::kPoints: return "relocatePointsPass";
        case Pass::kTriples: return "relocateTriplesPass";
        case Pass::kSegments: return "relocateSegmentsPass(" + std::to_string(step.length) + ")";
    }
    return "?";
}

int runStep(PathEngine& engine, const Step& step) {
    switch (step.pass) {
        case Pass::kTwoExchange: return engine.twoExchangePass();
        case Pass::kPoints: return engine.relocatePointsPass();
        case Pass::kTriples: return engine.relocateTriplesPass();
        case Pass::kSegments: return engine.relocateSegmentsPass(step.length);
    }
    return -1;
}

// The longest segment the passes are ever asked to move.
constexpr int kLongestSegment = 20;

// One improvement round with every segment length from kLongestSegment
// down to 2 (longer than the path included), as the insertion tours run it.
std::vector<Step> fullRound() {
    std::vector<Step> steps;
    for (int k = kLongestSegment; k >= 2; --k) steps.push_back({Pass::kSegments, k});
    steps.push_back({Pass::kTriples, 0});
    steps.push_back({Pass::kTwoExchange, 0});
    steps.push_back({Pass::kTriples, 0});
    steps.push_back({Pass::kPoints, 0});
    return steps;
}

// A cheaper round for large paths: a short, a middle and the longest
// segment length and every other pass.
std::vector<Step> sampledRound(std::mt19937_64& random) {
    return {{Pass::kSegments, kLongestSegment},
            {Pass::kSegments, 3 + static_cast<int>(random() % 17)},
            {Pass::kSegments, 2},
            {Pass::kTriples, 0},
            {Pass::kTwoExchange, 0},
            {Pass::kPoints, 0}};
}

std::vector<Step> randomSteps(std::mt19937_64& random, int count) {
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        const int pick = static_cast<int>(random() % 4);
        steps.push_back({static_cast<Pass>(pick), 2 + static_cast<int>(random() % (kLongestSegment - 1))});
    }
    return steps;
}

// The two engines over one optimizer.
class EnginePair {
public:
    explicit EnginePair(const PathOptimizer& optimizer)
        : reference_(makeReferencePathEngine(optimizer)), fast_(makeFastPathEngine(optimizer)) {}

    // The paths as orders; an engine whose path lost nodes gives an empty
    // order, which never matches a whole one.
    ::testing::AssertionResult samePaths(const std::string& after) const {
        std::vector<int> reference(static_cast<std::size_t>(reference_->path().size()), -1);
        std::vector<int> fast(reference.size(), -1);
        if (!reference_->path().writeBack(reference)) reference.clear();
        if (!fast_->path().writeBack(fast)) fast.clear();
        if (reference.empty()) return ::testing::AssertionFailure() << "reference path broken after " << after;
        return test::sameOrder(("path after " + after).c_str(), reference, fast);
    }

    ::testing::AssertionResult build(bool insert, const std::vector<int>& order) {
        if (insert) {
            reference_->insertAll(order);
            fast_->insertAll(order);
        } else {
            reference_->linkInOrder(order);
            fast_->linkInOrder(order);
        }
        return samePaths(insert ? "insertAll" : "linkInOrder");
    }

    // Runs the steps on both; fails at the first differing result or path.
    // `changed` tells whether any step reported a change.
    ::testing::AssertionResult run(const std::vector<Step>& steps, bool& changed) {
        changed = false;
        for (std::size_t s = 0; s < steps.size(); ++s) {
            const int expected = runStep(*reference_, steps[s]);
            const int got = runStep(*fast_, steps[s]);
            const std::string after = stepName(steps[s]) + " (step " + std::to_string(s) + ")";
            if (expected != got) {
                return ::testing::AssertionFailure()
                       << after << " returned " << got << ", reference " << expected;
            }
            if (auto same = samePaths(after); !same) return same;
            changed = changed || expected != 0;
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::unique_ptr<PathEngine> reference_;
    std::unique_ptr<PathEngine> fast_;
};

enum class Schedule { kFullRounds, kSampledRounds, kRandomPasses };

struct PassCase {
    SetSpec spec;
    StartOrder startOrder;
    bool insert;  // build by insertAll (else linkInOrder)
    Schedule schedule;
    int rounds;   // round limit (steps, for kRandomPasses)
};

std::string describe(const PassCase& c) {
    static const char* const orders[] = {"identity", "shuffled", "reversed"};
    static const char* const schedules[] = {"full rounds", "sampled rounds", "random passes"};
    return test::describe(c.spec) + " order=" + orders[static_cast<int>(c.startOrder)] +
           (c.insert ? " insertAll" : " linkInOrder") + " " + schedules[static_cast<int>(c.schedule)];
}

::testing::AssertionResult runCase(const PassCase& c) {
    const GeneratedSet set = test::generateSet(c.spec);
    test::OptimizerHandle optimizer = test::makeOptimizer(set);
    if (optimizer->count == 0) return ::testing::AssertionSuccess();
    EnginePair engines(*optimizer);
    if (auto built = engines.build(c.insert, test::startOrder(c.startOrder, optimizer->count, c.spec.seed));
        !built) {
        return built;
    }
    std::mt19937_64 random(c.spec.seed);
    bool changed = false;
    if (c.schedule == Schedule::kRandomPasses) return engines.run(randomSteps(random, c.rounds), changed);
    // Rounds until one changes nothing, as the drivers repeat them.
    for (int round = 0; round < c.rounds; ++round) {
        const std::vector<Step> steps = c.schedule == Schedule::kFullRounds ? fullRound() : sampledRound(random);
        if (auto same = engines.run(steps, changed); !same) return same;
        if (!changed) break;
    }
    return ::testing::AssertionSuccess();
}

// Cases of one size band: the mix of set kinds and starts of mixedSpecs,
// with the build and start order varying by seed.
std::vector<PassCase> casesFor(const std::vector<int>& sizes, int perSize, std::uint32_t firstSeed,
                               Schedule schedule, int rounds, bool alwaysInsert = false) {
    std::vector<PassCase> cases;
    for (const SetSpec& spec : test::mixedSpecs(sizes, perSize, firstSeed)) {
        const auto order = static_cast<StartOrder>((spec.seed / 27) % 3);
        const bool insert = alwaysInsert || (spec.seed / 81) % 2 == 0;
        cases.push_back({spec, order, insert, schedule, rounds});
    }
    return cases;
}

void runAll(const std::vector<PassCase>& cases) {
    for (const PassCase& c : cases) {
        const ::testing::AssertionResult result = runCase(c);
        ASSERT_TRUE(result) << describe(c);
    }
}

TEST(EngineDifferentialPasses, SmallPathsEverySegmentLengthUntilStable) {
    const std::vector<int> sizes = test::kFullCaseCounts
                                       ? std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 16, 19, 21, 24, 32, 40, 48, 64}
                                       : std::vector<int>{1, 2, 3, 4, 5, 6, 8, 11, 16, 21, 32};
    runAll(casesFor(sizes, test::scaledCount(54, 5), 1000, Schedule::kFullRounds, 8));
}

TEST(EngineDifferentialPasses, SmallPathsRandomPassSequences) {
    const std::vector<int> sizes = {5, 6, 8, 10, 14, 20, 30, 50};
    runAll(casesFor(sizes, test::scaledCount(54, 6), 5000, Schedule::kRandomPasses, 40));
}

TEST(EngineDifferentialPasses, MediumPathsEverySegmentLength) {
    const std::vector<int> sizes = test::kFullCaseCounts ? std::vector<int>{100, 200} : std::vector<int>{100};
    runAll(casesFor(sizes, test::scaledCount(9, 2), 9000, Schedule::kFullRounds, 2));
}

TEST(EngineDifferentialPasses, LargePathsSampledSegmentLengths) {
    const std::vector<int> sizes =
        test::kFullCaseCounts ? std::vector<int>{1000, 2000} : std::vector<int>{300};
    // Built by insertion: a scrambled path of thousands of points would keep
    // the two-exchange pass busy for minutes in the reference engine.
    runAll(casesFor(sizes, 1, 12006, Schedule::kSampledRounds, 1, true));
}

// A large path, where a two-exchange reverses runs of thousands of nodes: a
// nearest-neighbour tour (which leaves long crossings behind) through one
// two-exchange pass. Only the optimised build: the reference engine's full
// scans take most of a minute here.
TEST(EngineDifferentialPasses, LargeSetsLongReversals) {
    if (!test::kFullCaseCounts) GTEST_SKIP() << "optimised builds only";
    const SetSpec specs[] = {
        {test::SetKind::kUniformDecimals, 20000, 61001, test::StartKind::kOutside},
        {test::SetKind::kClusters, 24000, 61002, test::StartKind::kInside},
    };
    const std::vector<Step> steps = {{Pass::kTwoExchange, 0}};
    for (const SetSpec& spec : specs) {
        const GeneratedSet set = test::generateSet(spec);
        const test::CodeRun tour = test::runCode(set, test::identity(spec.count), 2, EngineKind::kFast);
        test::OptimizerHandle optimizer = test::makeOptimizer(set);
        EnginePair engines(*optimizer);
        ASSERT_TRUE(engines.build(false, tour.order)) << test::describe(spec);
        bool changed = false;
        ASSERT_TRUE(engines.run(steps, changed)) << test::describe(spec);
        EXPECT_TRUE(changed) << test::describe(spec);
    }
}

}  // namespace
}  // namespace tw
