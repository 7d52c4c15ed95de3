// Path-optimizer benchmark: both engines, on the same point sets, for every
// configurable algorithm name. The sets are synthetic (uniform, clustered,
// hole grid; the start at the lower-left corner of the bounding box) and the
// TSPLIB drilling instances (started where reference_paths.csv says, so the
// ratio to its open-path length compares the same open path).
//
// For every set and name it prints the processor time of one contour's work
// (the lower bound where the algorithm reads it, optimize, final length, as
// the contour driver does it) under the reference engine and under the fast
// engine, the speed-up, the peak resident memory of each run's process,
// whether the two outputs are identical (order and length bits), the length
// and the ratio to the reference length. Runs shorter than --min-time are
// repeated and averaged.
// At the end it fits, for every name, the exponent of the fast engine's time
// against the number of points (least squares of log time on log n over
// the sets of 2,000 to 18,512 points), and over the sets of 16,000 to
// 128,000 points the exponents of its time and of its peak memory, which
// show whether a name keeps its pace on large sets.
//
// Each run happens in a child process whose processor time is capped (and
// whose wall-clock time is capped at four times that): a reference run that
// hits its cap is reported as "over", and then neither a speed-up nor an
// identity can be given. Usage:
//
//   bench_optimizer_bench [--cap SECONDS] [--fast-cap SECONDS] [--fast-only]
//                         [--names name,...] [--sets set,...] [--sizes N,...]
//                         [--max-tsplib N] [--min-time SECONDS] [--scale]
//
// --sets takes kinds (uniform, clustered, grid, tsplib) and single sets
// (uniform-5000, grid-2000, rl5915, ...). Defaults: reference cap 20 s,
// fast cap 300 s, every name, uniform sets of 1,000 to 16,000 points
// (--sizes), clustered and grid sets of 5,000 and 16,000, and every TSPLIB
// instance up to --max-tsplib (18,512) points. --scale picks the uniform
// sets of 16,000, 32,000, 64,000 and 128,000 points instead (the fast
// engine alone unless --sets or --sizes follow it).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#define TW_BENCH_CHILD_PROCESSES 1
#endif

#include "optimizer/engines/engine.h"
#include "optimizer_bench_sets.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"

