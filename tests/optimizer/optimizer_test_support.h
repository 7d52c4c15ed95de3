// Helpers shared by the optimizer tests: building point sets, reading the
// order, and seeded point generators.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "optimizer/path_optimizer.h"

namespace tw::test {

struct XY {
    double x;
    double y;
};

// Owns an optimizer made through the class record and destroys it.
struct OptimizerDeleter {
    void operator()(PathOptimizer* optimizer) const { optimizerDestroy(optimizer); }
};
using OptimizerHandle = std::unique_ptr<PathOptimizer, OptimizerDeleter>;

inline OptimizerHandle makeOptimizer(const std::vector<XY>& points) {
    OptimizerHandle optimizer(optimizerCreate(&StandardPathOptimizer, "test"));
    for (const XY& p : points) optimizerAddPoint(optimizer.get(), nullptr, p.x, p.y, 0, 0, 0);
    return optimizer;
}

inline OptimizerHandle makeOptimizer(const std::vector<XY>& points, XY start) {
    OptimizerHandle optimizer = makeOptimizer(points);
    optimizerSetStartPoint(optimizer.get(), nullptr, start.x, start.y, 0);
    return optimizer;
}

inline std::vector<int> identity(int count) {
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) order[static_cast<std::size_t>(k)] = k;
    return order;
}

inline bool isPermutation(const std::vector<int>& order, int count) {
    if (static_cast<int>(order.size()) != count) return false;
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    return sorted == identity(count);
}

// Path length summed independently of the code under test.
inline double pathLength(const PathOptimizer& optimizer, const std::vector<int>& order) {
    double length = 0.0;
    double x = optimizer.startPoint.x;
    double y = optimizer.startPoint.y;
    for (int index : order) {
        const OptimizerPoint& p = optimizer.points[static_cast<std::size_t>(index)];
        length += exactHypot(p.x - x, p.y - y);
        x = p.x;
        y = p.y;
    }
    return length;
}

// Kinds of seeded point sets for the property tests.
enum class Shape { kUniform, kGrid, kDuplicates, kCollinear, kClustered };

inline std::vector<XY> seededPoints(Shape shape, int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 100.0);
    std::uniform_int_distribution<int> cell(0, 6);
    std::vector<XY> points;
    for (int i = 0; i < count; ++i) {
        switch (shape) {
            case Shape::kUniform:
                points.push_back({unit(random), unit(random)});
                break;
            case Shape::kGrid:  // many exact ties
                points.push_back({10.0 * cell(random), 10.0 * cell(random)});
                break;
            case Shape::kDuplicates:
                if (i > 0 && random() % 3 == 0) {
                    points.push_back(points[random() % points.size()]);
                } else {
                    points.push_back({unit(random), unit(random)});
                }
                break;
            case Shape::kCollinear:
                points.push_back({unit(random), 0.5 * 7.0});
                break;
            case Shape::kClustered: {
                const double cx = 50.0 * (i % 3);
                points.push_back({cx + unit(random) / 50.0, cx + unit(random) / 50.0});
                break;
            }
        }
    }
    return points;
}

}  // namespace tw::test
