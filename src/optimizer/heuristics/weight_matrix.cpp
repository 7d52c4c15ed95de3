#include "optimizer/heuristics/weight_matrix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>
#include <vector>

namespace tw {
namespace {

SearchProgress gProgress;

constexpr char kSpinnerCharacters[] = "|/-\\";
constexpr int kSpinnerPositions = 4;
constexpr char kBackspace = '\b';
// Significant digits of the statistics line (as "%lg" prints them).
constexpr int kStatisticsDigits = 6;

// One entry of a table row: a point and its distance from the row's point.
struct RankEntry {
    int point;
    double distance;
};

// `count` rows of `count` entries. Row i starts as (j, d(i, j)) for every j
// and, once sorted, lists all points by increasing distance from point i:
// position r holds its r-th nearest neighbour (position 0 normally i itself).
class DistanceTable {
public:
    // Throws std::bad_alloc when memory is short.
    explicit DistanceTable(const PathOptimizer& optimizer)
        : count_(optimizer.count),
          entries_(static_cast<std::size_t>(count_) * static_cast<std::size_t>(count_)) {
        const auto& points = optimizer.points;
        for (int i = 0; i < count_; ++i) {
            row(i)[i] = RankEntry{i, 0.0};
            for (int j = i + 1; j < count_; ++j) {
                const double distance = planeDistance(points[i].x, points[i].y, points[j].x, points[j].y);
                row(i)[j] = RankEntry{j, distance};
                row(j)[i] = RankEntry{i, distance};
            }
        }
    }

    int count() const { return count_; }
    RankEntry* row(int i) { return entries_.data() + static_cast<std::size_t>(i) * count_; }
    const RankEntry* row(int i) const { return entries_.data() + static_cast<std::size_t>(i) * count_; }

private:
    int count_;
    std::vector<RankEntry> entries_;
};

// Quicksort of row[lower..upper] by ascending distance; the pivot is the
// distance of the range's first entry. The two parts are disjoint, so
// sorting the smaller one recursively and the larger one in the loop gives
// the same row as lower-then-upper recursion, with the stack bounded.
void sortRow(RankEntry* row, int lower, int upper) {
    while (lower < upper) {
        const double pivot = row[lower].distance;
        int i = lower;
        int j = upper;
        while (i <= j) {
            while (row[i].distance < pivot && i < upper) ++i;
            while (row[j].distance > pivot && j > lower) --j;
            if (i <= j) {
                const RankEntry swapped = row[i];
                row[i] = row[j];
                row[j] = swapped;
                ++i;
                --j;
            }
        }
        if (j - lower < upper - i) {
            if (lower < j) sortRow(row, lower, j);
            lower = i;
        } else {
            if (i < upper) sortRow(row, i, upper);
            upper = j;
        }
    }
}

struct RowStatistics {
    double nearestSum = 0.0;   // S1: sum of the position-1 distances
    double nearestMax = 0.0;   // M1: the largest of them
    double farthestSum = 0.0;  // SF: sum of the last distances
};

RowStatistics sortRows(DistanceTable& table) {
    RowStatistics statistics;
    const int count = table.count();
    for (int i = 0; i < count; ++i) {
        RankEntry* row = table.row(i);
        sortRow(row, 0, count - 1);
        const double nearest = row[1].distance;
        statistics.nearestSum += nearest;
        if (nearest > statistics.nearestMax) statistics.nearestMax = nearest;
        statistics.farthestSum += row[count - 1].distance;
    }
    return statistics;
}

// The first column c (1..count-1) after which the points at positions 1..c
// of all rows cover every point, or 0 when none does.
int coverageColumn(const DistanceTable& table) {
    const int count = table.count();
    std::vector<char> marked(static_cast<std::size_t>(count), 0);
    int markedCount = 0;
    for (int column = 1; column < count; ++column) {
        for (int i = 0; i < count; ++i) {
            const int point = table.row(i)[column].point;
            if (marked[point] == 0) {
                marked[point] = 1;
                ++markedCount;
            }
        }
        if (markedCount == count) return column;
    }
    return 0;
}

void printNumber(std::FILE* out, double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general,
                                      kStatisticsDigits);
    std::fwrite(text, 1, static_cast<std::size_t>(result.ptr - text), out);
}

// Marks by generation: a point is marked when its stamp equals the current
// one, so clearing all marks is one increment.
class Marks {
public:
    explicit Marks(int count) : stamps_(static_cast<std::size_t>(count), 0) {}
    void clear() {
        if (++current_ == 0) {
            std::fill(stamps_.begin(), stamps_.end(), 0u);
            current_ = 1;
        }
    }
    bool marked(int point) const { return stamps_[point] == current_; }
    void mark(int point) { stamps_[point] = current_; }

private:
    std::vector<unsigned> stamps_;
    unsigned current_ = 0;
};

constexpr int kCheckPassed = -1;

// Checks the successor vector given by `digits`: kCheckPassed when the
// successors form one cycle through all points (they are then in
// `successors`), else the position where the check fails. A rank equal to
// `count` (possible at the last level) lies beyond the row and fails there.
int checkSuccessors(const DistanceTable& table, const std::vector<int>& digits,
                    std::vector<int>& successors, Marks& marks) {
    const int count = table.count();
    marks.clear();
    for (int i = 0; i < count; ++i) {
        if (digits[i] >= count) return i;
        const int successor = table.row(i)[digits[i]].point;
        if (marks.marked(successor)) return i;
        marks.mark(successor);
        successors[i] = successor;
    }
    marks.clear();
    int x = successors[count - 1];
    for (int step = 0; step < count; ++step) {
        x = successors[x];
        if (marks.marked(x)) return count - 1;
        marks.mark(x);
    }
    return kCheckPassed;
}

// Digit i is the neighbour rank of point i's successor, 1..base. Each level
// (base) visits only vectors that have a digit equal to the base. Advancing
// after a check failed at position p (0 is the most significant digit):
//
//   case                       step
//   digit p below the base     digits after p become 1, digit p + 1
//   digit p at the base        carry: digits at the base become 1 going left,
//                              the first one below it + 1; digits after p -> 1
//   carry past position 0      level exhausted: at base == count the odometer
//                              is exhausted, else base + 1, "." printed,
//                              digits (1, ..., 1, base)
//   then no digit at the base  the last digit becomes the base
class RankOdometer {
public:
    RankOdometer(int count, int coverage, SearchProgress& progress, std::FILE* out)
        : digits_(static_cast<std::size_t>(count), 1), atBase_(count), progress_(progress), out_(out) {
        if (coverage > 1) {
            base_ = coverage;
            digits_.back() = coverage;
            atBase_ = 1;
        }
    }

