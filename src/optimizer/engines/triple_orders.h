// The six orders in which the triple relocation puts three consecutive
// points back, with their inner lengths and the cheapest order for a gap;
// shared by both engines so that they weigh a gap with the same operations.
#pragma once

#include <array>

#include "optimizer/engines/path_list.h"

namespace tw {

// One of the six orders of a triple A, B, C: indices into {A, B, C}.
struct TripleOrder {
    int first;
    int middle;
    int last;
};

// In this sequence; a lower number wins a tie.
inline constexpr std::array<TripleOrder, 6> kTripleOrders{{
    {0, 1, 2},  // A B C: the order the triple had
    {0, 2, 1},  // A C B
    {1, 0, 2},  // B A C
    {1, 2, 0},  // B C A
    {2, 0, 1},  // C A B
    {2, 1, 0},  // C B A
}};

inline constexpr int kFormerOrder = 0;

// The end nodes and inner length of every order of one triple.
struct TripleShapes {
    std::array<PathNode*, 3> nodes;
    std::array<Spot, 3> spots;
    std::array<double, 6> inner;
    // The distance between two of A, B, C (0 for the same one); a distance
    // does not depend on the direction it is taken in.
    std::array<std::array<double, 3>, 3> apart;
};

inline TripleShapes shapeTriple(const PathList& list, PathNode* a, PathNode* b, PathNode* c) {
    TripleShapes shapes{{a, b, c}, {list.spotOf(a), list.spotOf(b), list.spotOf(c)}, {}, {}};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = i + 1; j < 3; ++j) {
            shapes.apart[i][j] = shapes.apart[j][i] = spotDistance(shapes.spots[i], shapes.spots[j]);
        }
    }
    for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
        const TripleOrder& order = kTripleOrders[r];
        const auto first = static_cast<std::size_t>(order.first);
        const auto middle = static_cast<std::size_t>(order.middle);
        const auto last = static_cast<std::size_t>(order.last);
        shapes.inner[r] = shapes.apart[first][middle] + shapes.apart[middle][last];
    }
    return shapes;
}

struct LeastOrder {
    int order;
    double cost;
};

// The cheapest order for the gap between `q` and `u` (u null: end gap),
// compared strictly in sequence; `closed` is the length of the edge q-u
// (unused for the end gap). Each distance to the gap is taken once, by
// `distance`, and used by the two orders that need it.
template <class Distance>
LeastOrder leastOrderBy(const TripleShapes& shapes, Spot q, const Spot* u, double closed, Distance&& distance) {
    std::array<double, 3> fromQ{};
    std::array<double, 3> toU{};
    for (std::size_t k = 0; k < 3; ++k) {
        fromQ[k] = distance(q, shapes.spots[k]);
        if (u != nullptr) toU[k] = distance(shapes.spots[k], *u);
    }
    LeastOrder least{-1, 0.0};
    for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
        const TripleOrder& order = kTripleOrders[r];
        double cost = fromQ[static_cast<std::size_t>(order.first)] + shapes.inner[r];
        if (u != nullptr) cost = cost + toU[static_cast<std::size_t>(order.last)] - closed;
        if (least.order < 0 || cost < least.cost) least = LeastOrder{static_cast<int>(r), cost};
    }
    return least;
}

inline LeastOrder leastOrder(const TripleShapes& shapes, Spot q, const Spot* u, double closed) {
    return leastOrderBy(shapes, q, u, closed, spotDistance);
}

// The same sums from lower bounds of the distances: the cost it gives is
// never above leastOrder's (rounding is monotonic), though its order may
// differ.
inline LeastOrder leastOrderLowerBound(const TripleShapes& shapes, Spot q, const Spot* u, double closed) {
    return leastOrderBy(shapes, q, u, closed, spotDistanceLowerBound);
}

inline LeastOrder leastOrder(const TripleShapes& shapes, Spot q, const Spot* u) {
    return leastOrder(shapes, q, u, u != nullptr ? spotDistance(q, *u) : 0.0);
}

// Links the detached triple in order `r` and returns its ends.
inline std::array<PathNode*, 2> linkTriple(const TripleShapes& shapes, int r) {
    const TripleOrder& order = kTripleOrders[static_cast<std::size_t>(r)];
    PathNode* first = shapes.nodes[static_cast<std::size_t>(order.first)];
    PathNode* middle = shapes.nodes[static_cast<std::size_t>(order.middle)];
    PathNode* last = shapes.nodes[static_cast<std::size_t>(order.last)];
    first->previous = nullptr;
    first->next = middle;
    middle->previous = first;
    middle->next = last;
    last->previous = middle;
    last->next = nullptr;
    return {first, last};
}

}  // namespace tw