namespace {

using bench::Point;
using bench::PointSet;
using bench::splitList;

constexpr double kDefaultCapSeconds = 20.0;
constexpr double kDefaultFastCapSeconds = 300.0;
constexpr double kDefaultMinSeconds = 0.5;
constexpr int kDefaultMaxTsplibPoints = 18512;
// Sets whose sizes enter the fitted exponent.
constexpr int kFitSmallest = 2000;
constexpr int kFitLargest = 18512;
// Sets whose sizes enter the large-set exponents.
constexpr int kScaleSmallest = 16000;
constexpr int kScaleLargest = 128000;

// ---------------------------------------------------------------- runs

// What a child reports, followed by `count` order entries.
struct RunHeader {
    int ok = 0;
    int count = 0;
    int repeats = 0;
    double length = 0;
    double cpuSeconds = 0;  // processor time of one run (mean over repeats)
    double wallSeconds = 0;
    long peakKilobytes = 0;
};

struct RunResult {
    RunHeader header;
    std::vector<int> order;
};

enum class Status { kDone, kCapped, kFailed, kSkipped };

struct Measured {
    Status status = Status::kSkipped;
    RunResult result;
};

double cpuSecondsSoFar() {
#if defined(TW_BENCH_CHILD_PROCESSES)
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
#else
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

long peakKilobytes() {
#if defined(TW_BENCH_CHILD_PROCESSES)
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
#else
    return 0;
#endif
}

// One contour's work as the contour driver does it, under `engine`;
// repeated until `minSeconds` of processor time have passed.
RunResult optimizeTimed(const PointSet& set, int code, tw::EngineKind engine, double minSeconds) {
    RunResult result;
    tw::EngineScope scope(engine);
    double cpuTotal = 0;
    double wallTotal = 0;
    do {
        PathOptimizer* optimizer = tw::optimizerCreate(&tw::StandardPathOptimizer, set.name.c_str());
        if (optimizer == nullptr) return result;
        optimizer->algorithm = code;
        for (const Point& p : set.points) tw::optimizerAddPoint(optimizer, nullptr, p.x, p.y, 0, 0, 0);
        const auto wallBegin = std::chrono::steady_clock::now();
        const double cpuBegin = cpuSecondsSoFar();
        tw::optimizerSetStartPoint(optimizer, nullptr, set.start.x, set.start.y, 0);
        if (tw::readsLowerBound(code)) tw::lengthLowerBound = tw::computeLowerBound(*optimizer);
        tw::optimizerOptimize(optimizer);
        tw::optimizerComputeLength(optimizer);
        cpuTotal += cpuSecondsSoFar() - cpuBegin;
        wallTotal += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBegin).count();
        if (result.header.repeats++ == 0) {
            result.header.length = optimizer->length;
            result.header.count = optimizer->count;
            result.order = optimizer->order;
        }
        tw::optimizerDestroy(optimizer);
    } while (cpuTotal < minSeconds);
    result.header.ok = 1;
    result.header.cpuSeconds = cpuTotal / result.header.repeats;
    result.header.wallSeconds = wallTotal / result.header.repeats;
    return result;
}

#if defined(TW_BENCH_CHILD_PROCESSES)
bool writeAll(int descriptor, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::size_t readAll(int descriptor, void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t part = read(descriptor, bytes + got, size - got);
        if (part <= 0) break;
        got += static_cast<std::size_t>(part);
    }
    return got;
}

// Runs the work in a child limited to `capSeconds` of processor time (and
// four times that of wall-clock time, against a stalled machine).
Measured runCapped(const PointSet& set, int code, tw::EngineKind engine, double capSeconds, double minSeconds) {
    Measured measured;
    measured.status = Status::kFailed;
    int channel[2];
    if (pipe(channel) != 0) return measured;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return measured;
    }
    if (child == 0) {
        close(channel[0]);
        const rlim_t seconds = static_cast<rlim_t>(std::ceil(capSeconds));
        struct rlimit limit {seconds, seconds + 1};
        setrlimit(RLIMIT_CPU, &limit);
        struct rlimit noCore {0, 0};  // the cap's signal would dump core
        setrlimit(RLIMIT_CORE, &noCore);
        alarm(static_cast<unsigned>(std::ceil(4 * capSeconds + 10)));
        // The optimizer's banners would break the table.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(1);
        RunResult result = optimizeTimed(set, code, engine, std::min(minSeconds, capSeconds / 2));
        result.header.peakKilobytes = peakKilobytes();
        const bool sent = writeAll(channel[1], &result.header, sizeof result.header) &&
                          writeAll(channel[1], result.order.data(), result.order.size() * sizeof(int));
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    RunResult result;
    bool complete = readAll(channel[0], &result.header, sizeof result.header) == sizeof result.header;
    if (complete && result.header.count >= 0 &&
        result.header.count <= static_cast<int>(set.points.size())) {
        result.order.resize(static_cast<std::size_t>(result.header.count));
        complete = readAll(channel[0], result.order.data(), result.order.size() * sizeof(int)) ==
                   result.order.size() * sizeof(int);
    } else {
        complete = false;
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGALRM ||
                                WTERMSIG(status) == SIGKILL)) {
        measured.status = Status::kCapped;
        return measured;
    }
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || result.header.ok == 0) return measured;
    measured.status = Status::kDone;
    measured.result = std::move(result);
    return measured;
}
#else
Measured runCapped(const PointSet& set, int code, tw::EngineKind engine, double, double minSeconds) {
    Measured measured;  // no child processes: no cap
    measured.result = optimizeTimed(set, code, engine, minSeconds);
    measured.status = measured.result.header.ok != 0 ? Status::kDone : Status::kFailed;
    return measured;
}
#endif

bool isPermutation(const std::vector<int>& order, std::size_t count) {
    if (order.size() != count) return false;
    std::vector<char> seen(count, 0);
    for (int index : order) {
        if (index < 0 || static_cast<std::size_t>(index) >= count || seen[static_cast<std::size_t>(index)] != 0) {
            return false;
        }
        seen[static_cast<std::size_t>(index)] = 1;
    }
    return true;
}

// ---------------------------------------------------------------- table

std::string timeText(const Measured& run, double cap) {
    char text[32];
    switch (run.status) {
        case Status::kDone: std::snprintf(text, sizeof text, "%.3f", run.result.header.cpuSeconds); break;
        case Status::kCapped: std::snprintf(text, sizeof text, ">%.0f", cap); break;
        case Status::kFailed: return "failed";
        case Status::kSkipped: return "-";
    }
    return text;
}

