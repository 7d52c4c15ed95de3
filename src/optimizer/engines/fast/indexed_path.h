// The fast engine's path: the PathList nodes, plus what lets a pass find its
// candidates without walking the whole path: positions that compare in
// constant time, the path's last node, and a spatial index that knows the
// longest path edge at every point.
//
// Positions are 64-bit labels that increase along the path (S stands before
// every label, the end after). Relinking keeps them increasing: a moved run
// takes labels from the room between its new neighbours, and where that room
// is used up a window around it is spaced out again. A reversal hands the
// run's own labels back in reverse order.
//
// Every relinking goes through this class, so that labels, edge lengths and
// the last node stay current. It also stamps every node whose links or whose
// place in the path it changes with the number of that relinking, so that a
// pass can tell what changed since an earlier moment: a node stamped no
// later than then still has the same neighbours, and two such nodes still
// stand in the same order. A second stamp counts only changes of a node's
// pair of neighbours, which a reversal leaves alone inside the run.
//
// A stretch of work that may turn long runs (the two-exchange pass) runs
// between beginTurns and endTurns. From its first turn on the order lives in
// a two-level list (SegmentOrder), where turning a run costs O(sqrt(n)) and
// not its length, and the nodes' own links and labels are stale: read
// neighbours and positions through head, next, previous and position, never
// through the nodes. A segment turned as a block records its turn once
// instead of stamping its points; a search for what changed since a moment
// before such a turn weighs every node. endTurns writes links, labels and
// stamps back.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "optimizer/engines/fast/segment_order.h"
#include "optimizer/engines/path_list.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {

class IndexedPath {
public:
    // Throws std::bad_alloc when memory is short. The list and the optimizer
    // must outlive the index.
    IndexedPath(PathList& list, const PathOptimizer& optimizer);

    PathList& list() { return list_; }
    const PathList& list() const { return list_; }
    PathNode* tail() const { return tail_; }
    PathNode* head() const { return turning_ ? nodeOrNull(turns_.first()) : list_.head(); }
    PathNode* next(const PathNode* node) const { return turning_ ? nodeOrNull(turns_.next(slotOf(node))) : node->next; }
    PathNode* previous(const PathNode* node) const {
        return turning_ ? nodeOrNull(turns_.previous(slotOf(node))) : node->previous;
    }

    // The stretch in which reverseRun turns long runs in O(sqrt(n)); only
    // reverseRun may relink the path in between.
    void beginTurns();
    void endTurns();
    // Called before a search for what changed since `since` in the stretch.
    // A block turn after `since` makes such a search weigh every node; once
    // those whole searches have cost about what writing the turns back into
    // the points' stamps costs (a walk over the path), the turns are written
    // back, and searches prune by change again. Positions keep their order
    // but not their values: read none across this call.
    void beforeSearchSince(std::uint64_t since);

    void linkInOrder(const std::vector<int>& order);
    void startWith(int point);
    // As PathList::detachRun and insertRun (the run linked forwards). The
    // nodes a detachment relinks are stamped by the insertion that follows.
    Gap detachRun(PathNode* first, PathNode* last);
    void insertRun(PathNode* first, PathNode* last, Gap gap);
    // Puts the run just detached back into the gap it left, linked as it
    // was: the path is as before, so nothing is stamped.
    void restoreRun(PathNode* first, PathNode* last, Gap former);
    // Reverses the run b..c in place: a b .. c d becomes a c .. b d.
    void reverseRun(PathNode* b, PathNode* c);

    // The length of the edge from `node` (in the path) to its next node and
    // from its previous node to it, as list().distance computes them; only
    // for a node that has that neighbour.
    double edgeAfter(const PathNode* node) const {
        const PointState& state = state_[index(node)];
        return flipped(node) ? state.before : state.after;
    }
    double edgeBefore(const PathNode* node) const {
        const PointState& state = state_[index(node)];
        return flipped(node) ? state.after : state.before;
    }

    // The longest edge of the path (0 for a single node, -1 for none).
    double longestEdge() const { return nodeLongest_.empty() ? -1.0 : nodeLongest_[0]; }
    // The longer edge at `node` (-1 off the path).
    double longestAt(const PathNode* node) const {
        return members_[static_cast<std::size_t>(memberAt_[index(node)])].longest;
    }
    const PointTree& tree() const { return tree_; }
    // Asks the processor to fetch what a pass going through the storage
    // indices will read of `point`.
    void prefetch(int point) const {
        list_.prefetch(point);
        __builtin_prefetch(&state_[static_cast<std::size_t>(list_.slotOf(list_.nodeOf(point)))]);
    }

    // While noting is on, every node whose pair of neighbours a relinking
    // changes is also written down here (perhaps more than once), for the
    // caller to take and clear.
    void noteRelinks() { noting_ = true; }
    std::vector<int>& relinkNotes() { return relinkNotes_; }

