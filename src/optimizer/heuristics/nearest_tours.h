// Greedy tours that rebuild the whole order from the start point.
#pragma once

#include <cmath>

#include "optimizer/path_optimizer.h"

namespace tw {

// Walks from the start point to the nearest unvisited point each time; of
// candidates within kDirectedTieTolerance of the best distance it prefers
// the one that continues the previous move most nearly straight on.
// Returns 1 when the new order was kept (not longer than the old one), 0
// when the order is unchanged (longer result, no start point, no points,
// coordinates out of range, no memory).
int directedNearestTour(PathOptimizer& optimizer);

// Walks from the start point to the strictly nearest unvisited point each
// time (lowest storage index among equals). Results as above.
int nearestTour(PathOptimizer& optimizer);

// Distances closer than this to the best one count as a tie in the directed
// tour.
inline constexpr double kDirectedTieTolerance = 0.001;

// Best distance before any candidate was seen.
inline constexpr double kNoTourDistance = 9.9e30;

// The directed tour's literal selection from (x, y) after the move (moveX,
// moveY): every point not `visited`, in storage order. The best distance
// stays at the last candidate that won by distance, so a near-tie winner
// never lowers the bar for later candidates. -1 when every point is visited.
template <class Visited>
int directedSelection(const PathOptimizer& optimizer, double x, double y, double moveX, double moveY,
                      Visited&& visited) {
    double best = kNoTourDistance;
    double bestAlignment = 0.0;
    int choice = -1;
    for (int j = 0; j < optimizer.count; ++j) {
        if (visited(j)) continue;
        const OptimizerPoint& point = optimizer.points[static_cast<std::size_t>(j)];
        const double vx = point.x - x;
        const double vy = point.y - y;
        const double distance = exactHypot(vx, vy);
        const double alignment = vx * moveX + vy * moveY;
        if (std::fabs(distance - best) < kDirectedTieTolerance) {
            if (choice >= 0 && alignment > bestAlignment) {
                choice = j;
                bestAlignment = alignment;
            }
        } else if (distance < best) {
            choice = j;
            bestAlignment = alignment;
            best = distance;
        }
    }
    return choice;
}

}  // namespace tw
