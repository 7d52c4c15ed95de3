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
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "optimizer/engines/fast/indexed_path.h"

namespace tw {

class RunMemory {
public:
    RunMemory() = default;
    explicit RunMemory(std::size_t points) : entries_(2 * points) {}

    bool empty() const { return entries_.empty(); }

    // The moment remembered for the run first..last (at least two nodes, in
    // the path), when no node of it has had its pair of neighbours changed
    // since; else 0.
    std::uint64_t since(const IndexedPath& path, const PathNode* first, const PathNode* last) const {
        const Entry& entry = entries_[slot(path, first, last)];
        if (entry.at == 0 || entry.otherEnd != std::max(first->point, last->point)) return 0;
        for (const PathNode* node = first;; node = path.next(node)) {
            if (path.changedAt(node, IndexedPath::Change::kNeighbours) > entry.at) return 0;
            if (node == last) return entry.at;
        }
    }

    void remember(const IndexedPath& path, const PathNode* first, const PathNode* last, std::uint64_t at) {
        entries_[slot(path, first, last)] = Entry{at, std::max(first->point, last->point)};
    }

private:
    struct Entry {
        std::uint64_t at = 0;
        int otherEnd = -1;
    };

    std::size_t slot(const IndexedPath& path, const PathNode* first, const PathNode* last) const {
        const bool fromFirst = first->point < last->point;
        const PathNode* low = fromFirst ? first : last;
        const PathNode* inward = fromFirst ? path.next(first) : path.previous(last);
        const PathNode* outward = fromFirst ? path.previous(first) : path.next(last);
        const bool upper = outward != nullptr && inward->point > outward->point;
        return 2 * static_cast<std::size_t>(low->point) + (upper ? 1 : 0);
    }

    std::vector<Entry> entries_;
};

}  // namespace tw