    // What a change stamp counts: any change of a node's links or of its
    // place in the path, or only a change of its pair of neighbours.
    enum class Change { kAny, kNeighbours };

    // The number of the latest relinking (0 before any), and the number of
    // the latest relinking that changed `node` in the given way.
    std::uint64_t clock() const { return clock_; }
    std::uint64_t changedAt(const PathNode* node, Change change = Change::kAny) const {
        const std::uint64_t own = pointStamp(change, index(node));
        return turning_ && change == Change::kAny ? std::max(own, turns_.turnedAt(slotOf(node))) : own;
    }

    // Path order of two nodes in the path, in constant time.
    std::uint64_t position(const PathNode* node) const {
        return turning_ ? turns_.position(slotOf(node)) : state_[index(node)].label;
    }

    // Calls visit(x, spot of x) for every path node x changed in the given
    // way after relinking `since` (0: every node) with d(p, x) <= reach(longest
    // edge at x), p the spot of `around` (a node of the list, in the path or
    // not); it may call it for more. `reach` must not decrease as its argument
    // grows, and may change between calls as a threshold shrinks.
    //
    // The search starts at the leaf of `around` and climbs, weighing the
    // other side of each node it passes. It stops climbing once every side
    // of the box it came from lies beyond the reach of the path's longest
    // edge: no point outside the box can then be near enough. A search near
    // a point thus costs about the depth at which its reach fits.
    template <class Reach, class Visit>
    void forNodesChangedWithin(const PathNode* around, std::uint64_t since, Change change, Reach&& reach,
                               Visit&& visit);

    // Starts a new search for firstVisit.
    void newSearch();
    // True the first time in a search a gap with this right node is named.
    bool firstVisit(const PathNode* right);

private:
    static constexpr std::uint64_t kLastLabel = ~std::uint64_t{0};
    // Median splits halve every level, so no tree over int-many points is
    // deeper than this.
    static constexpr std::size_t kMaxTreeDepth = 40;

    // What the index keeps per node it keeps by the node's slot (the turns
    // too), so that a search over neighbours in the plane reads neighbouring
    // memory when the list is laid out by place.
    int slotOf(const PathNode* node) const { return list_.slotOf(node); }
    std::size_t index(const PathNode* node) const { return static_cast<std::size_t>(slotOf(node)); }
    PathNode* nodeOrNull(int slot) const { return slot < 0 ? nullptr : list_.nodeAt(slot); }
    // The node of the tree's k-th member.
    PathNode* memberNode(int k) const {
        return membersInPlace_ ? list_.nodeAt(k) : list_.nodeOf(tree_.memberPoint(k));
    }
    // While turning: the node's cached edges are stored the other way round.
    bool flipped(const PathNode* node) const { return turning_ && turns_.flipped(slotOf(node)); }
    void reverseTurning(PathNode* b, PathNode* c);
    // After a turn of b..c (now c..b) between `before` and `after`.
    void finishTurn(PathNode* before, PathNode* b, PathNode* c, PathNode* after, std::uint64_t now);
    void layOutTurns();
    // Takes the segments' flipped sides and block turns into the points'
    // own records and the tree's stamps.
    void settleTurns();
    // What a search reads per point, in the tree's member order, so that a
    // leaf's points lie side by side.
    struct MemberState {
        double longest = -1.0;       // longest edge at the point, -1 off the path
        std::uint64_t changed = 0;   // as PointState::changed
        std::uint64_t relinked = 0;  // latest change of its pair of neighbours
    };
    MemberState& memberOf(std::size_t slot) { return members_[static_cast<std::size_t>(memberAt_[slot])]; }
    // Recomputes the longest edge at `node` (now in the path, or -1 when
    // `inPath` is false) and the tree's maxima above it.
    void refresh(const PathNode* node, bool inPathNow);
    // Measures the edges at `node`, which is in the path.
    void measureEdges(const PathNode* node);
    void refreshLeaf(int leaf);
    // What a relinking reads and writes per point, side by side: a long
    // reversal visits its nodes all over memory, one cache line each.
    struct PointState {
        std::uint64_t label = 0;
        double before = -1.0;       // edge from its previous node, -1 for none
        double after = -1.0;        // edge to its next node, -1 for none
        std::uint64_t changed = 0;  // latest relinking that changed it in any way
    };
    // Per tree node the latest stamp of its points'.
    struct ChangeStamps {
        std::vector<std::uint64_t> node;
    };
    const ChangeStamps& stampsOf(Change change) const { return change == Change::kAny ? changed_ : relinked_; }
    std::uint64_t pointStamp(Change change, std::size_t point) const {
        return change == Change::kAny ? state_[point].changed : relinkedPoints_[point];
    }
    std::uint64_t& pointStamp(Change change, std::size_t point) {
        return change == Change::kAny ? state_[point].changed : relinkedPoints_[point];
    }
    // Marks `node` as changed by relinking `stamp`, the latest: its
    // neighbours, or (turned) only its direction and place.
    void stamp(const PathNode* node, std::uint64_t stamp);
    void stampTurned(const PathNode* node, std::uint64_t stamp);
    void stampInto(Change change, const PathNode* node, std::uint64_t stamp);
    // Turns a node of a run being reversed round: its links, its cached
    // edges, and its stamp as turned.
    void turn(PathNode* node, std::uint64_t now);
    void link(PathNode* first, PathNode* last, Gap gap);
    // Gives the run first..last (in the path) labels between its neighbours.
    void placeLabels(PathNode* first, PathNode* last);
    void spaceOut(PathNode* first, PathNode* last, std::uint64_t low, std::uint64_t high,
                  std::size_t count);