std::string memoryText(const Measured& run) {
    if (run.status != Status::kDone) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", run.result.header.peakKilobytes / 1024.0);
    return text;
}

std::string speedUpText(const Measured& reference, const Measured& fast) {
    if (reference.status == Status::kCapped && fast.status == Status::kDone) return "over";
    if (reference.status != Status::kDone || fast.status != Status::kDone) return "-";
    const double fastSeconds = std::max(fast.result.header.cpuSeconds, 1e-9);
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", reference.result.header.cpuSeconds / fastSeconds);
    return text;
}

std::string identicalText(const Measured& reference, const Measured& fast) {
    if (reference.status != Status::kDone || fast.status != Status::kDone) return "n/a";
    const RunHeader& a = reference.result.header;
    const RunHeader& b = fast.result.header;
    const bool same = reference.result.order == fast.result.order && std::memcmp(&a.length, &b.length, sizeof a.length) == 0;
    return same ? "yes" : "NO";
}

// Least-squares slope of log y on log x.
std::optional<double> fittedExponent(const std::vector<std::pair<double, double>>& samples) {
    if (samples.size() < 2) return std::nullopt;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [x, y] : samples) {
        const double lx = std::log(x);
        const double ly = std::log(y);
        sx += lx;
        sy += ly;
        sxx += lx * lx;
        sxy += lx * ly;
    }
    const double n = static_cast<double>(samples.size());
    const double denominator = n * sxx - sx * sx;
    if (denominator <= 0) return std::nullopt;
    return (n * sxy - sx * sy) / denominator;
}

struct Options {
    double cap = kDefaultCapSeconds;
    double fastCap = kDefaultFastCapSeconds;
    double minSeconds = kDefaultMinSeconds;
    bool fastOnly = false;
    std::vector<std::string> names;
    std::vector<std::string> sets = {"uniform", "clustered", "grid", "tsplib"};
    std::vector<int> sizes = {1000, 2000, 4000, 5000, 8000, 16000};
    int maxTsplib = kDefaultMaxTsplibPoints;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--fast-only") {
            options.fastOnly = true;
            continue;
        }
        if (option == "--scale") {
            // The reference engine would take hours on these sets.
            options.fastOnly = true;
            options.sets = {"uniform"};
            options.sizes = {16000, 32000, 64000, 128000};
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "option %s needs a value\n", option.c_str());
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--cap") options.cap = std::max(1.0, std::strtod(value.c_str(), nullptr));
        else if (option == "--fast-cap") options.fastCap = std::max(1.0, std::strtod(value.c_str(), nullptr));
        else if (option == "--min-time") options.minSeconds = std::max(0.0, std::strtod(value.c_str(), nullptr));
        else if (option == "--max-tsplib") options.maxTsplib = std::atoi(value.c_str());
        else if (option == "--names" || option == "--algorithms") options.names = splitList(value);
        else if (option == "--sets") options.sets = splitList(value);
        else if (option == "--sizes") {
            options.sizes.clear();
            for (const std::string& item : splitList(value)) options.sizes.push_back(std::atoi(item.c_str()));
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return false;
        }
    }
    if (options.names.empty()) {
        for (const tw::AlgorithmName& entry : tw::kAlgorithmNames) options.names.emplace_back(entry.name);
    }
    return true;
}

