#include "optimizer/engines/fast/indexed_path.h"

#include <algorithm>

#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

// Room a respaced window leaves between neighbouring labels; a window grows
// until its range gives every label at least this much.
constexpr std::uint64_t kComfortableSpacing = std::uint64_t{1} << 20;

// A whole search visits a few dozen tree nodes; writing the turns back walks
// every point in path order, all over memory, and the tree once. On uniform
// sets of 128,000 and 500,000 points settling once whole searches reach a
// sixteenth of the points did best (128 cost 12 % at 500,000 points).
constexpr std::size_t kWholeSearchesPerSettle = 16;

}  // namespace

IndexedPath::IndexedPath(PathList& list, const PathOptimizer& optimizer)
    : list_(list),
      treeHolder_(pointTreeFor(optimizer)),
      tree_(*treeHolder_),
      state_(optimizer.points.size()),
      memberAt_(optimizer.points.size(), 0),
      members_(optimizer.points.size()),
      nodeLongest_(static_cast<std::size_t>(tree_.nodeCount()), -1.0),
      stamps_(optimizer.points.size(), 0),
      changed_{std::vector<std::uint64_t>(static_cast<std::size_t>(tree_.nodeCount()), 0)},
      relinked_(changed_),
      relinkedPoints_(optimizer.points.size(), 0),
      turns_(static_cast<int>(optimizer.points.size())) {
    // Everything a pass needs is taken here, so that a pass never allocates
    // and a lack of memory shows before the first decision, where the
    // reference engine can take over. A search's stack holds at most two
    // entries per tree level.
    stack_.reserve(2 * kMaxTreeDepth + 2);
    membersInPlace_ = tree_.nodeCount() > 0;
    for (int k = 0; k < static_cast<int>(optimizer.points.size()) && tree_.nodeCount() > 0; ++k) {
        const int slot = slotOf(list_.nodeOf(tree_.memberPoint(k)));
        memberAt_[static_cast<std::size_t>(slot)] = k;
        if (slot != k) membersInPlace_ = false;
    }
}

void IndexedPath::refreshLeaf(int leaf) {
    double longest = -1.0;
    const PointTree::Node& node = tree_.node(leaf);
    for (int k = node.begin; k < node.end; ++k) longest = std::max(longest, members_[static_cast<std::size_t>(k)].longest);
    nodeLongest_[static_cast<std::size_t>(leaf)] = longest;
    for (int at = tree_.node(leaf).parent; at >= 0; at = tree_.node(at).parent) {
        const PointTree::Node& node = tree_.node(at);
        const double value = std::max(nodeLongest_[static_cast<std::size_t>(node.left)],
                                      nodeLongest_[static_cast<std::size_t>(node.right)]);
        if (nodeLongest_[static_cast<std::size_t>(at)] == value) break;
        nodeLongest_[static_cast<std::size_t>(at)] = value;
    }
}

void IndexedPath::measureEdges(const PathNode* node) {
    const PathNode* const previousNode = previous(node);
    const PathNode* const nextNode = next(node);
    const double before = previousNode != nullptr ? list_.distance(previousNode, node) : -1.0;
    const double after = nextNode != nullptr ? list_.distance(node, nextNode) : -1.0;
    const bool turned = flipped(node);
    state_[index(node)].before = turned ? after : before;
    state_[index(node)].after = turned ? before : after;
    memberOf(index(node)).longest = std::max({0.0, before, after});
}

void IndexedPath::refresh(const PathNode* node, bool inPathNow) {
    if (inPathNow) {
        measureEdges(node);
    } else {
        memberOf(index(node)).longest = -1.0;
        state_[index(node)].before = -1.0;
        state_[index(node)].after = -1.0;
    }
    refreshLeaf(tree_.leafOf(node->point));
}

void IndexedPath::stampInto(Change change, const PathNode* node, std::uint64_t stamp) {
    pointStamp(change, index(node)) = stamp;
    MemberState& member = memberOf(index(node));
    (change == Change::kAny ? member.changed : member.relinked) = stamp;
    ChangeStamps& stamps = change == Change::kAny ? changed_ : relinked_;
    // The stamp is the latest, so every ancestor not yet holding it takes it.
    for (int at = tree_.leafOf(node->point); at >= 0 && stamps.node[static_cast<std::size_t>(at)] != stamp;
         at = tree_.node(at).parent) {
        stamps.node[static_cast<std::size_t>(at)] = stamp;
    }
}

