// The optimizer's k-d tree against plain scans: its structure, the nearest
// other point and the k nearest per quadrant, ties by index, on spread,
// clustered, gridded (many equal distances) and coinciding points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "optimizer/spatial/point_tree.h"

namespace tw {
namespace {

struct PointSet {
    std::string label;
    std::vector<double> x;
    std::vector<double> y;
};

PointSet makeSet(const std::string& kind, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1000.0);
    PointSet set{kind + "-" + std::to_string(count), {}, {}};
    for (int i = 0; i < count; ++i) {
        double x = 0.0;
        double y = 0.0;
        if (kind == "uniform") {
            x = unit(random);
            y = unit(random);
        } else if (kind == "grid") {  // equal distances everywhere
            x = 10.0 * (i % 7);
            y = 10.0 * (i / 7);
        } else if (kind == "clusters") {  // coinciding points too
            const int cluster = static_cast<int>(random() % 4);
            x = 100.0 * cluster + std::floor(unit(random) / 100.0);
            y = 50.0 * cluster + std::floor(unit(random) / 250.0);
        } else {  // a line: one axis only
            x = 3.0 * (i % 11);
        }
        set.x.push_back(x);
        set.y.push_back(y);
    }
    return set;
}

std::vector<PointSet> pointSets() {
    std::vector<PointSet> sets;
    unsigned seed = 1;
    for (const char* kind : {"uniform", "grid", "clusters", "line"}) {
        for (int count : {0, 1, 2, 3, 9, 17, 200, 1500}) sets.push_back(makeSet(kind, count, seed++));
    }
    return sets;
}

bool inQuadrant(int quadrant, double dx, double dy) {
    switch (quadrant) {
        case 0: return dx >= 0 && dy > 0;
        case 1: return dx < 0 && dy >= 0;
        case 2: return dx <= 0 && dy < 0;
        case 3: return dx > 0 && dy <= 0;
        default: return true;
    }
}

// The `wanted` nearest others of `point` in `quadrant` by a full scan.
std::vector<PointTree::Neighbour> scanNearest(const PointSet& set, int point, int wanted, int quadrant) {
    std::vector<PointTree::Neighbour> all;
    const auto p = static_cast<std::size_t>(point);
    for (std::size_t j = 0; j < set.x.size(); ++j) {
        if (j == p || !inQuadrant(quadrant, set.x[j] - set.x[p], set.y[j] - set.y[p])) continue;
        all.push_back({static_cast<int>(j), exactHypot(set.x[p] - set.x[j], set.y[p] - set.y[j])});
    }
    std::sort(all.begin(), all.end(), [](const PointTree::Neighbour& a, const PointTree::Neighbour& b) {
        return a.distance < b.distance || (a.distance == b.distance && a.point < b.point);
    });
    if (static_cast<int>(all.size()) > wanted) all.resize(static_cast<std::size_t>(wanted));
    return all;
}

PointTree treeOf(const PointSet& set) {
    return PointTree(std::span<const double>(set.x), std::span<const double>(set.y));
}

TEST(PointTree, EveryPointInOneLeafInsideEveryBoxAbove) {
    for (const PointSet& set : pointSets()) {
        const PointTree tree = treeOf(set);
        const int count = static_cast<int>(set.x.size());
        std::vector<int> seen(set.x.size(), 0);
        for (int index = 0; index < tree.nodeCount(); ++index) {
            const PointTree::Node& node = tree.node(index);
            if (!PointTree::isLeaf(node)) {
                ASSERT_EQ(tree.node(node.left).parent, index) << set.label;
                ASSERT_EQ(tree.node(node.right).parent, index) << set.label;
                continue;
            }
            ASSERT_LE(node.end - node.begin, PointTree::kLeafSize) << set.label;
            for (int k = node.begin; k < node.end; ++k) {
                const int point = tree.memberPoint(k);
                ++seen[static_cast<std::size_t>(point)];
                ASSERT_EQ(tree.leafOf(point), index) << set.label;
                ASSERT_EQ(tree.memberX(k), set.x[static_cast<std::size_t>(point)]) << set.label;
                ASSERT_EQ(tree.memberY(k), set.y[static_cast<std::size_t>(point)]) << set.label;
                for (int at = index; at >= 0; at = tree.node(at).parent) {
                    const Box& box = tree.node(at).box;
                    ASSERT_TRUE(box.minX <= tree.memberX(k) && tree.memberX(k) <= box.maxX) << set.label;
                    ASSERT_TRUE(box.minY <= tree.memberY(k) && tree.memberY(k) <= box.maxY) << set.label;
                }
            }
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), count) << set.label;
    }
}

