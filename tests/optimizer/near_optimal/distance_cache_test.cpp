// The near-optimal search's distance cache and its phase hook: a cached
// distance is the computed one bit for bit however the slots collide, and
// the hook sees the phases of a search in order.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "optimizer/near_optimal/distance_cache.h"
#include "optimizer/near_optimal/near_optimal.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/search_effort.h"
#include "optimizer/optimizer_test_support.h"

namespace tw::nearopt {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

NodeSet randomNodes(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    NodeSet nodes;
    for (int i = 0; i < count; ++i) {
        // Mostly a coarse grid (exact ties), some arbitrary values.
        const bool coarse = random() % 4 != 0;
        nodes.x.push_back(coarse ? static_cast<double>(random() % 50) : (random() % 1000000) / 7.0);
        nodes.y.push_back(coarse ? static_cast<double>(random() % 50) : (random() % 1000000) / 3.0);
    }
    nodes.startNode = count - 1;
    nodes.endNode = count;
    return nodes;
}

TEST(NearOptimalDistanceCache, CachedDistancesAreTheComputedOnes) {
    for (const int count : {2, 17, 1500}) {
        NodeSet nodes = randomNodes(count, static_cast<std::uint32_t>(count));
        nodes.cache = DistanceCache(nodes.nodeCount());
        std::mt19937 random(7);
        // Far more pairs than slots: every slot is taken over again and again.
        for (int k = 0; k < 20000; ++k) {
            const int a = static_cast<int>(random() % static_cast<unsigned>(nodes.nodeCount()));
            const int b = static_cast<int>(random() % static_cast<unsigned>(nodes.nodeCount()));
            const double expected = a == nodes.endNode || b == nodes.endNode ? 0.0 : nodes.computedDistance(a, b);
            ASSERT_TRUE(sameBits(nodes.distance(a, b), expected)) << count << ": " << a << "-" << b;
            ASSERT_TRUE(sameBits(nodes.distance(b, a), expected)) << "either way round";
            ASSERT_TRUE(sameBits(nodes.distance(a, b), expected)) << "again, from the cache";
        }
    }
}

TEST(NearOptimalDistanceCache, OneSlotPerPairKeepsTheLatest) {
    DistanceCache cache(4);
    int computed = 0;
    auto compute = [&](int a, int b) {
        ++computed;
        return static_cast<double>(a * 1000 + b);
    };
    EXPECT_EQ(cache.get(3, 5, compute), 3005.0);
    EXPECT_EQ(cache.get(5, 3, compute), 3005.0) << "pairs are unordered";
    EXPECT_EQ(computed, 1) << "the second look-up is a hit";
    // Find a pair that shares the slot of (3, 5): it replaces it.
    int b = 6;
    for (;; ++b) {
        // (3, 5) is cached here: (0, b) is always computed, and (3, 5) again
        // only when (0, b) took its slot.
        const int before = computed;
        cache.get(0, b, compute);
        cache.get(3, 5, compute);
        if (computed == before + 2) break;
        ASSERT_LT(b, 100000) << "no collision found";
    }
    const int before = computed;
    EXPECT_EQ(cache.get(0, b, compute), static_cast<double>(b));
    EXPECT_EQ(computed, before + 1) << "(3, 5) holds the slot again";
}

std::vector<Phase> seenPhases;
void recordPhase(Phase phase) { seenPhases.push_back(phase); }

TEST(NearOptimalPhases, HookSeesSetUpThenEachAttemptsSearchAndKicks) {
    searchEffort = kMinSearchEffort;
    phaseHook = recordPhase;
    const std::vector<test::XY> points = test::seededPoints(test::Shape::kUniform, 40, 3);
    test::OptimizerHandle optimizer = test::makeOptimizer(points, test::XY{0, 0});
    seenPhases.clear();
    nearOptimalPath(*optimizer);
    std::vector<Phase> expected{Phase::kSetUp};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        expected.push_back(Phase::kLocalSearch);
        expected.push_back(Phase::kKicks);
    }
    expected.push_back(Phase::kKicks);  // the chosen attempt goes on
    EXPECT_EQ(seenPhases, expected);

    // One position: nothing to search, no phases.
    test::OptimizerHandle single = test::makeOptimizer({{1, 1}, {1, 1}}, test::XY{0, 0});
    seenPhases.clear();
    nearOptimalPath(*single);
    EXPECT_TRUE(seenPhases.empty());
    phaseHook = nullptr;
    searchEffort = kDefaultSearchEffort;
}

}  // namespace
}  // namespace tw::nearopt
