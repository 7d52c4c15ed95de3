#include "optimizer/engines/fast/segment_order.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tw {
namespace {

constexpr std::uint32_t kLastRank = ~std::uint32_t{0};
constexpr int kShortestSegment = 8;

}  // namespace

SegmentOrder::SegmentOrder(int pointCount)
    : slots_(static_cast<std::size_t>(pointCount), -1),
      slotOf_(static_cast<std::size_t>(pointCount), -1),
      segmentOf_(static_cast<std::size_t>(pointCount), 0),
      scratch_(static_cast<std::size_t>(pointCount), -1) {
    segmentLength_ = std::max(kShortestSegment, static_cast<int>(std::sqrt(static_cast<double>(pointCount))));
    // A layout starts with n / length segments and each turn adds at most
    // two; the owner lays the order out afresh when the records run short.
    const std::size_t records = 4 * (static_cast<std::size_t>(pointCount / segmentLength_) + 1) + 16;
    segments_.reserve(records);
    chain_.reserve(records);
}

void SegmentOrder::assign(const std::vector<int>& path) {
    std::copy(path.begin(), path.end(), slots_.begin());
    layOut(static_cast<int>(path.size()));
}

void SegmentOrder::layOut(int count) {
    count_ = count;
    segments_.clear();
    for (int begin = 0; begin < count; begin += segmentLength_) {
        Segment segment;
        segment.begin = begin;
        segment.end = std::min(count, begin + segmentLength_);
        const int id = static_cast<int>(segments_.size());
        segment.previous = id - 1;
        segment.next = segment.end < count ? id + 1 : -1;
        for (int slot = segment.begin; slot < segment.end; ++slot) {
            const std::size_t point = static_cast<std::size_t>(slots_[static_cast<std::size_t>(slot)]);
            slotOf_[point] = slot;
            segmentOf_[point] = id;
        }
        segments_.push_back(segment);
    }
    head_ = segments_.empty() ? -1 : 0;
    tail_ = static_cast<int>(segments_.size()) - 1;
    renumber();
}

void SegmentOrder::renumber() {
    const std::uint32_t spacing = kLastRank / static_cast<std::uint32_t>(segments_.size() + 1);
    std::uint32_t rank = 0;
    for (int at = head_; at >= 0; at = segments_[static_cast<std::size_t>(at)].next) {
        rank += spacing;
        segments_[static_cast<std::size_t>(at)].rank = rank;
    }
}

int SegmentOrder::firstOf(int segment) const {
    const Segment& s = segments_[static_cast<std::size_t>(segment)];
    return slots_[static_cast<std::size_t>(s.reversed ? s.end - 1 : s.begin)];
}

int SegmentOrder::lastOf(int segment) const {
    const Segment& s = segments_[static_cast<std::size_t>(segment)];
    return slots_[static_cast<std::size_t>(s.reversed ? s.begin : s.end - 1)];
}

int SegmentOrder::next(int point) const {
    const Segment& segment = segments_[segmentOf(point)];
    const int slot = slotOf(point);
    if (!segment.reversed && slot + 1 < segment.end) return slots_[static_cast<std::size_t>(slot + 1)];
    if (segment.reversed && slot > segment.begin) return slots_[static_cast<std::size_t>(slot - 1)];
    return segment.next >= 0 ? firstOf(segment.next) : -1;
}

int SegmentOrder::previous(int point) const {
    const Segment& segment = segments_[segmentOf(point)];
    const int slot = slotOf(point);
    if (!segment.reversed && slot > segment.begin) return slots_[static_cast<std::size_t>(slot - 1)];
    if (segment.reversed && slot + 1 < segment.end) return slots_[static_cast<std::size_t>(slot + 1)];
    return segment.previous >= 0 ? lastOf(segment.previous) : -1;
}

std::uint64_t SegmentOrder::position(int point) const {
    const Segment& segment = segments_[segmentOf(point)];
    const std::uint32_t slot = static_cast<std::uint32_t>(slotOf(point));
    return (static_cast<std::uint64_t>(segment.rank) << 32) | (segment.reversed ? kLastRank - slot : slot);
}

