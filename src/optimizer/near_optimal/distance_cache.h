// A cache of node-to-node distances for the near-optimal search, which asks
// for the same few tour and candidate edges over and over while exactHypot is
// costly.
//
// Direct-mapped: a pair of nodes has one slot, chosen by a fixed-width hash of
// the pair; a miss computes the distance and takes the slot over. A cached
// value is exactly the computed one, so the cache changes the time a search
// takes, never its decisions. Memory: one 16-byte slot per node, rounded up
// to a power of two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::nearopt {

class DistanceCache {
public:
    DistanceCache() = default;
    // Room for about `nodes` pairs.
    explicit DistanceCache(int nodes) {
        std::size_t slots = 1024;
        while (slots < static_cast<std::size_t>(nodes)) slots *= 2;
        slots_.assign(slots, Slot{});
        mask_ = static_cast<std::uint32_t>(slots - 1);
    }

    bool empty() const { return slots_.empty(); }

    // The distance of (a, b), computing and keeping it with `compute(a, b)`
    // on a miss.
    template <typename Compute>
    double get(int a, int b, Compute compute) {
        if (a > b) {
            const int t = a;
            a = b;
            b = t;
        }
        Slot& slot = slots_[index(a, b)];
        if (slot.a != a || slot.b != b) {
            slot.a = a;
            slot.b = b;
            slot.distance = compute(a, b);
        }
        return slot.distance;
    }

private:
    struct Slot {
        std::int32_t a = -1;
        std::int32_t b = -1;
        double distance = 0.0;
    };

    std::size_t index(int a, int b) const {
        const std::uint32_t h = static_cast<std::uint32_t>(a) * 0x9E3779B1u ^ static_cast<std::uint32_t>(b) * 0x85EBCA77u;
        return static_cast<std::size_t>((h ^ (h >> 15)) & mask_);
    }

    std::vector<Slot> slots_;
    std::uint32_t mask_ = 0;
};

}  // namespace tw::nearopt
