#include "optimizer/near_optimal/two_level_tour.h"

#include <algorithm>

#include "optimizer/near_optimal/search_effort.h"

namespace tw::nearopt {
namespace {

// Ids drift as nodes join segments at either end; past this a segment is
// numbered afresh, long before 32 bits run out.
constexpr std::int32_t kLargestId = 1 << 30;
// A segment this many times its laid-out length makes reversals inside it,
// and splits of it, cost too much: the tour is cut afresh.
constexpr int kGrowth = 4;

}  // namespace

TwoLevelTour::TwoLevelTour(const std::vector<int>& order, int segmentSize) : nodes_(order.size()) {
    const int size = static_cast<int>(order.size());
    const int length = segmentSize > 0 ? segmentSize : static_cast<int>(integerSquareRoot(size));
    length_ = std::max(1, std::min(length, size / 4));
    layOut(order);
}

long long TwoLevelTour::rebuild() {
    std::vector<int> order;
    order.reserve(nodes_.size());
    int node = tourFirst(0);
    for (std::size_t k = 0; k < nodes_.size(); ++k, node = next(node)) order.push_back(node);
    layOut(order);
    return static_cast<long long>(order.size());
}

void TwoLevelTour::layOut(const std::vector<int>& order) {
    const int size = static_cast<int>(order.size());
    const int length = length_;
    const int count = (size + length - 1) / length;
    segments_.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int begin = k * length;
        const int end = std::min(size, begin + length);
        Segment& s = segments_[static_cast<std::size_t>(k)];
        s.first = order[static_cast<std::size_t>(begin)];
        s.last = order[static_cast<std::size_t>(end - 1)];
        s.count = end - begin;
        s.rank = k;
        s.reversed = 0;
        s.link[0] = k == 0 ? count - 1 : k - 1;
        s.link[1] = k + 1 == count ? 0 : k + 1;
        for (int i = begin; i < end; ++i) {
            Node& n = nodes_[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])];
            n.segment = k;
            n.id = i - begin;
            n.link[0] = i > begin ? order[static_cast<std::size_t>(i - 1)] : -1;
            n.link[1] = i + 1 < end ? order[static_cast<std::size_t>(i + 1)] : -1;
        }
    }
}

int TwoLevelTour::offset(int node) const {
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    const Segment& s = segments_[static_cast<std::size_t>(n.segment)];
    return s.reversed == 0 ? n.id - nodes_[static_cast<std::size_t>(s.first)].id
                           : nodes_[static_cast<std::size_t>(s.last)].id - n.id;
}

bool TwoLevelTour::between(int a, int b, int c) const {
    const int count = static_cast<int>(segments_.size());
    const int rankA = segments_[static_cast<std::size_t>(nodes_[static_cast<std::size_t>(a)].segment)].rank;
    const int offsetA = offset(a);
    auto key = [&](int node, int& rank, int& at) {
        rank = segments_[static_cast<std::size_t>(nodes_[static_cast<std::size_t>(node)].segment)].rank - rankA;
        if (rank < 0) rank += count;
        at = offset(node);
        if (rank == 0 && at < offsetA) rank = count;
    };
    int rankB, offsetB, rankC, offsetC;
    key(b, rankB, offsetB);
    key(c, rankC, offsetC);
    return rankB < rankC || (rankB == rankC && offsetB <= offsetC);
}

long long TwoLevelTour::reversePath(int from, int to) {
    const int count = static_cast<int>(segments_.size());
    int segmentFrom = nodes_[static_cast<std::size_t>(from)].segment;
    int segmentTo = nodes_[static_cast<std::size_t>(to)].segment;
    if (segmentFrom == segmentTo && offset(from) <= offset(to)) return reverseInside(from, to);
    int spanned = segments_[static_cast<std::size_t>(segmentTo)].rank - segments_[static_cast<std::size_t>(segmentFrom)].rank;
    if (spanned < 0) spanned += count;
    spanned += 1;
    // The rest of the ring shares the two end segments; reversing it gives
    // the same tour read backwards.
    if (segmentFrom == segmentTo || spanned > count - spanned + 2) {
        const int restFrom = next(to);
        const int restTo = previous(from);
        from = restFrom;
        to = restTo;
        segmentFrom = nodes_[static_cast<std::size_t>(from)].segment;
        segmentTo = nodes_[static_cast<std::size_t>(to)].segment;
        if (segmentFrom == segmentTo && offset(from) <= offset(to)) return reverseInside(from, to);
    }
    long long work = splitBefore(from, -1);
    const int after = next(to);
    if (nodes_[static_cast<std::size_t>(after)].segment == nodes_[static_cast<std::size_t>(to)].segment)
        work += splitBefore(after, from);
    work += reverseSegments(nodes_[static_cast<std::size_t>(from)].segment,
                            nodes_[static_cast<std::size_t>(to)].segment);
    if (grown_) {
        grown_ = false;
        work += rebuild();
    }
    return work;
}

