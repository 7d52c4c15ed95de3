#include "optimizer/engines/path_list.h"

#include <utility>

namespace tw {

PathList::PathList(const PathOptimizer& optimizer, const std::vector<int>& layout)
    : start_{optimizer.startPoint.x, optimizer.startPoint.y},
      spots_(static_cast<std::size_t>(optimizer.count)),
      nodes_(static_cast<std::size_t>(optimizer.count)),
      slotOf_(static_cast<std::size_t>(optimizer.count)) {
    const bool laidOut = layout.size() == nodes_.size();
    for (std::size_t slot = 0; slot < nodes_.size(); ++slot) {
        const int point = laidOut ? layout[slot] : static_cast<int>(slot);
        nodes_[slot].point = point;
        spots_[slot] = Spot{optimizer.points[static_cast<std::size_t>(point)].x,
                            optimizer.points[static_cast<std::size_t>(point)].y};
        slotOf_[static_cast<std::size_t>(point)] = static_cast<int>(slot);
    }
}

void PathList::linkInOrder(const std::vector<int>& order) {
    head_ = nullptr;
    PathNode* previous = nullptr;
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        PathNode* node = nodeOf(order[k]);
        node->previous = previous;
        node->next = nullptr;
        if (previous == nullptr) {
            head_ = node;
        } else {
            previous->next = node;
        }
        previous = node;
    }
}

void PathList::startWith(int point) {
    head_ = nodeOf(point);
    head_->previous = nullptr;
    head_->next = nullptr;
}

PathNode* PathList::tail() const {
    PathNode* node = head_;
    if (node == nullptr) return nullptr;
    while (node->next != nullptr) node = node->next;
    return node;
}

Gap PathList::detachRun(PathNode* first, PathNode* last) {
    const Gap gap{first->previous, last->next};
    if (gap.left == nullptr) {
        head_ = gap.right;
    } else {
        gap.left->next = gap.right;
    }
    if (gap.right != nullptr) gap.right->previous = gap.left;
    first->previous = nullptr;
    last->next = nullptr;
    return gap;
}

void PathList::insertRun(PathNode* first, PathNode* last, Gap gap) {
    first->previous = gap.left;
    last->next = gap.right;
    if (gap.left == nullptr) {
        head_ = first;
    } else {
        gap.left->next = first;
    }
    if (gap.right != nullptr) gap.right->previous = last;
}

void PathList::reverseRun(PathNode* first, PathNode* last) {
    PathNode* node = first;
    while (true) {
        PathNode* following = node->next;
        std::swap(node->previous, node->next);
        if (node == last || following == nullptr) break;
        node = following;
    }
    // The outer ends point out of the run; the caller relinks them.
    last->previous = nullptr;
    first->next = nullptr;
}

bool PathList::writeBack(std::vector<int>& order) const {
    const std::size_t count = nodes_.size();
    std::size_t held = 0;
    // Bounded walk: a path that lost or repeats nodes is rejected, never
    // followed forever.
    for (const PathNode* node = head_; node != nullptr; node = node->next) {
        if (++held > count) return false;
    }
    if (held != count || order.size() != count) return false;
    std::size_t k = 0;
    for (const PathNode* node = head_; node != nullptr; node = node->next) {
        order[k++] = node->point;
    }
    return true;
}

}  // namespace tw