int codeOf(const std::string& name) {
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames) {
        if (entry.name == name) return entry.code;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) return 2;
    for (const std::string& name : options.names) {
        if (codeOf(name) == 0) {
            std::fprintf(stderr, "unknown algorithm name %s\n", name.c_str());
            return 2;
        }
    }

    std::printf("processor seconds per run (lower bound where read + optimize + final length); reference capped at %.0f s, "
                "fast at %.0f s%s\n\n",
                options.cap, options.fastCap, options.fastOnly ? "; reference not run" : "");
    std::printf("%-16s %6s  %-16s %9s %9s %8s %8s %8s %9s %16s %8s\n", "set", "n", "algorithm", "ref_s", "fast_s",
                "speedup", "ref_MiB", "fast_MiB", "identical", "length", "ratio");
    std::map<std::string, std::vector<std::pair<double, double>>> fastSamples;
    std::map<std::string, std::vector<std::pair<double, double>>> referenceSamples;
    std::map<std::string, std::vector<std::pair<double, double>>> scaleSamples;
    std::map<std::string, std::vector<std::pair<double, double>>> memorySamples;
    for (const std::string& setName : bench::selectedSetNames(options.sets, options.sizes, options.maxTsplib)) {
        std::optional<PointSet> set = bench::syntheticSet(setName);
        if (!set) set = bench::tsplibSet(setName);
        if (!set) {
            std::fprintf(stderr, "unknown set %s\n", setName.c_str());
            continue;
        }
        const std::size_t count = set->points.size();
        for (const std::string& name : options.names) {
            const int code = codeOf(name);
            Measured reference;
            if (!options.fastOnly) {
                reference = runCapped(*set, code, tw::EngineKind::kReference, options.cap, options.minSeconds);
            }
            const Measured fast = runCapped(*set, code, tw::EngineKind::kFast, options.fastCap, options.minSeconds);
            const Measured& shown = fast.status == Status::kDone ? fast : reference;
            char length[32] = "-";
            char ratio[32] = "-";
            std::string note;
            if (shown.status == Status::kDone) {
                std::snprintf(length, sizeof length, "%.3f", shown.result.header.length);
                if (set->reference) std::snprintf(ratio, sizeof ratio, "%.4f", shown.result.header.length / *set->reference);
                const Measured* const runs[] = {&reference, &fast};
                for (const Measured* run : runs) {
                    if (run->status == Status::kDone && !isPermutation(run->result.order, count)) note = "  NOT A PERMUTATION";
                }
            }
            std::printf("%-16s %6zu  %-16s %9s %9s %8s %8s %8s %9s %16s %8s%s\n", set->name.c_str(), count, name.c_str(),
                        timeText(reference, options.cap).c_str(), timeText(fast, options.fastCap).c_str(),
                        speedUpText(reference, fast).c_str(), memoryText(reference).c_str(), memoryText(fast).c_str(),
                        options.fastOnly ? "n/a" : identicalText(reference, fast).c_str(), length, ratio, note.c_str());
            std::fflush(stdout);
            const bool fitted = count >= static_cast<std::size_t>(kFitSmallest) && count <= static_cast<std::size_t>(kFitLargest);
            if (fitted && fast.status == Status::kDone && fast.result.header.cpuSeconds > 0) {
                fastSamples[name].push_back({static_cast<double>(count), fast.result.header.cpuSeconds});
            }
            const bool large = count >= static_cast<std::size_t>(kScaleSmallest) && count <= static_cast<std::size_t>(kScaleLargest);
            if (large && fast.status == Status::kDone && fast.result.header.cpuSeconds > 0) {
                scaleSamples[name].push_back({static_cast<double>(count), fast.result.header.cpuSeconds});
                memorySamples[name].push_back({static_cast<double>(count), static_cast<double>(fast.result.header.peakKilobytes)});
            }
            if (fitted && reference.status == Status::kDone && reference.result.header.cpuSeconds > 0) {
                referenceSamples[name].push_back({static_cast<double>(count), reference.result.header.cpuSeconds});
            }
        }
    }

    std::printf("\nfitted exponent of processor time against points, sets of %d to %d points (least squares of log t on log n)\n",
                kFitSmallest, kFitLargest);
    std::printf("and over the sets of %d to %d points: the fast engine's time and its peak memory (the process's)\n",
                kScaleSmallest, kScaleLargest);
    std::printf("%-16s %8s %5s %10s %5s %10s %10s %5s\n", "algorithm", "fast", "sets", "reference", "sets", "large_fast",
                "large_MiB", "sets");
    for (const std::string& name : options.names) {
        const auto text = [](const std::vector<std::pair<double, double>>& samples) {
            const std::optional<double> exponent = fittedExponent(samples);
            char buffer[32] = "-";
            if (exponent) std::snprintf(buffer, sizeof buffer, "%.2f", *exponent);
            return std::string(buffer);
        };
        std::printf("%-16s %8s %5zu %10s %5zu %10s %10s %5zu\n", name.c_str(), text(fastSamples[name]).c_str(),
                    fastSamples[name].size(), text(referenceSamples[name]).c_str(), referenceSamples[name].size(),
                    text(scaleSamples[name]).c_str(), text(memorySamples[name]).c_str(), scaleSamples[name].size());
    }
    std::printf("(reference exponents cover only the sets it finished within its cap)\n");
    return 0;
}