long long TwoLevelTour::reverseInside(int from, int to) {
    Segment& s = segments_[static_cast<std::size_t>(nodes_[static_cast<std::size_t>(from)].segment)];
    const int low = s.reversed == 0 ? from : to;
    const int high = s.reversed == 0 ? to : from;
    const int before = low == s.first ? -1 : nodes_[static_cast<std::size_t>(low)].link[0];
    const int beyond = high == s.last ? -1 : nodes_[static_cast<std::size_t>(high)].link[1];
    const std::int32_t base = nodes_[static_cast<std::size_t>(low)].id;
    const int length = nodes_[static_cast<std::size_t>(high)].id - base + 1;
    scratch_.clear();
    for (int node = low;; node = nodes_[static_cast<std::size_t>(node)].link[1]) {
        scratch_.push_back(node);
        if (node == high) break;
    }
    for (int k = 0; k < length; ++k) {
        Node& n = nodes_[static_cast<std::size_t>(scratch_[static_cast<std::size_t>(length - 1 - k)])];
        n.id = base + k;
        n.link[0] = k == 0 ? before : scratch_[static_cast<std::size_t>(length - k)];
        n.link[1] = k + 1 == length ? beyond : scratch_[static_cast<std::size_t>(length - 2 - k)];
    }
    if (before < 0) s.first = high;
    else nodes_[static_cast<std::size_t>(before)].link[1] = high;
    if (beyond < 0) s.last = low;
    else nodes_[static_cast<std::size_t>(beyond)].link[0] = low;
    return length;
}

long long TwoLevelTour::appendTo(int segment, int node) {
    Segment& s = segments_[static_cast<std::size_t>(segment)];
    Node& n = nodes_[static_cast<std::size_t>(node)];
    n.segment = segment;
    if (s.reversed == 0) {
        Node& end = nodes_[static_cast<std::size_t>(s.last)];
        n.id = end.id + 1;
        n.link[0] = s.last;
        end.link[1] = node;
        s.last = node;
    } else {
        Node& end = nodes_[static_cast<std::size_t>(s.first)];
        n.id = end.id - 1;
        n.link[1] = s.first;
        end.link[0] = node;
        s.first = node;
    }
    ++s.count;
    return 1;
}

long long TwoLevelTour::prependTo(int segment, int node) {
    Segment& s = segments_[static_cast<std::size_t>(segment)];
    Node& n = nodes_[static_cast<std::size_t>(node)];
    n.segment = segment;
    if (s.reversed == 0) {
        Node& end = nodes_[static_cast<std::size_t>(s.first)];
        n.id = end.id - 1;
        n.link[1] = s.first;
        end.link[0] = node;
        s.first = node;
    } else {
        Node& end = nodes_[static_cast<std::size_t>(s.last)];
        n.id = end.id + 1;
        n.link[0] = s.last;
        end.link[1] = node;
        s.last = node;
    }
    ++s.count;
    return 1;
}

void TwoLevelTour::renumber(int segment) {
    Segment& s = segments_[static_cast<std::size_t>(segment)];
    std::int32_t id = 0;
    for (int node = s.first;; node = nodes_[static_cast<std::size_t>(node)].link[1]) {
        nodes_[static_cast<std::size_t>(node)].id = id++;
        if (node == s.last) break;
    }
}

