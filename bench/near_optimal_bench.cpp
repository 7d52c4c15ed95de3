// Near-optimal mode benchmark: every TSPLIB drilling instance of the shared
// benchmark folder, from the start point of its reference open path
// (reference_paths.csv), at one effort; then the effort curve (ratio against
// processor time) on pcb3038 and d18512.
//
// Each row gives the processor time of the optimize call alone (the contour
// driver's lower bound is not part of the mode), the shares of it spent in
// set-up (merging, Hilbert order, candidate lists, reading the path out),
// the first local search and the kicks, the peak resident memory of the run
// (Linux: the high-water mark is reset to the current size before each run,
// so memory the allocator kept from a larger earlier run still counts; run
// one set alone for its own figure), the length, the
// ratio to the reference and whether the order is a permutation. Usage:
//
//   bench_near_optimal_bench [--effort E] [--max-points N] [--curve E,E,...]
//                            [--curve-sets name,name,...] [--no-curve]
//                            [--sets name,name,...] [--seeds N]
//
// Defaults: effort 10 (the mode's default), every instance, curve efforts
// 1,2,5,10,20,50,100 on pcb3038,d18512. --sets runs synthetic sets instead
// of the TSPLIB instances (uniform-100000, clustered-85900, grid-N; see
// optimizer_bench_sets.h); they have no reference, so no ratio. --seeds N
// runs every instance again with N other sequences of kicks than the
// module's and prints, per instance, the mean and the worst ratio over them:
// one sequence can be lucky or unlucky on an instance by a percent, so a
// change of tuning is judged on these figures.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "optimizer_bench_sets.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"
#include "optimizer/near_optimal/near_optimal.h"
#include "optimizer/near_optimal/search_effort.h"

namespace {

using bench::Point;
using bench::readTsplib;
using bench::splitList;

struct Instance {
    std::string name;
    std::vector<Point> points;
    Point start;
    double reference;
};

struct Result {
    double cpuSeconds = 0;
    double phaseSeconds[3] = {0, 0, 0};  // set-up, local search, kicks
    double peakMiB = 0;
    double length = 0;
    bool permutation = false;
};

// Instances in order of size.
std::vector<Instance> readInstances(int maxPoints) {
    const std::string directory = TW_SHARED_BENCH_DIR;
    std::ifstream in(directory + "/reference_paths.csv");
    std::vector<Instance> instances;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = splitList(line);
        if (fields.size() < 5) continue;
        const int count = std::atoi(fields[1].c_str());
        if (count > maxPoints) continue;
        const std::optional<std::vector<Point>> points = readTsplib(directory + "/tsplib/" + fields[0] + ".tsp");
        if (!points || static_cast<int>(points->size()) != count) {
            std::fprintf(stderr, "skipping %s: cannot read %d points\n", fields[0].c_str(), count);
            continue;
        }
        instances.push_back({fields[0], *points,
                             {std::strtod(fields[2].c_str(), nullptr), std::strtod(fields[3].c_str(), nullptr)},
                             std::strtod(fields[4].c_str(), nullptr)});
    }
    std::stable_sort(instances.begin(), instances.end(),
                     [](const Instance& a, const Instance& b) { return a.points.size() < b.points.size(); });
    return instances;
}

std::clock_t phaseStart = 0;
double phaseSeconds[3] = {0, 0, 0};

void notePhase(tw::nearopt::Phase finished) {
    const std::clock_t now = std::clock();
    phaseSeconds[static_cast<int>(finished)] += static_cast<double>(now - phaseStart) / CLOCKS_PER_SEC;
    phaseStart = now;
}

// Resets the resident-memory high-water mark (Linux; elsewhere nothing).
void resetPeakMemory() {
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file == nullptr) return;
    std::fputs("5", file);
    std::fclose(file);
}

// The high-water mark in MiB, 0 when unknown.
double peakMemoryMiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