    PathList& list_;
    std::shared_ptr<const PointTree> treeHolder_;
    const PointTree& tree_;
    std::vector<PointState> state_;
    std::vector<int> memberAt_;          // per slot: its member position in the tree
    bool membersInPlace_ = false;        // every slot is its member position
    std::vector<MemberState> members_;  // per member position
    std::vector<double> nodeLongest_;  // per tree node: the largest of its points'
    std::vector<std::uint32_t> stamps_;
    std::uint32_t stamp_ = 0;
    std::vector<int> stack_;
    PathNode* tail_ = nullptr;
    std::uint64_t clock_ = 0;
    ChangeStamps changed_;   // any change
    ChangeStamps relinked_;  // changes of the pair of neighbours
    std::vector<std::uint64_t> relinkedPoints_;
    Gap detached_{nullptr, nullptr};          // what the last detachment relinked
    SegmentOrder turns_;
    bool stretch_ = false;  // between beginTurns and endTurns
    bool turning_ = false;  // the order lives in turns_
    std::uint64_t blockTurn_ = 0;  // latest block turn not yet settled
    std::size_t wholeSearches_ = 0;  // searches made whole by it
    bool noting_ = false;
    std::vector<int> relinkNotes_;
};

template <class Reach, class Visit>
void IndexedPath::forNodesChangedWithin(const PathNode* around, std::uint64_t since, Change change, Reach&& reach,
                                        Visit&& visit) {
    if (tree_.nodeCount() == 0 || nodeLongest_[0] < 0.0) return;
    // Points of a segment turned as a block carry no stamp of that turn.
    if (change == Change::kAny && since < blockTurn_) since = 0;
    const Spot p = list_.spotOf(around);
    const ChangeStamps& stamps = stampsOf(change);
    // Every node below `top` within reach, nearer child first so that a
    // shrinking threshold shrinks early.
    const auto searchBelow = [&](int top) {
        stack_.clear();
        stack_.push_back(top);
        while (!stack_.empty()) {
            const int at = stack_.back();
            stack_.pop_back();
            const double longest = nodeLongest_[static_cast<std::size_t>(at)];
            if (longest < 0.0 || stamps.node[static_cast<std::size_t>(at)] <= since) continue;
            const PointTree::Node& node = tree_.node(at);
            if (boxBeyond(node.box, p.x, p.y, reach(longest))) continue;
            if (PointTree::isLeaf(node)) {
                for (int k = node.begin; k < node.end; ++k) {
                    const MemberState& member = members_[static_cast<std::size_t>(k)];
                    const double edge = member.longest;
                    const std::uint64_t stamp = change == Change::kAny ? member.changed : member.relinked;
                    if (edge < 0.0 || stamp <= since) continue;
                    if (distanceAbove(p.x - tree_.memberX(k), p.y - tree_.memberY(k), reach(edge))) continue;
                    visit(memberNode(k), Spot{tree_.memberX(k), tree_.memberY(k)});
                }
                continue;
            }
            const PointTree::Node& left = tree_.node(node.left);
            const PointTree::Node& right = tree_.node(node.right);
            const bool leftNearer = boxSquareGap(left.box, p.x, p.y) <= boxSquareGap(right.box, p.x, p.y);
            stack_.push_back(leftNearer ? node.right : node.left);
            stack_.push_back(leftNearer ? node.left : node.right);
        }
    };
    int from = tree_.leafOf(around->point);
    searchBelow(from);
    for (int at = tree_.node(from).parent; at >= 0; from = at, at = tree_.node(at).parent) {
        // A point outside the box lies beyond one of its sides, and its
        // rounded distance is at least its rounded distance to that side.
        const Box& box = tree_.node(from).box;
        const double most = reach(nodeLongest_[0]);
        if (p.x - box.minX > most && box.maxX - p.x > most && p.y - box.minY > most && box.maxY - p.y > most) {
            break;
        }
        const PointTree::Node& node = tree_.node(at);
        searchBelow(node.left == from ? node.right : node.left);
    }
}

}  // namespace tw