long long TwoLevelTour::splitBefore(int node, int keep) {
    const int segment = nodes_[static_cast<std::size_t>(node)].segment;
    if (node == tourFirst(segment)) return 0;
    Segment& s = segments_[static_cast<std::size_t>(segment)];
    const int ahead = offset(node);
    const int previousSegment = s.link[0];
    const int nextSegment = s.link[1];
    const int keepSegment = keep < 0 ? -1 : nodes_[static_cast<std::size_t>(keep)].segment;
    // The smaller part joins its neighbour, unless that would bury `keep`:
    // it is first of this segment (the part before `node` must stay) or of
    // the next (nothing may go in front of it).
    const int grownBefore = segments_[static_cast<std::size_t>(previousSegment)].count + ahead;
    const int grownAfter = segments_[static_cast<std::size_t>(nextSegment)].count + s.count - ahead;
    bool movePrefix = grownBefore <= grownAfter;
    if (keepSegment == segment) movePrefix = false;
    else if (keepSegment == nextSegment) movePrefix = true;
    long long work = 0;
    int changed;
    if (movePrefix) {
        for (int x = tourFirst(segment); x != node;) {
            const int following = next(x);
            work += appendTo(previousSegment, x);
            x = following;
        }
        if (s.reversed == 0) s.first = node;
        else s.last = node;
        changed = previousSegment;
    } else {
        const int end = previous(node);
        for (int x = tourLast(segment);;) {
            const int preceding = previous(x);
            work += prependTo(nextSegment, x);
            if (x == node) break;
            x = preceding;
        }
        if (s.reversed == 0) s.last = end;
        else s.first = end;
        changed = nextSegment;
    }
    s.count -= static_cast<std::int32_t>(work);
    const Segment& grown = segments_[static_cast<std::size_t>(changed)];
    if (grown.count > kGrowth * length_) grown_ = true;
    if (nodes_[static_cast<std::size_t>(grown.first)].id < -kLargestId ||
        nodes_[static_cast<std::size_t>(grown.last)].id > kLargestId)
        renumber(changed);
    return work;
}

long long TwoLevelTour::reverseSegments(int first, int last) {
    const int count = static_cast<int>(segments_.size());
    const int before = segments_[static_cast<std::size_t>(first)].link[0];
    const int after = segments_[static_cast<std::size_t>(last)].link[1];
    std::int32_t rank = segments_[static_cast<std::size_t>(first)].rank;
    scratch_.clear();
    for (int segment = first;; segment = segments_[static_cast<std::size_t>(segment)].link[1]) {
        scratch_.push_back(segment);
        if (segment == last) break;
    }
    const int run = static_cast<int>(scratch_.size());
    for (int k = run - 1; k >= 0; --k) {
        Segment& s = segments_[static_cast<std::size_t>(scratch_[static_cast<std::size_t>(k)])];
        s.link[0] = k + 1 == run ? before : scratch_[static_cast<std::size_t>(k + 1)];
        s.link[1] = k == 0 ? after : scratch_[static_cast<std::size_t>(k - 1)];
        s.reversed ^= 1;
        s.rank = rank;
        rank = rank + 1 == count ? 0 : rank + 1;
    }
    segments_[static_cast<std::size_t>(before)].link[1] = last;
    segments_[static_cast<std::size_t>(after)].link[0] = first;
    return run;
}

int TwoLevelTour::largestSegment() const {
    int largest = 0;
    for (const Segment& s : segments_) largest = std::max(largest, static_cast<int>(s.count));
    return largest;
}

bool TwoLevelTour::consistent() const {
    const int count = static_cast<int>(segments_.size());
    int total = 0;
    int segment = 0;
    for (int k = 0; k < count; ++k) {
        const Segment& s = segments_[static_cast<std::size_t>(segment)];
        const Segment& following = segments_[static_cast<std::size_t>(s.link[1])];
        if (following.link[0] != segment) return false;
        if (following.rank != (s.rank + 1) % count) return false;
        int members = 0;
        for (int node = s.first;; node = nodes_[static_cast<std::size_t>(node)].link[1]) {
            const Node& n = nodes_[static_cast<std::size_t>(node)];
            if (n.segment != segment || n.id != nodes_[static_cast<std::size_t>(s.first)].id + members) return false;
            if (++members > size()) return false;
            if (node == s.last) break;
            if (nodes_[static_cast<std::size_t>(n.link[1])].link[0] != node) return false;
        }
        if (members != s.count) return false;
        total += members;
        segment = s.link[1];
    }
    return segment == 0 && total == size();
}

}  // namespace tw::nearopt
