// The nearest-neighbour tours' driver, and the reference engine's literal
// selection: a full scan of every point per position.
#include "optimizer/heuristics/nearest_tours.h"

#include <cmath>
#include <vector>

#include "optimizer/engines/engine.h"
#include "optimizer/heuristics/order_trial.h"

namespace tw {
namespace {

// Working state of one tour: the current position, the visited marks and,
// for the directed tour, the previous move.
struct TourWalk {
    double x = 0.0;
    double y = 0.0;
    double moveX = 0.0;
    double moveY = 0.0;
    std::vector<char> visited;
};

// The first unvisited point, or -1. Only a safety net: with coordinates in
// range every distance is below kNoTourDistance, so a scan always finds one.
int firstUnvisited(const TourWalk& walk) {
    for (std::size_t j = 0; j < walk.visited.size(); ++j) {
        if (walk.visited[j] == 0) return static_cast<int>(j);
    }
    return -1;
}

int selectNearest(const PathOptimizer& optimizer, const TourWalk& walk) {
    double best = kNoTourDistance;
    int choice = -1;
    for (int j = 0; j < optimizer.count; ++j) {
        if (walk.visited[j] != 0) continue;
        const OptimizerPoint& point = optimizer.points[j];
        const double distance = planeDistance(point.x, point.y, walk.x, walk.y);
        if (distance < best) {
            best = distance;
            choice = j;
        }
    }
    return choice;
}

int selectDirected(const PathOptimizer& optimizer, const TourWalk& walk) {
    return directedSelection(optimizer, walk.x, walk.y, walk.moveX, walk.moveY,
                             [&walk](int j) { return walk.visited[static_cast<std::size_t>(j)] != 0; });
}

int runTour(PathOptimizer& optimizer, TourKind kind) {
    if (!canReorder(optimizer)) return 0;
    return tryNewOrder(optimizer, KeepWhen::kNotLonger, [&optimizer, kind] {
        buildTour(optimizer, kind, activeEngine());
        return true;
    });
}

}  // namespace

void referenceTour(PathOptimizer& optimizer, TourKind kind) {
    TourWalk walk;
    walk.visited.assign(static_cast<std::size_t>(optimizer.count), 0);
    walk.x = optimizer.startPoint.x;
    walk.y = optimizer.startPoint.y;
    for (int k = 0; k < optimizer.count; ++k) {
        int choice = kind == TourKind::kPlain ? selectNearest(optimizer, walk)
                                              : selectDirected(optimizer, walk);
        if (choice < 0) choice = firstUnvisited(walk);
        if (choice < 0) continue;
        const OptimizerPoint& point = optimizer.points[choice];
        optimizer.order[k] = choice;
        walk.visited[choice] = 1;
        walk.moveX = point.x - walk.x;
        walk.moveY = point.y - walk.y;
        walk.x = point.x;
        walk.y = point.y;
    }
}

int directedNearestTour(PathOptimizer& optimizer) { return runTour(optimizer, TourKind::kDirected); }

int nearestTour(PathOptimizer& optimizer) { return runTour(optimizer, TourKind::kPlain); }

}  // namespace tw