TEST(PointTree, NearestOtherMatchesAScanTiesByIndex) {
    for (const PointSet& set : pointSets()) {
        const PointTree tree = treeOf(set);
        for (int point = 0; point < static_cast<int>(set.x.size()); ++point) {
            const std::vector<PointTree::Neighbour> expected = scanNearest(set, point, 1, PointTree::kAnyQuadrant);
            const PointTree::Neighbour found = tree.nearestOther(point);
            if (expected.empty()) {
                ASSERT_EQ(found.point, -1) << set.label;
                continue;
            }
            ASSERT_EQ(found.point, expected[0].point) << set.label << " point " << point;
            ASSERT_EQ(found.distance, expected[0].distance) << set.label << " point " << point;
        }
    }
}

TEST(PointTree, NearestPerQuadrantMatchesAScanTiesByIndex) {
    std::vector<PointTree::Neighbour> found;
    for (const PointSet& set : pointSets()) {
        if (set.x.size() > 200) continue;  // the scans are quadratic
        const PointTree tree = treeOf(set);
        for (int point = 0; point < static_cast<int>(set.x.size()); ++point) {
            for (int wanted : {0, 1, 3, 5, 40}) {
                for (int quadrant = PointTree::kAnyQuadrant; quadrant < 4; ++quadrant) {
                    tree.nearestOthers(point, wanted, quadrant, found);
                    const std::vector<PointTree::Neighbour> expected = scanNearest(set, point, wanted, quadrant);
                    ASSERT_EQ(found.size(), expected.size()) << set.label << " point " << point;
                    for (std::size_t k = 0; k < found.size(); ++k) {
                        ASSERT_EQ(found[k].point, expected[k].point)
                            << set.label << " point " << point << " quadrant " << quadrant << " rank " << k;
                        ASSERT_EQ(found[k].distance, expected[k].distance) << set.label;
                    }
                }
            }
        }
    }
}

TEST(PointTree, OptimizerPointsGiveTheSameTreeAsTheirCoordinates) {
    const PointSet set = makeSet("clusters", 500, 99);
    std::vector<OptimizerPoint> points(set.x.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].x = set.x[i];
        points[i].y = set.y[i];
    }
    const PointTree fromPoints(points);
    const PointTree fromCoordinates = treeOf(set);
    ASSERT_EQ(fromPoints.nodeCount(), fromCoordinates.nodeCount());
    for (int index = 0; index < fromPoints.nodeCount(); ++index) {
        const PointTree::Node& a = fromPoints.node(index);
        const PointTree::Node& b = fromCoordinates.node(index);
        ASSERT_EQ(a.begin, b.begin);
        ASSERT_EQ(a.end, b.end);
        ASSERT_EQ(a.left, b.left);
        ASSERT_EQ(a.box.minX, b.box.minX);
        ASSERT_EQ(a.box.maxY, b.box.maxY);
    }
    for (int k = 0; k < static_cast<int>(points.size()); ++k) {
        ASSERT_EQ(fromPoints.memberPoint(k), fromCoordinates.memberPoint(k));
    }
}

TEST(PointTree, BoxBoundsNeverExceedAComputedDistance) {
    // The pruning bounds must hold for points on and inside the box edges,
    // at every scale.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double scale : {1e-300, 1e-9, 1.0, 1e6, 1e29}) {
        for (int trial = 0; trial < 2000; ++trial) {
            const Box box{scale * unit(random), scale * unit(random), 0, 0};
            const Box grown{box.minX, box.minY, box.minX + scale * std::abs(unit(random)),
                            box.minY + scale * std::abs(unit(random))};
            const double x = 3 * scale * unit(random);
            const double y = 3 * scale * unit(random);
            const double px = random() % 2 ? grown.minX : grown.maxX;
            const double py = grown.minY + (grown.maxY - grown.minY) * std::abs(unit(random));
            const double distance = planeDistance(x, y, px, py);
            ASSERT_LE(boxDistance(grown, x, y), distance);
            ASSERT_FALSE(boxBeyond(grown, x, y, distance));
            ASSERT_FALSE(boxAtLeast(grown, x, y, std::nextafter(distance, 1e300)));
        }
    }
}

}  // namespace
}  // namespace tw
