// What both tours of the near-optimal search share: every change is a
// two-exchange, recorded so that a series of them can be taken back.
//
// `exchange(t1, t2, t3, t4)` removes the edges (t1,t2) and (t3,t4) and adds
// (t2,t3) and (t4,t1). It needs t2 to follow t1 and t4 to precede t3, or t2
// to precede t1 and t4 to follow t3; then the result is again one tour. The
// tour type supplies next(node) and reversePath(from, to), which reverses the
// tour from `from` forwards to `to` and returns the work it cost.
#pragma once

#include <cstddef>
#include <vector>

namespace tw::nearopt {

struct Exchange {
    int t1, t2, t3, t4;
};

template <class Tour>
class ExchangeLog {
public:
    // Applies and records the exchange (preconditions above); returns the
    // work it cost.
    long long exchange(int t1, int t2, int t3, int t4) {
        log_.push_back({t1, t2, t3, t4});
        return apply(t1, t2, t4);
    }

    // Number of recorded exchanges; undoTo(mark) takes back every exchange
    // recorded after `mark` was read, forgetting them.
    std::size_t mark() const { return log_.size(); }
    long long undoTo(std::size_t mark) {
        long long work = 0;
        while (log_.size() > mark) {
            const Exchange e = log_.back();
            log_.pop_back();
            // After the exchange t4 is t1's neighbour and t2 is t3's, on the
            // sides the preconditions need: exchanging them back restores it.
            work += apply(e.t1, e.t4, e.t2);
        }
        return work;
    }
    void forget() { log_.clear(); }
    const Exchange& recorded(std::size_t index) const { return log_[index]; }

private:
    long long apply(int t1, int t2, int t4) {
        // Tour t1 t2 .. t4 t3: reversing t2 .. t4 gives t1 t4 .. t2 t3.
        Tour& tour = static_cast<Tour&>(*this);
        if (tour.next(t1) == t2) return tour.reversePath(t2, t4);
        return tour.reversePath(t4, t2);
    }

    std::vector<Exchange> log_;
};

}  // namespace tw::nearopt