void IndexedPath::stamp(const PathNode* node, std::uint64_t stamp) {
    stampInto(Change::kAny, node, stamp);
    stampInto(Change::kNeighbours, node, stamp);
    if (noting_) relinkNotes_.push_back(node->point);
}

void IndexedPath::stampTurned(const PathNode* node, std::uint64_t stamp) { stampInto(Change::kAny, node, stamp); }

void IndexedPath::linkInOrder(const std::vector<int>& order) {
    list_.linkInOrder(order);
    const std::uint64_t now = ++clock_;
    detached_ = Gap{nullptr, nullptr};
    const std::size_t count = order.size();
    const std::uint64_t spacing = kLastLabel / (count + 1);
    std::uint64_t label = 0;
    tail_ = nullptr;
    for (PathNode* node = list_.head(); node != nullptr; node = node->next) {
        label += spacing;
        state_[index(node)].label = label;
        measureEdges(node);
        state_[index(node)].changed = now;
        relinkedPoints_[index(node)] = now;
        memberOf(index(node)).changed = now;
        memberOf(index(node)).relinked = now;
        tail_ = node;
    }
    // Leaves and inner nodes bottom up: children follow their parent in
    // preorder.
    for (int at = tree_.nodeCount() - 1; at >= 0; --at) {
        const PointTree::Node& node = tree_.node(at);
        double value = -1.0;
        if (PointTree::isLeaf(node)) {
            for (int k = node.begin; k < node.end; ++k) value = std::max(value, members_[static_cast<std::size_t>(k)].longest);
        } else {
            value = std::max(nodeLongest_[static_cast<std::size_t>(node.left)],
                             nodeLongest_[static_cast<std::size_t>(node.right)]);
        }
        nodeLongest_[static_cast<std::size_t>(at)] = value;
        changed_.node[static_cast<std::size_t>(at)] = now;
        relinked_.node[static_cast<std::size_t>(at)] = now;
    }
}

void IndexedPath::startWith(int point) {
    for (MemberState& member : members_) member.longest = -1.0;
    for (PointState& state : state_) {
        state.before = -1.0;
        state.after = -1.0;
    }
    std::fill(nodeLongest_.begin(), nodeLongest_.end(), -1.0);
    list_.startWith(point);
    tail_ = list_.head();
    state_[index(tail_)].label = kLastLabel / 2;
    refresh(tail_, true);
    detached_ = Gap{nullptr, nullptr};
    stamp(tail_, ++clock_);
}

Gap IndexedPath::detachRun(PathNode* first, PathNode* last) {
    // A detachment still pending counts as a change now.
    if (detached_.left != nullptr || detached_.right != nullptr) {
        const std::uint64_t now = ++clock_;
        for (const PathNode* end : {detached_.left, detached_.right}) {
            if (end != nullptr) stamp(end, now);
        }
    }
    const Gap gap = list_.detachRun(first, last);
    if (tail_ == last) tail_ = gap.left;
    for (PathNode* node = first;; node = node->next) {
        refresh(node, false);
        if (node == last) break;
    }
    if (gap.left != nullptr) refresh(gap.left, true);
    if (gap.right != nullptr) refresh(gap.right, true);
    detached_ = gap;
    return gap;
}

void IndexedPath::insertRun(PathNode* first, PathNode* last, Gap gap) {
    link(first, last, gap);
    const std::uint64_t now = ++clock_;
    for (PathNode* node = first;; node = node->next) {
        stamp(node, now);
        if (node == last) break;
    }
    for (const PathNode* end : {gap.left, gap.right, detached_.left, detached_.right}) {
        if (end != nullptr) stamp(end, now);
    }
    detached_ = Gap{nullptr, nullptr};
}

void IndexedPath::restoreRun(PathNode* first, PathNode* last, Gap former) {
    link(first, last, former);
    detached_ = Gap{nullptr, nullptr};
}