    const std::vector<int>& digits() const { return digits_; }

    // Skips every vector sharing digits 0..position with the current one;
    // false when all levels are exhausted.
    bool advance(int position) {
        tickSpinner();
        const int last = static_cast<int>(digits_.size()) - 1;
        if (digits_[position] < base_) {
            resetAfter(position);
            setDigit(position, digits_[position] + 1);
        } else {
            int carry = position;
            while (carry >= 0 && digits_[carry] == base_) {
                setDigit(carry, 1);
                --carry;
            }
            if (carry < 0) return nextLevel();
            setDigit(carry, digits_[carry] + 1);
            resetAfter(position);
        }
        if (atBase_ == 0) setDigit(last, base_);
        return true;
    }

private:
    void setDigit(int position, int value) {
        if (digits_[position] == base_) --atBase_;
        digits_[position] = value;
        if (value == base_) ++atBase_;
    }

    void resetAfter(int position) {
        for (int q = position + 1; q < static_cast<int>(digits_.size()); ++q) setDigit(q, 1);
    }

    bool nextLevel() {
        const int count = static_cast<int>(digits_.size());
        if (base_ == count) return false;
        ++base_;
        std::fputc('.', out_);
        std::fill(digits_.begin(), digits_.end(), 1);
        digits_.back() = base_;
        atBase_ = 1;
        return true;
    }

    void tickSpinner() {
        if (++progress_.calls < kSpinnerInterval) return;
        progress_.calls = 0;
        std::fputc(kSpinnerCharacters[progress_.spinner], out_);
        std::fputc(kBackspace, out_);
        std::fflush(out_);
        progress_.spinner = (progress_.spinner + 1) % kSpinnerPositions;
    }

    std::vector<int> digits_;
    int base_ = 1;
    int atBase_;  // number of digits equal to the base
    SearchProgress& progress_;
    std::FILE* out_;
};

bool searchablePoints(const PathOptimizer& optimizer, const WeightMatrixLimits& limits) {
    if (optimizer.count < 2 || optimizer.count > limits.maxPoints) return false;
    if (static_cast<int>(optimizer.points.size()) != optimizer.count ||
        static_cast<int>(optimizer.order.size()) != optimizer.count) {
        return false;
    }
    for (const OptimizerPoint& point : optimizer.points) {
        if (!(std::fabs(point.x) <= kMaxCoordinate) || !(std::fabs(point.y) <= kMaxCoordinate)) return false;
    }
    return true;
}

void search(PathOptimizer& optimizer, const WeightMatrixLimits& limits, SearchProgress& progress,
            std::FILE* out) {
    DistanceTable table(optimizer);
    const RowStatistics statistics = sortRows(table);
    const int count = table.count();

    const int column = coverageColumn(table);
    if (column > 0) std::fprintf(out, "Complete in line %d\n", column);
    const int coverage = column > 0 ? column : 1;

    double estimate = 0.0;
    if (coverage >= 2) {
        for (int i = 0; i < count; ++i) {
            const double spread = table.row(i)[coverage].distance - table.row(i)[1].distance;
            if (i == 0 || spread < estimate) estimate = spread;
        }
    }
    const double bound = statistics.nearestSum - statistics.nearestMax;
    std::fputs("Min: ", out);
    printNumber(out, estimate + statistics.nearestSum - statistics.nearestMax);
    std::fputs(" (", out);
    printNumber(out, bound);
    std::fputs(")   Max: ", out);
    printNumber(out, statistics.farthestSum);
    std::fputs("\n", out);
    std::fflush(out);

    RankOdometer odometer(count, coverage, progress, out);
    std::vector<int> successors(static_cast<std::size_t>(count), 0);
    Marks marks(count);
    long long steps = 0;
    for (;;) {
        const int failed = checkSuccessors(table, odometer.digits(), successors, marks);
        if (failed == kCheckPassed) {
            int x = successors[count - 1];
            for (int k = 0; k < count; ++k) {
                optimizer.order[k] = x;
                x = successors[x];
            }
            break;
        }
        if (steps + count > limits.maxSteps) break;
        steps += count;
        if (!odometer.advance(failed)) break;
    }
    std::fflush(out);
}

}  // namespace

int weightMatrixSearch(PathOptimizer& optimizer) {
    return weightMatrixSearch(optimizer, WeightMatrixLimits{}, gProgress, stdout);
}

int weightMatrixSearch(PathOptimizer& optimizer, const WeightMatrixLimits& limits,
                       SearchProgress& progress, std::FILE* out) {
    if (out == nullptr || !searchablePoints(optimizer, limits)) return 1;
    try {
        search(optimizer, limits, progress, out);
    } catch (const std::bad_alloc&) {
        // Lack of memory: the order is only written after a successful check.
    }
    return 1;
}

}  // namespace tw