Result run(const Instance& instance, int effort) {
    PathOptimizer* optimizer = tw::optimizerCreate(&tw::StandardPathOptimizer, "bench");
    Result result;
    if (optimizer == nullptr) return result;
    optimizer->algorithm = tw::kAlgorithmNearOptimal;
    for (const Point& p : instance.points) tw::optimizerAddPoint(optimizer, nullptr, p.x, p.y, 0, 0, 0);
    tw::optimizerSetStartPoint(optimizer, nullptr, instance.start.x, instance.start.y, 0);
    tw::searchEffort = effort;
    resetPeakMemory();
    for (double& seconds : phaseSeconds) seconds = 0;
    tw::nearopt::phaseHook = notePhase;
    const std::clock_t begin = std::clock();
    phaseStart = begin;
    tw::optimizerOptimize(optimizer);
    const std::clock_t end = std::clock();
    tw::nearopt::phaseHook = nullptr;
    result.cpuSeconds = static_cast<double>(end - begin) / CLOCKS_PER_SEC;
    result.peakMiB = peakMemoryMiB();
    // Whatever follows the kicks (reading the path out, the length check)
    // counts as set-up.
    phaseSeconds[0] += static_cast<double>(end - phaseStart) / CLOCKS_PER_SEC;
    for (int k = 0; k < 3; ++k) result.phaseSeconds[k] = phaseSeconds[k];
    tw::optimizerComputeLength(optimizer);
    result.length = optimizer->length;
    std::vector<int> sorted = optimizer->order;
    std::sort(sorted.begin(), sorted.end());
    result.permutation = static_cast<int>(sorted.size()) == optimizer->count;
    for (int k = 0; result.permutation && k < optimizer->count; ++k) result.permutation = sorted[k] == k;
    tw::optimizerDestroy(optimizer);
    tw::searchEffort = tw::kDefaultSearchEffort;
    return result;
}

void printRow(const Instance& instance, int effort, const Result& result) {
    auto share = [&](int phase) {
        return result.cpuSeconds > 0 ? 100.0 * result.phaseSeconds[phase] / result.cpuSeconds : 0.0;
    };
    std::printf("%-16s %6zu %6d %9.3f %5.0f%% %5.0f%% %5.0f%% %8.1f %16.3f", instance.name.c_str(),
                instance.points.size(), effort, result.cpuSeconds, share(0), share(1), share(2), result.peakMiB,
                result.length);
    if (instance.reference > 0) {
        std::printf(" %16.3f %8.4f", instance.reference, result.length / instance.reference);
    } else {
        std::printf(" %16s %8s", "-", "-");
    }
    std::printf(" %s\n", result.permutation ? "yes" : "NO");
    std::fflush(stdout);
}

void printHead(const char* title) {
    std::printf("\n%s\n%-16s %6s %6s %9s %6s %6s %6s %8s %16s %16s %8s %s\n", title, "instance", "n", "effort", "cpu s",
                "set-up", "search", "kicks", "peak MiB", "length", "reference", "ratio", "perm");
}

}  // namespace