void IndexedPath::link(PathNode* first, PathNode* last, Gap gap) {
    list_.insertRun(first, last, gap);
    if (gap.right == nullptr) tail_ = last;
    placeLabels(first, last);
    for (PathNode* node = first;; node = node->next) {
        refresh(node, true);
        if (node == last) break;
    }
    if (gap.left != nullptr) refresh(gap.left, true);
    if (gap.right != nullptr) refresh(gap.right, true);
}

void IndexedPath::finishTurn(PathNode* before, PathNode* b, PathNode* c, PathNode* after, std::uint64_t now) {
    // The turned run's ends and the nodes beside it have new neighbours;
    // their edges and the tree's longest edges above them change.
    stamp(b, now);
    stamp(c, now);
    if (before != nullptr) stamp(before, now);
    if (after != nullptr) stamp(after, now);
    if (tail_ == c) tail_ = b;
    refresh(b, true);
    refresh(c, true);
    if (before != nullptr) refresh(before, true);
    if (after != nullptr) refresh(after, true);
}

void IndexedPath::reverseRun(PathNode* b, PathNode* c) {
    if (stretch_ && !turning_) layOutTurns();
    if (turning_) {
        reverseTurning(b, c);
        return;
    }
    // One walk from both ends towards the middle does all of it: each pair
    // of nodes the same distance from the ends trades labels (so the run
    // keeps its own labels in reverse order), every node turns its links and
    // its two cached edges round. Each node is touched once, which matters
    // on long runs, whose nodes lie all over memory.
    PathNode* const before = b->previous;
    PathNode* const after = c->next;
    const std::uint64_t now = ++clock_;
    PathNode* front = b;
    PathNode* back = c;
    while (true) {
        PathNode* const frontNext = front->next;
        PathNode* const backPrevious = back->previous;
        const bool met = front == back;
        const bool adjacent = frontNext == back;
        if (!met) std::swap(state_[index(front)].label, state_[index(back)].label);
        turn(front, now);
        if (!met) turn(back, now);
        if (met || adjacent) break;
        front = frontNext;
        back = backPrevious;
    }
    // Inside the run a node keeps its neighbours, in the other order; the
    // ends and the nodes beside the run change them.
    c->previous = before;
    b->next = after;
    if (before == nullptr) {
        list_.setHead(c);
    } else {
        before->next = c;
    }
    if (after != nullptr) after->previous = b;
    finishTurn(before, b, c, after, now);
}

void IndexedPath::beginTurns() { stretch_ = true; }

void IndexedPath::beforeSearchSince(std::uint64_t since) {
    if (!turning_ || since == 0 || since >= blockTurn_) return;
    ++wholeSearches_;
    if (wholeSearches_ * kWholeSearchesPerSettle >= static_cast<std::size_t>(turns_.size())) settleTurns();
}

void IndexedPath::layOutTurns() {
    // Laid out at the stretch's first turn: until then the nodes' own links
    // and labels are current, and a stretch without turns costs nothing.
    if (list_.head() == nullptr) return;
    turns_.assignFrom(slotOf(list_.head()), [this](int slot) {
        const PathNode* next = list_.nodeAt(slot)->next;
        return next != nullptr ? slotOf(next) : -1;
    });
    turning_ = true;
    blockTurn_ = 0;
}

void IndexedPath::reverseTurning(PathNode* b, PathNode* c) {
    PathNode* const before = previous(b);
    PathNode* const after = next(c);
    if (turns_.crowded()) settleTurns();
    const std::uint64_t now = ++clock_;
    const bool blocks = turns_.reverse(slotOf(b), slotOf(c), now, [this, now](int slot) {
        PointState& state = state_[static_cast<std::size_t>(slot)];
        std::swap(state.before, state.after);
        stampTurned(list_.nodeAt(slot), now);
    });
    if (blocks) blockTurn_ = now;
    finishTurn(before, b, c, after, now);
}

