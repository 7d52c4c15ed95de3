// A closed tour as a two-level doubly-linked list, the representation that
// makes a reversal cost about the square root of the size instead of the
// length of the shorter side.
//
// The nodes are cut into segments of about sqrt(size) nodes. Inside a
// segment the nodes are linked in an internal direction and numbered with
// consecutive ids along it; a segment's reversed bit says whether the tour
// reads it backwards. The segments form a ring in tour order, numbered by
// rank. A reversal splits the segments at the path's ends (a part joins the
// neighbouring segment on its side, the one that ends up smaller, so the
// number of segments stays the same) and turns the run of whole segments
// between them around; a path inside one segment is reversed node by node. Of a path and the rest of the ring,
// the side with fewer segments is turned. When a segment has grown to
// kGrowth times its laid-out length, the whole tour is cut afresh.
//
// The interface is the one the search uses on ArrayTour (tour.h), with the
// same preconditions for `exchange`; the work an exchange returns is the
// number of nodes relinked plus the number of segments turned, plus the
// size when the tour is cut afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "optimizer/near_optimal/tour.h"

namespace tw::nearopt {

class TwoLevelTour : public ExchangeLog<TwoLevelTour> {
public:
    // The tour visiting `order` (a permutation of 0 .. size-1, size >= 8) in
    // turn; `segmentSize` 0 picks about sqrt(size).
    explicit TwoLevelTour(const std::vector<int>& order, int segmentSize = 0);

    int size() const { return static_cast<int>(nodes_.size()); }

    int next(int node) const {
        const Node& n = nodes_[static_cast<std::size_t>(node)];
        const Segment& s = segments_[static_cast<std::size_t>(n.segment)];
        if (s.reversed == 0) return node != s.last ? n.link[1] : tourFirst(s.link[1]);
        return node != s.first ? n.link[0] : tourFirst(s.link[1]);
    }
    int previous(int node) const {
        const Node& n = nodes_[static_cast<std::size_t>(node)];
        const Segment& s = segments_[static_cast<std::size_t>(n.segment)];
        if (s.reversed == 0) return node != s.first ? n.link[0] : tourLast(s.link[0]);
        return node != s.last ? n.link[1] : tourLast(s.link[0]);
    }

    // True when b lies on the way from a forward to c (a, b, c distinct or
    // b equal to an end).
    bool between(int a, int b, int c) const;

    // A node to start walking from for the `index`-th of `size` choices;
    // every node is one choice.
    int anchor(int index) const { return index; }

    // Reversals cost little whatever their length, so no chain step is
    // refused for its length.
    static constexpr bool kBoundedReversals = false;
    bool longExchange(int, int, int, int) const { return false; }

    // For tests: the largest segment, and whether the links, ids, ranks and
    // counts agree with each other.
    int largestSegment() const;
    bool consistent() const;

private:
    friend class ExchangeLog<TwoLevelTour>;

    struct Node {
        std::int32_t segment;
        std::int32_t id;       // consecutive along the internal direction
        std::int32_t link[2];  // internal predecessor and successor; unused past the segment's ends
    };
    struct Segment {
        std::int32_t first;  // lowest id
        std::int32_t last;   // highest id
        std::int32_t count;
        std::int32_t rank;
        std::int32_t reversed;
        std::int32_t link[2];  // previous and next segment in tour order
    };

    int tourFirst(int segment) const {
        const Segment& s = segments_[static_cast<std::size_t>(segment)];
        return s.reversed == 0 ? s.first : s.last;
    }
    int tourLast(int segment) const {
        const Segment& s = segments_[static_cast<std::size_t>(segment)];
        return s.reversed == 0 ? s.last : s.first;
    }
    // Tour offset of a node from its segment's first node in tour order.
    int offset(int node) const;

    long long reversePath(int from, int to);
    long long reverseInside(int from, int to);
    long long reverseSegments(int first, int last);
    // Makes `node` its segment's first node in tour order; `keep` (or -1) is a
    // node that must stay first of its own segment.
    long long splitBefore(int node, int keep);
    long long appendTo(int segment, int node);
    long long prependTo(int segment, int node);
    void renumber(int segment);
    // Cuts the tour afresh into segments of `length_` nodes; returns the work.
    long long rebuild();
    void layOut(const std::vector<int>& order);

    std::vector<Node> nodes_;
    std::vector<Segment> segments_;
    std::vector<int> scratch_;
    int length_ = 1;      // segment length when laid out
    bool grown_ = false;  // a segment outgrew kGrowth * length_
};

}  // namespace tw::nearopt