int main(int argc, char** argv) {
    int effort = tw::kDefaultSearchEffort;
    int maxPoints = 1 << 30;
    bool curve = true;
    std::vector<std::string> curveEfforts = {"1", "2", "5", "10", "20", "50", "100"};
    std::vector<std::string> curveSets = {"pcb3038", "d18512"};
    std::vector<std::string> syntheticNames;
    int seeds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--effort" && hasValue) {
            effort = std::clamp(std::atoi(argv[++i]), tw::kMinSearchEffort, tw::kMaxSearchEffort);
        } else if (argument == "--max-points" && hasValue) {
            maxPoints = std::atoi(argv[++i]);
        } else if (argument == "--curve" && hasValue) {
            curveEfforts = splitList(argv[++i]);
        } else if (argument == "--curve-sets" && hasValue) {
            curveSets = splitList(argv[++i]);
        } else if (argument == "--no-curve") {
            curve = false;
        } else if (argument == "--sets" && hasValue) {
            syntheticNames = splitList(argv[++i]);
        } else if (argument == "--seeds" && hasValue) {
            seeds = std::clamp(std::atoi(argv[++i]), 0, 1000);
        } else {
            std::fprintf(stderr, "usage: %s [--effort E] [--max-points N] [--curve E,E,...] [--curve-sets a,b] [--no-curve] [--sets a,b|file.tsp] [--seeds N]\n",
                         argv[0]);
            return 2;
        }
    }
    if (!syntheticNames.empty()) {
        printHead("nearOptimal on synthetic sets");
        for (const std::string& name : syntheticNames) {
            std::optional<bench::PointSet> set = bench::syntheticSet(name);
            // A TSPLIB file of one's own (pla85900, say), started at its
            // first point; no reference.
            if (!set && name.size() > 4 && name.compare(name.size() - 4, 4, ".tsp") == 0) {
                if (std::optional<std::vector<bench::Point>> points = bench::readTsplib(name); points && !points->empty()) {
                    const std::size_t slash = name.find_last_of('/');
                    set = bench::PointSet{name.substr(slash == std::string::npos ? 0 : slash + 1), *points,
                                          points->front(), std::nullopt};
                }
            }
            if (!set) {
                std::fprintf(stderr, "unknown set %s\n", name.c_str());
                return 2;
            }
            const Instance instance{set->name, set->points, set->start, 0.0};
            printRow(instance, effort, run(instance, effort));
        }
        return 0;
    }
    const std::vector<Instance> instances = readInstances(maxPoints);
    if (instances.empty()) {
        std::fprintf(stderr, "no instances found under %s\n", TW_SHARED_BENCH_DIR);
        return 1;
    }

    printHead("nearOptimal on the TSPLIB drilling instances");
    double ratioSum = 0;
    double worst = 0;
    for (const Instance& instance : instances) {
        const Result result = run(instance, effort);
        printRow(instance, effort, result);
        const double ratio = result.length / instance.reference;
        ratioSum += ratio;
        worst = std::max(worst, ratio);
    }
    std::printf("mean ratio %.4f, worst ratio %.4f over %zu instances\n", ratioSum / static_cast<double>(instances.size()),
                worst, instances.size());

    if (seeds > 0) {
        std::printf("\nother sequences of kicks: ratio over %d of them\n%-16s %6s %9s %8s %8s\n", seeds, "instance", "n",
                    "cpu s", "mean", "worst");
        double meanSum = 0;
        double worstOfAll = 0;
        for (const Instance& instance : instances) {
            double sum = 0;
            double seconds = 0;
            double worstHere = 0;
            for (int sequence = 1; sequence <= seeds; ++sequence) {
                tw::nearopt::kickSequence = static_cast<std::uint64_t>(sequence);
                const Result result = run(instance, effort);
                const double ratio = result.length / instance.reference;
                sum += ratio;
                seconds += result.cpuSeconds;
                worstHere = std::max(worstHere, ratio);
            }
            tw::nearopt::kickSequence = 0;
            std::printf("%-16s %6zu %9.3f %8.4f %8.4f\n", instance.name.c_str(), instance.points.size(), seconds / seeds,
                        sum / seeds, worstHere);
            std::fflush(stdout);
            meanSum += sum / seeds;
            worstOfAll = std::max(worstOfAll, worstHere);
        }
        std::printf("mean ratio %.4f, worst ratio %.4f over %zu instances and %d sequences\n",
                    meanSum / static_cast<double>(instances.size()), worstOfAll, instances.size(), seeds);
    }

    if (!curve) return 0;
    printHead("effort curve: ratio against processor time");
    for (const std::string& name : curveSets) {
        for (const Instance& instance : instances) {
            if (instance.name != name) continue;
            for (const std::string& text : curveEfforts) {
                const int e = std::clamp(std::atoi(text.c_str()), tw::kMinSearchEffort, tw::kMaxSearchEffort);
                printRow(instance, e, run(instance, e));
            }
        }
    }
    return 0;
}