void SegmentOrder::splitBefore(int point) {
    const int old = segmentOf_[static_cast<std::size_t>(point)];
    Segment segment = segments_[static_cast<std::size_t>(old)];
    const int slot = slotOf(point);
    // The slots before `point` in path order, and those from it on.
    int earlyBegin;
    int earlyEnd;
    int lateBegin;
    int lateEnd;
    if (!segment.reversed) {
        if (slot == segment.begin) return;
        earlyBegin = segment.begin;
        earlyEnd = slot;
        lateBegin = slot;
        lateEnd = segment.end;
    } else {
        if (slot == segment.end - 1) return;
        earlyBegin = slot + 1;
        earlyEnd = segment.end;
        lateBegin = segment.begin;
        lateEnd = slot + 1;
    }
    // The smaller part moves to a new record, so a split costs at most half
    // a segment.
    const bool earlyMoves = earlyEnd - earlyBegin <= lateEnd - lateBegin;
    const int id = static_cast<int>(segments_.size());
    Segment part = segment;
    if (earlyMoves) {
        part.begin = earlyBegin;
        part.end = earlyEnd;
        part.previous = segment.previous;
        part.next = old;
        segment.begin = lateBegin;
        segment.end = lateEnd;
        if (segment.previous >= 0) {
            segments_[static_cast<std::size_t>(segment.previous)].next = id;
        } else {
            head_ = id;
        }
        segment.previous = id;
    } else {
        part.begin = lateBegin;
        part.end = lateEnd;
        part.previous = old;
        part.next = segment.next;
        segment.begin = earlyBegin;
        segment.end = earlyEnd;
        if (segment.next >= 0) {
            segments_[static_cast<std::size_t>(segment.next)].previous = id;
        } else {
            tail_ = id;
        }
        segment.next = id;
    }
    segments_[static_cast<std::size_t>(old)] = segment;
    segments_.push_back(part);
    for (int s = part.begin; s < part.end; ++s) segmentOf_[static_cast<std::size_t>(slots_[static_cast<std::size_t>(s)])] = id;
    rankBetween(id);
}

void SegmentOrder::rankBetween(int inserted) {
    Segment& segment = segments_[static_cast<std::size_t>(inserted)];
    const std::uint32_t low = segment.previous >= 0 ? segments_[static_cast<std::size_t>(segment.previous)].rank : 0;
    const std::uint32_t high = segment.next >= 0 ? segments_[static_cast<std::size_t>(segment.next)].rank : kLastRank;
    if (high - low >= 2) {
        segment.rank = low + (high - low) / 2;
    } else {
        renumber();
    }
}

void SegmentOrder::turnInside(int b, int c, std::uint64_t now) {
    splitBefore(b);
    const int after = next(c);
    if (after >= 0 && segmentOf(after) == segmentOf(c)) splitBefore(after);
    const int first = segmentOf_[static_cast<std::size_t>(b)];
    const int last = segmentOf_[static_cast<std::size_t>(c)];
    chain_.clear();
    for (int at = first;; at = segments_[static_cast<std::size_t>(at)].next) {
        chain_.push_back(at);
        if (at == last) break;
    }
    const int before = segments_[static_cast<std::size_t>(first)].previous;
    const int behind = segments_[static_cast<std::size_t>(last)].next;
    // The chain keeps its ranks in reverse order.
    for (std::size_t i = 0, j = chain_.size() - 1; i < j; ++i, --j) {
        std::swap(segments_[static_cast<std::size_t>(chain_[i])].rank, segments_[static_cast<std::size_t>(chain_[j])].rank);
    }
    for (const int at : chain_) {
        Segment& segment = segments_[static_cast<std::size_t>(at)];
        std::swap(segment.previous, segment.next);
        segment.reversed = !segment.reversed;
        segment.turned = now;
    }
    segments_[static_cast<std::size_t>(last)].previous = before;
    segments_[static_cast<std::size_t>(first)].next = behind;
    if (before >= 0) {
        segments_[static_cast<std::size_t>(before)].next = last;
    } else {
        head_ = last;
    }
    if (behind >= 0) {
        segments_[static_cast<std::size_t>(behind)].previous = first;
    } else {
        tail_ = first;
    }
}

}  // namespace tw
