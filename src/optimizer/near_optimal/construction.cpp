#include "optimizer/near_optimal/construction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace tw::nearopt {
namespace {

constexpr int kCurveBits = 16;
constexpr std::uint32_t kCurveSide = 1u << kCurveBits;

// Distance along the curve of the cell (x, y) of a kCurveSide-square grid.
std::uint64_t curveDistance(std::uint32_t x, std::uint32_t y) {
    std::uint64_t distance = 0;
    for (std::uint32_t s = kCurveSide / 2; s > 0; s /= 2) {
        const std::uint32_t rx = (x & s) != 0 ? 1u : 0u;
        const std::uint32_t ry = (y & s) != 0 ? 1u : 0u;
        distance += static_cast<std::uint64_t>(s) * s * ((3u * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = kCurveSide - 1 - x;
                y = kCurveSide - 1 - y;
            }
            std::swap(x, y);
        }
    }
    return distance;
}

std::uint32_t cell(double value, double low, double span) {
    if (!(span > 0.0)) return 0;
    const double scaled = std::floor((value - low) / span * static_cast<double>(kCurveSide - 1));
    if (!(scaled > 0.0)) return 0;
    if (scaled >= static_cast<double>(kCurveSide - 1)) return kCurveSide - 1;
    return static_cast<std::uint32_t>(scaled);
}

}  // namespace

std::vector<int> hilbertOrder(const NodeSet& nodes, int symmetry) {
    const int count = nodes.startNode;
    std::vector<int> order(static_cast<std::size_t>(count));
    if (count == 0) return order;
    double minX = nodes.x[0], maxX = minX, minY = nodes.y[0], maxY = minY;
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, nodes.x[static_cast<std::size_t>(i)]);
        maxX = std::max(maxX, nodes.x[static_cast<std::size_t>(i)]);
        minY = std::min(minY, nodes.y[static_cast<std::size_t>(i)]);
        maxY = std::max(maxY, nodes.y[static_cast<std::size_t>(i)]);
    }
    // One span for both axes keeps the cells square. Coordinates are within
    // kMaxCoordinate, so the span is finite.
    const double span = std::max(maxX - minX, maxY - minY);
    std::vector<std::pair<std::uint64_t, int>> keyed(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::uint32_t x = cell(nodes.x[static_cast<std::size_t>(i)], minX, span);
        std::uint32_t y = cell(nodes.y[static_cast<std::size_t>(i)], minY, span);
        // Mirroring the cells (not the coordinates) keeps every mirrored
        // curve exact: the same cells, read in another order.
        if ((symmetry & 1) != 0) x = kCurveSide - 1 - x;
        if ((symmetry & 2) != 0) y = kCurveSide - 1 - y;
        if ((symmetry & 4) != 0) std::swap(x, y);
        keyed[static_cast<std::size_t>(i)] = {curveDistance(x, y), i};
    }
    std::sort(keyed.begin(), keyed.end());
    for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = keyed[static_cast<std::size_t>(i)].second;
    return order;
}

}  // namespace tw::nearopt
