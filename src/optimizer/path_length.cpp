// Path length, the lower bound of the path length, the segment window rule
// and the module-wide tuning values.
#include <cmath>

#include "optimizer/engines/engine.h"
#include "optimizer/path_optimizer.h"

namespace tw {
namespace {

// Stands for "no distance yet" in the nearest-neighbour minimum.
constexpr double kNoDistance = 9.9e30;

// Point sets up to this size use the full window.
constexpr int kFullWindowCountLimit = 75;
constexpr int kFullWindow = 20;
// Above it the window is kWindowBudget / count, but never below kMinWindow.
constexpr int kWindowBudget = 1500;
constexpr int kMinWindow = 2;

bool inRange(double value) { return std::fabs(value) <= kMaxCoordinate; }

long lowerBounds = 0;

}  // namespace

int segmentWindow = kFullWindow;
double lengthLowerBound = 0.0;

int windowForCount(int count) {
    if (count <= kFullWindowCountLimit) return kFullWindow;
    const int window = kWindowBudget / count;
    return window < kMinWindow ? kMinWindow : window;
}

void computeLength(PathOptimizer& optimizer) {
    optimizer.length = 0.0;
    optimizer.lengthValid = 1;
    if (optimizer.count <= 0) return;
    const auto& points = optimizer.points;
    double x;
    double y;
    int first;
    if (optimizer.hasStartPoint != 0) {
        x = optimizer.startPoint.x;
        y = optimizer.startPoint.y;
        first = 0;
    } else {
        x = points[optimizer.order[0]].x;
        y = points[optimizer.order[0]].y;
        first = 1;
    }
    double length = 0.0;
    for (int k = first; k < optimizer.count; ++k) {
        const OptimizerPoint& point = points[optimizer.order[k]];
        length += planeDistance(x, y, point.x, point.y);
        x = point.x;
        y = point.y;
    }
    optimizer.length = length;
}

double referenceLowerBound(const PathOptimizer& optimizer) {
    const auto& points = optimizer.points;
    double sum = 0.0;
    double largest = 0.0;
    for (int i = 0; i < optimizer.count; ++i) {
        double nearest = kNoDistance;
        for (int j = 0; j < optimizer.count; ++j) {
            if (j == i) continue;
            const double distance =
                planeDistance(points[i].x, points[i].y, points[j].x, points[j].y);
            if (distance < nearest) nearest = distance;
        }
        sum += nearest;
        if (nearest > largest) largest = nearest;
    }
    return sum - largest;
}

double computeLowerBound(const PathOptimizer& optimizer) {
    ++lowerBounds;
    if (activeEngine() == EngineKind::kFast) return fastLowerBound(optimizer);
    return referenceLowerBound(optimizer);
}

long lowerBoundComputations() { return lowerBounds; }

bool orderableCoordinates(const PathOptimizer& optimizer) {
    for (const OptimizerPoint& point : optimizer.points) {
        if (!inRange(point.x) || !inRange(point.y)) return false;
    }
    if (optimizer.hasStartPoint != 0) {
        if (!inRange(optimizer.startPoint.x) || !inRange(optimizer.startPoint.y)) return false;
    }
    return true;
}

}  // namespace tw
