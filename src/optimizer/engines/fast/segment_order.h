// The order of a path as a two-level list, for a stretch of work that turns
// long runs round: the points stand in one array cut into segments of about
// sqrt(n) points, each segment with a reversed bit and a rank. A run that
// spans several segments turns by splitting at most two segments at its ends
// and turning the chain of segments between them (their order, ranks and
// reversed bits), so a turn costs O(sqrt(n)) however long the run is. A run
// inside one segment is turned point by point.
//
// Positions still compare in constant time: a segment's rank, then the
// point's place in the array, read backwards in a reversed segment.
//
// A segment remembers the latest turn that turned it as a whole; its points'
// own records do not see that turn. `flipped` tells whether the segment's
// points are turned against the array (what a point caches about "before"
// and "after" then holds the other side), and `turnedAt` when the segment
// was last turned as a block.
//
// Points are ids 0 .. n-1 (the caller's: the fast path's index passes its
// nodes' slots); -1 stands for none. Every buffer is
// taken at construction, so turning never allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tw {

class SegmentOrder {
public:
    // Room for `pointCount` points. Throws std::bad_alloc when memory is short.
    explicit SegmentOrder(int pointCount);

    // Lays the points of `path` (in path order; a subset of the points) out
    // in fresh segments, none reversed or turned.
    void assign(const std::vector<int>& path);
    // The same for the path first, nextOf(first), .. (until -1); nextOf may
    // read this order, which is laid out afresh only afterwards.
    template <class NextOf>
    void assignFrom(int first, NextOf&& nextOf);

    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    int first() const { return count_ == 0 ? -1 : firstOf(head_); }
    int last() const { return count_ == 0 ? -1 : lastOf(tail_); }
    int next(int point) const;
    int previous(int point) const;
    // Increases along the path.
    std::uint64_t position(int point) const;
    bool flipped(int point) const { return segments_[segmentOf(point)].reversed; }
    std::uint64_t turnedAt(int point) const { return segments_[segmentOf(point)].turned; }

    // Turns the run b..c (b not after c) round at moment `now`. Calls
    // turnedOne(p) for every point turned on its own (against the array),
    // whose cached sides the caller swaps and whose turn it records itself;
    // the segments turned as blocks record `now`. Returns true when it
    // turned blocks.
    template <class TurnedOne>
    bool reverse(int b, int c, std::uint64_t now, TurnedOne&& turnedOne);

    // True when the segment records are nearly used up and the caller should
    // lay the order out afresh (after reading what `flipped` and `turnedAt`
    // say of each point) before the next turn.
    bool crowded() const { return segments_.size() + 2 > segments_.capacity(); }

private:
    struct Segment {
        int begin = 0;  // slots [begin, end)
        int end = 0;
        bool reversed = false;
        std::uint32_t rank = 0;
        std::uint64_t turned = 0;
        int previous = -1;  // neighbouring segments in path order
        int next = -1;
    };

    std::size_t segmentOf(int point) const { return static_cast<std::size_t>(segmentOf_[static_cast<std::size_t>(point)]); }
    int slotOf(int point) const { return slotOf_[static_cast<std::size_t>(point)]; }
    int firstOf(int segment) const;
    int lastOf(int segment) const;
    // Makes `point` the first point (in path order) of its segment.
    void splitBefore(int point);
    // Gives the segment `inserted`, just linked after `after` (-1: first), a
    // rank between its neighbours', renumbering every segment when there is
    // no room.
    void rankBetween(int inserted);
    void renumber();
    void turnInside(int b, int c, std::uint64_t now);
    // Cuts slots_[0, count) (the path in order) into fresh segments.
    void layOut(int count);

    std::vector<int> slots_;      // points in array order
    std::vector<int> slotOf_;     // per point: its slot
    std::vector<int> segmentOf_;  // per point: its segment
    std::vector<Segment> segments_;
    std::vector<int> scratch_;    // a path order being written
    std::vector<int> chain_;      // a chain of segments being turned
    int head_ = -1;               // first and last segment in path order
    int tail_ = -1;
    int count_ = 0;
    int segmentLength_ = 1;
};

template <class NextOf>
void SegmentOrder::assignFrom(int first, NextOf&& nextOf) {
    int held = 0;
    for (int point = first; point >= 0; point = nextOf(point)) scratch_[static_cast<std::size_t>(held++)] = point;
    slots_.swap(scratch_);
    layOut(held);
}

template <class TurnedOne>
bool SegmentOrder::reverse(int b, int c, std::uint64_t now, TurnedOne&& turnedOne) {
    if (segmentOf(b) == segmentOf(c)) {
        const Segment& segment = segments_[segmentOf(b)];
        int low = slotOf(b);
        int high = slotOf(c);
        if (segment.reversed) std::swap(low, high);
        for (; low < high; ++low, --high) {
            std::swap(slots_[static_cast<std::size_t>(low)], slots_[static_cast<std::size_t>(high)]);
            slotOf_[static_cast<std::size_t>(slots_[static_cast<std::size_t>(low)])] = low;
            slotOf_[static_cast<std::size_t>(slots_[static_cast<std::size_t>(high)])] = high;
        }
        for (int point = c;; point = next(point)) {
            turnedOne(point);
            if (point == b) break;
        }
        return false;
    }
    turnInside(b, c, now);
    return true;
}

}  // namespace tw