void IndexedPath::settleTurns() {
    // Without a block turn no segment was split or reversed.
    if (blockTurn_ == 0) return;
    for (int slot = turns_.first(); slot >= 0; slot = turns_.next(slot)) {
        PointState& state = state_[static_cast<std::size_t>(slot)];
        if (turns_.flipped(slot)) std::swap(state.before, state.after);
        state.changed = std::max(state.changed, turns_.turnedAt(slot));
        memberOf(static_cast<std::size_t>(slot)).changed = state.changed;
    }
    // The tree's stamps of any change, bottom up: children follow their
    // parent in preorder.
    for (int at = tree_.nodeCount() - 1; at >= 0; --at) {
        const PointTree::Node& node = tree_.node(at);
        std::uint64_t latest = 0;
        if (PointTree::isLeaf(node)) {
            for (int k = node.begin; k < node.end; ++k) latest = std::max(latest, members_[static_cast<std::size_t>(k)].changed);
        } else {
            latest = std::max(changed_.node[static_cast<std::size_t>(node.left)],
                              changed_.node[static_cast<std::size_t>(node.right)]);
        }
        changed_.node[static_cast<std::size_t>(at)] = latest;
    }
    turns_.assignFrom(turns_.first(), [this](int slot) { return turns_.next(slot); });
    blockTurn_ = 0;
    wholeSearches_ = 0;
}

void IndexedPath::endTurns() {
    stretch_ = false;
    if (!turning_) return;
    settleTurns();
    const std::size_t count = static_cast<std::size_t>(turns_.size());
    const std::uint64_t spacing = kLastLabel / (count + 1);
    std::uint64_t label = 0;
    PathNode* previousNode = nullptr;
    for (int slot = turns_.first(); slot >= 0; slot = turns_.next(slot)) {
        PathNode* node = list_.nodeAt(slot);
        node->previous = previousNode;
        if (previousNode != nullptr) previousNode->next = node;
        label += spacing;
        state_[index(node)].label = label;
        previousNode = node;
    }
    if (previousNode != nullptr) previousNode->next = nullptr;
    list_.setHead(nodeOrNull(turns_.first()));
    tail_ = previousNode;
    turning_ = false;
}

void IndexedPath::turn(PathNode* node, std::uint64_t now) {
    std::swap(node->previous, node->next);
    PointState& state = state_[index(node)];
    std::swap(state.before, state.after);
    stampTurned(node, now);
}

void IndexedPath::placeLabels(PathNode* first, PathNode* last) {
    const std::uint64_t low = first->previous != nullptr ? state_[index(first->previous)].label : 0;
    const std::uint64_t high = last->next != nullptr ? state_[index(last->next)].label : kLastLabel;
    std::size_t count = 0;
    bool ordered = true;
    std::uint64_t previous = low;
    for (PathNode* node = first;; node = node->next) {
        ++count;
        const std::uint64_t label = state_[index(node)].label;
        if (label <= previous) ordered = false;
        previous = label;
        if (node == last) break;
    }
    if (ordered && previous < high) return;
    if ((high - low) / (count + 1) >= 1) {
        spaceOut(first, last, low, high, count);
        return;
    }
    // No room: widen a window around the run until its range is roomy.
    PathNode* from = first;
    PathNode* to = last;
    std::size_t held = count;
    while (true) {
        for (std::size_t s = 0; s < held && from->previous != nullptr; ++s, ++count) from = from->previous;
        for (std::size_t s = 0; s < held && to->next != nullptr; ++s, ++count) to = to->next;
        held = count;
        const std::uint64_t windowLow = from->previous != nullptr ? state_[index(from->previous)].label : 0;
        const std::uint64_t windowHigh = to->next != nullptr ? state_[index(to->next)].label : kLastLabel;
        const bool whole = from->previous == nullptr && to->next == nullptr;
        if (whole || (windowHigh - windowLow) / (count + 1) >= kComfortableSpacing) {
            spaceOut(from, to, windowLow, windowHigh, count);
            return;
        }
    }
}

void IndexedPath::spaceOut(PathNode* first, PathNode* last, std::uint64_t low, std::uint64_t high,
                           std::size_t count) {
    const std::uint64_t spacing = (high - low) / (count + 1);
    std::uint64_t label = low;
    for (PathNode* node = first;; node = node->next) {
        label += spacing;
        state_[index(node)].label = label;
        if (node == last) break;
    }
}

void IndexedPath::newSearch() {
    if (++stamp_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        stamp_ = 1;
    }
}

bool IndexedPath::firstVisit(const PathNode* right) {
    std::uint32_t& stamp = stamps_[index(right)];
    if (stamp == stamp_) return false;
    stamp = stamp_;
    return true;
}

}  // namespace tw
