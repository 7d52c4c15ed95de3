// What a pass remembers of a run's last search that came out empty, found
// again whichever way round the run stands now.
//
// A two-exchange turns long runs round: inside them every node keeps its
// pair of neighbours but changes its direction and its place, so a memory
// keyed by a run's first node and "any change" forgets the whole run. This
// one is keyed by the run's two ends as a pair and checked against changes
// of the pair of neighbours only. When no node of the run first..last has
// had its pair of neighbours changed since the moment remembered, the same
// nodes form the same chain as then, perhaps the other way round.
//
// A point is the lower end of at most two runs of one length, one on either
// side of it, so it keeps two entries, one per neighbour the run goes on
// through: the lower neighbour's first.
//
// An entry may also hold a reach: the search's threshold plus its extra,
// taken around the run's lower end, as the gap search widens its radius
// with them. A relinked node farther from the lower end than that reach
// (with the node's longest edge) cannot give the run a cheaper gap, so as
// long as the caller reports every relinked node (forget) and the entry
// keeps its reach, the run needs no search at all (skippable).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "optimizer/engines/fast/indexed_path.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {

class RunMemory {
public:
    RunMemory() = default;
    RunMemory(std::size_t points, int length) : entries_(2 * points), length_(length) {}

    bool empty() const { return entries_.empty(); }

    // The moment remembered for the run first..last (`length` nodes, in the
    // path), when no node of it has had its pair of neighbours changed
    // since; else 0.
    std::uint64_t since(const IndexedPath& path, const PathNode* first, const PathNode* last) const {
        const Entry& entry = entries_[slot(path, first, last)];
        if (entry.at == 0 || entry.otherEnd != std::max(first->point, last->point)) return 0;
        for (const PathNode* node = first;; node = path.next(node)) {
            if (path.changedAt(node, IndexedPath::Change::kNeighbours) > entry.at) return 0;
            if (node == last) return entry.at;
        }
    }

    // The moment remembered for the run when its entry still holds its
    // reach, taken with a longest path edge of at least `longest`; else 0.
    std::uint64_t skippableSince(const IndexedPath& path, const PathNode* first, const PathNode* last,
                                 double longest) const {
        const Entry& entry = entries_[slot(path, first, last)];
        if (entry.reach < 0.0 || entry.longest < longest || entry.otherEnd != std::max(first->point, last->point)) {
            return 0;
        }
        return entry.at;
    }

    // `reach` < 0: no reach kept. `longest`: the path's longest edge the
    // reach was taken with.
    void remember(const IndexedPath& path, const PathNode* first, const PathNode* last, std::uint64_t at,
                  double reach = -1.0, double longest = 0.0) {
        const std::size_t at_slot = slot(path, first, last);
        entries_[at_slot] = Entry{at, std::max(first->point, last->point), reach, longest};
        if (reach >= 0.0 && !nodeReach_.empty()) raise(path.tree(), std::min(first->point, last->point), reach);
    }

    // Takes the reach from every entry the relinked `node` may concern: the
    // runs through it, and those around whose lower end it lies within
    // reach. `reachOf(edge, reach)` is the search's radius.
    template <class ReachOf>
    void forget(const IndexedPath& path, const PathNode* node, ReachOf&& reachOf) {
        forgetRunsThrough(path, node);
        const double edge = path.longestAt(node);
        if (edge < 0.0 || nodeReach_.empty()) return;
        const PointTree& tree = path.tree();
        const Spot spot = path.list().spotOf(node);
        stack_.clear();
        stack_.push_back(0);
        while (!stack_.empty()) {
            const int at = stack_.back();
            stack_.pop_back();
            const double most = nodeReach_[static_cast<std::size_t>(at)];
            if (most < 0.0) continue;
            const PointTree::Node& treeNode = tree.node(at);
            if (boxBeyond(treeNode.box, spot.x, spot.y, reachOf(edge, most))) continue;
            if (!PointTree::isLeaf(treeNode)) {
                stack_.push_back(treeNode.left);
                stack_.push_back(treeNode.right);
                continue;
            }
            for (int k = treeNode.begin; k < treeNode.end; ++k) {
                const std::size_t point = static_cast<std::size_t>(tree.memberPoint(k));
                for (std::size_t s = 2 * point; s < 2 * point + 2; ++s) {
                    Entry& entry = entries_[s];
                    if (entry.reach < 0.0) continue;
                    if (distanceAbove(spot.x - tree.memberX(k), spot.y - tree.memberY(k), reachOf(edge, entry.reach))) {
                        continue;
                    }
                    entry.reach = -1.0;
                }
            }
        }
    }

    // Makes the tree's reach maxima exact again (taken reaches leave them
    // too high, which only costs time).
    void settleReaches(const PointTree& tree) {
        nodeReach_.assign(static_cast<std::size_t>(tree.nodeCount()), -1.0);
        for (int at = tree.nodeCount() - 1; at >= 0; --at) {
            const PointTree::Node& node = tree.node(at);
            double most = -1.0;
            if (PointTree::isLeaf(node)) {
                for (int k = node.begin; k < node.end; ++k) {
                    const std::size_t point = static_cast<std::size_t>(tree.memberPoint(k));
                    most = std::max({most, entries_[2 * point].reach, entries_[2 * point + 1].reach});
                }
            } else {
                most = std::max(nodeReach_[static_cast<std::size_t>(node.left)],
                                nodeReach_[static_cast<std::size_t>(node.right)]);
            }
            nodeReach_[static_cast<std::size_t>(at)] = most;
        }
    }

private:
    struct Entry {
        std::uint64_t at = 0;
        int otherEnd = -1;
        double reach = -1.0;
        double longest = 0.0;
    };

    std::size_t slot(const IndexedPath& path, const PathNode* first, const PathNode* last) const {
        const bool fromFirst = first->point < last->point;
        const PathNode* low = fromFirst ? first : last;
        const PathNode* inward = fromFirst ? path.next(first) : path.previous(last);
        const PathNode* outward = fromFirst ? path.previous(first) : path.next(last);
        const bool upper = outward != nullptr && inward->point > outward->point;
        return 2 * static_cast<std::size_t>(low->point) + (upper ? 1 : 0);
    }

    // Every run of `length_` nodes through `node` in the path now.
    void forgetRunsThrough(const IndexedPath& path, const PathNode* node) {
        const PathNode* first = node;
        for (int s = 1; s < length_ && path.previous(first) != nullptr; ++s) first = path.previous(first);
        for (; first != nullptr; first = path.next(first)) {
            const PathNode* last = first;
            for (int s = 1; s < length_ && last != nullptr; ++s) last = path.next(last);
            if (last == nullptr) break;
            Entry& entry = entries_[slot(path, first, last)];
            if (entry.otherEnd == std::max(first->point, last->point)) entry.reach = -1.0;
            if (first == node) break;
        }
    }

    void raise(const PointTree& tree, int point, double reach) {
        for (int at = tree.leafOf(point); at >= 0 && nodeReach_[static_cast<std::size_t>(at)] < reach;
             at = tree.node(at).parent) {
            nodeReach_[static_cast<std::size_t>(at)] = reach;
        }
    }

    std::vector<Entry> entries_;
    int length_ = 0;
    std::vector<double> nodeReach_;  // per tree node, the largest reach below it
    std::vector<int> stack_;
};

}  // namespace tw
