// The doubly linked path the improvement moves relink, one node per point.
//
// The path always begins at the start point S, which is not a node: a node
// whose `previous` is null stands right after S. A gap is a place between
// two consecutive path elements, named by its left neighbour (null for S)
// and its right neighbour (null for the end of the path).
//
// All nodes of one call live in one block owned by the PathList; the block
// never grows, so node addresses stay fixed while the moves relink them.
// A node's entry in the block is its slot. By default the node of storage
// index i has slot i; a caller whose searches go by place may lay the block
// out in another order (neighbours in the plane side by side in memory), so
// that a search touches few cache lines. Which slot a node has never decides
// anything: passes name points by storage index.
#pragma once

#include <vector>

#include "optimizer/path_optimizer.h"

namespace tw {

struct PathNode {
    int point = 0;  // storage index of the point
    PathNode* previous = nullptr;
    PathNode* next = nullptr;
};

// A position in the plane: S or a point.
struct Spot {
    double x;
    double y;
};

inline double spotDistance(Spot a, Spot b) { return planeDistance(a.x, a.y, b.x, b.y); }
// Never above spotDistance(a, b); cheap (see hypotLowerBound).
inline double spotDistanceLowerBound(Spot a, Spot b) { return hypotLowerBound(a.x - b.x, a.y - b.y); }

struct Gap {
    PathNode* left;   // null: the gap right after S
    PathNode* right;  // null: the end gap
};

class PathList {
public:
    // One unlinked node per point of `optimizer`, and S = its start point.
    // `layout`, when not empty, gives the storage index of the point in each
    // slot (a permutation of the indices). Throws std::bad_alloc when memory
    // is short. The optimizer must outlive the list and keep its points.
    explicit PathList(const PathOptimizer& optimizer, const std::vector<int>& layout = {});

    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;

    PathNode* head() const { return head_; }
    int size() const { return static_cast<int>(nodes_.size()); }
    PathNode* nodeOf(int point) { return &nodes_[static_cast<std::size_t>(slotOf_[static_cast<std::size_t>(point)])]; }
    PathNode* nodeAt(int slot) { return &nodes_[static_cast<std::size_t>(slot)]; }
    int slotOf(const PathNode* node) const { return static_cast<int>(node - nodes_.data()); }
    // Asks the processor to fetch what a pass will read of `point`'s node.
    void prefetch(int point) const {
        const std::size_t slot = static_cast<std::size_t>(slotOf_[static_cast<std::size_t>(point)]);
        __builtin_prefetch(&nodes_[slot]);
        __builtin_prefetch(&spots_[slot]);
    }
    // The same for the positions of its neighbours in the path; best once
    // the node itself was fetched.
    void prefetchNeighbours(int point) const {
        const PathNode& node = nodes_[static_cast<std::size_t>(slotOf_[static_cast<std::size_t>(point)])];
        if (node.previous != nullptr) __builtin_prefetch(&spots_[static_cast<std::size_t>(slotOf(node.previous))]);
        if (node.next != nullptr) __builtin_prefetch(&spots_[static_cast<std::size_t>(slotOf(node.next))]);
    }

    // Links all nodes in the order of `order` (a permutation of the indices).
    void linkInOrder(const std::vector<int>& order);
    // Makes the node of `point` the whole list.
    void startWith(int point);

    // Where `node` stands: S (null) or a node.
    Spot spotOf(const PathNode* node) const {
        return node == nullptr ? start_ : spots_[static_cast<std::size_t>(slotOf(node))];
    }
    // Distance of two path elements (null standing for S).
    double distance(const PathNode* a, const PathNode* b) const {
        return spotDistance(spotOf(a), spotOf(b));
    }

    // The last node, or null for an empty list.
    PathNode* tail() const;

    // Takes the run first..last (linked forwards) out of the path and
    // returns the gap it leaves.
    Gap detachRun(PathNode* first, PathNode* last);
    // Puts the run first..last (linked forwards, already out of the path)
    // into `gap`.
    void insertRun(PathNode* first, PathNode* last, Gap gap);
    // Reverses the links inside the detached run first..last; afterwards it
    // runs from last to first.
    static void reverseRun(PathNode* first, PathNode* last);
    // Names the node right after S, for a caller that relinks nodes itself
    // (a reversal that turns the links of a run in place).
    void setHead(PathNode* node) { head_ = node; }

    // Writes the storage indices into `order` in path order when the path
    // holds exactly one node per point; otherwise leaves `order` alone and
    // returns false.
    bool writeBack(std::vector<int>& order) const;

private:
    Spot start_;
    // The points' positions by slot, side by side (a point record is much
    // larger): the passes read them in an order that jumps all over the set.
    std::vector<Spot> spots_;
    std::vector<PathNode> nodes_;
    std::vector<int> slotOf_;  // per storage index
    PathNode* head_ = nullptr;
};

// Calls visit(left, u) for the gap before every node u, in path order (left
// is null for the gap right after S), and returns the last node (null for an
// empty path), whose end gap the caller weighs last.
template <class Visit>
PathNode* forEachInnerGap(const PathList& list, Visit&& visit) {
    PathNode* left = nullptr;
    for (PathNode* u = list.head(); u != nullptr; left = u, u = u->next) visit(left, u);
    return left;
}

// Margin a move must gain by (the point relocation pass applies it to the
// total gain of its moves).
inline constexpr double kMoveMargin = 1e-8;

// Cost that stands for "no place found yet".
inline constexpr double kNoCost = 9.9e30;

}  // namespace tw
