// Path-optimizer benchmark: every configurable algorithm on synthetic point
// sets (uniform, clustered, hole grid) and on the TSPLIB drilling instances,
// from a start point at the lower-left corner of each set's bounding box.
//
// For each run it prints the path length, the wall-clock and processor time
// of one contour's work (lower bound, optimize, final length, as the contour
// driver does it), the peak resident memory of the process that ran it, and
// the ratio of the length to the reference open-path length where one
// exists. TSPLIB
// instances start from the start point given with their reference
// (reference_paths.csv: the lower-left corner of the bounding box), so the
// ratio compares the same open path.
//
// Each run happens in a child process with a wall-clock cap; a run that hits
// the cap is abandoned and reported as "cap hit". Usage:
//
//   bench_optimizer_bench [--cap SECONDS] [--sizes N,N,...] [--max-tsplib N]
//                         [--algorithms name,name,...] [--sets name,name,...]
//
// Defaults: cap 20 s, sizes 100,1000,5000, TSPLIB instances up to 5000 points,
// all six algorithms, all sets (uniform, clustered, grid, tsplib).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#define TW_BENCH_CHILD_PROCESSES 1
#endif

#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"

namespace {

struct Point {
    double x;
    double y;
};

struct PointSet {
    std::string name;
    std::vector<Point> points;
    Point start{0, 0};
    std::optional<double> reference;  // reference open-path length
};

struct RunResult {
    double length = 0;
    double seconds = 0;     // wall clock
    double cpuSeconds = 0;  // processor time of the process (user + system)
    long peakKilobytes = 0;
    int permutation = 0;  // 1 when the final order is a permutation
};

constexpr double kDefaultCapSeconds = 20.0;
constexpr int kDefaultMaxTsplibPoints = 5000;
constexpr double kFieldSize = 1000.0;   // side of the synthetic square
constexpr double kClusterRadius = 15.0;
constexpr int kPointsPerCluster = 50;
constexpr double kGridPitch = 2.54;     // 0.1 inch hole pitch
constexpr std::uint64_t kSeed = 20240611;

// Coordinates with three decimals, as a drilling program gives them.
double thousandths(double value) { return std::floor(value * 1000.0 + 0.5) / 1000.0; }

// Uniform in [0, 1) from 53 random bits: the same on every platform.
double unit(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1p-53; }

Point lowerLeft(const std::vector<Point>& points) {
    Point corner = points.front();
    for (const Point& p : points) {
        corner.x = std::min(corner.x, p.x);
        corner.y = std::min(corner.y, p.y);
    }
    return corner;
}

PointSet uniformSet(int count) {
    std::mt19937_64 random(kSeed + static_cast<std::uint64_t>(count));
    PointSet set{"uniform-" + std::to_string(count), {}, {}, std::nullopt};
    for (int i = 0; i < count; ++i) {
        set.points.push_back({thousandths(unit(random) * kFieldSize), thousandths(unit(random) * kFieldSize)});
    }
    set.start = lowerLeft(set.points);
    return set;
}

PointSet clusteredSet(int count) {
    std::mt19937_64 random(kSeed * 3 + static_cast<std::uint64_t>(count));
    PointSet set{"clustered-" + std::to_string(count), {}, {}, std::nullopt};
    const int clusters = std::max(1, count / kPointsPerCluster);
    std::vector<Point> centres;
    for (int c = 0; c < clusters; ++c) centres.push_back({unit(random) * kFieldSize, unit(random) * kFieldSize});
    while (static_cast<int>(set.points.size()) < count) {
        const Point& centre = centres[random() % centres.size()];
        const double dx = (2 * unit(random) - 1) * kClusterRadius;
        const double dy = (2 * unit(random) - 1) * kClusterRadius;
        if (dx * dx + dy * dy > kClusterRadius * kClusterRadius) continue;
        set.points.push_back({thousandths(centre.x + dx), thousandths(centre.y + dy)});
    }
    set.start = lowerLeft(set.points);
    return set;
}

// A regular grid filled row by row: many exactly equal distances.
PointSet gridSet(int count) {
    PointSet set{"grid-" + std::to_string(count), {}, {}, std::nullopt};
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    for (int i = 0; i < count; ++i) {
        set.points.push_back({thousandths((i % columns) * kGridPitch), thousandths((i / columns) * kGridPitch)});
    }
    set.start = lowerLeft(set.points);
    return set;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

std::optional<std::vector<Point>> readTsplib(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::vector<Point> points;
    bool inCoordinates = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("NODE_COORD_SECTION", 0) == 0) {
            inCoordinates = true;
            continue;
        }
        if (!inCoordinates) continue;
        if (line.rfind("EOF", 0) == 0) break;
        std::istringstream fields(line);
        long id = 0;
        double x = 0;
        double y = 0;
        if (fields >> id >> x >> y) points.push_back({x, y});
    }
    return points;
}

struct Reference {
    int count;
    Point start;
    double length;
};

std::map<std::string, Reference> readReferences(const std::string& path) {
    std::map<std::string, Reference> references;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = splitList(line);
        if (fields.size() < 5) continue;
        references[fields[0]] = Reference{std::atoi(fields[1].c_str()),
                                          {std::strtod(fields[2].c_str(), nullptr), std::strtod(fields[3].c_str(), nullptr)},
                                          std::strtod(fields[4].c_str(), nullptr)};
    }
    return references;
}

std::vector<PointSet> tsplibSets(int maxPoints) {
    const std::string directory = std::string(TW_SHARED_BENCH_DIR);
    std::vector<PointSet> sets;
    const std::map<std::string, Reference> references = readReferences(directory + "/reference_paths.csv");
    std::vector<std::pair<int, std::string>> bySize;
    for (const auto& [name, reference] : references) bySize.push_back({reference.count, name});
    std::sort(bySize.begin(), bySize.end());
    for (const auto& [count, name] : bySize) {
        if (count > maxPoints) continue;
        const std::optional<std::vector<Point>> points = readTsplib(directory + "/tsplib/" + name + ".tsp");
        if (!points || static_cast<int>(points->size()) != count) {
            std::fprintf(stderr, "skipping %s: cannot read %d points\n", name.c_str(), count);
            continue;
        }
        const Reference& reference = references.at(name);
        sets.push_back({name, *points, reference.start, reference.length});
    }
    return sets;
}

#if defined(TW_BENCH_CHILD_PROCESSES)
double cpuSecondsSoFar() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}
#else
double cpuSecondsSoFar() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
#endif

// One contour's work as the contour driver does it.
RunResult optimizeOnce(const PointSet& set, int code) {
    RunResult result;
    PathOptimizer* optimizer = tw::optimizerCreate(&tw::StandardPathOptimizer, set.name.c_str());
    if (optimizer == nullptr) return result;
    optimizer->algorithm = code;
    for (const Point& p : set.points) tw::optimizerAddPoint(optimizer, nullptr, p.x, p.y, 0, 0, 0);
    const auto begin = std::chrono::steady_clock::now();
    const double cpuBegin = cpuSecondsSoFar();
    tw::optimizerSetStartPoint(optimizer, nullptr, set.start.x, set.start.y, 0);
    tw::lengthLowerBound = tw::computeLowerBound(*optimizer);
    tw::optimizerOptimize(optimizer);
    tw::optimizerComputeLength(optimizer);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    result.cpuSeconds = cpuSecondsSoFar() - cpuBegin;
    result.length = optimizer->length;
    std::vector<char> seen(set.points.size(), 0);
    result.permutation = optimizer->count == static_cast<int>(set.points.size()) ? 1 : 0;
    for (int k = 0; k < optimizer->count && result.permutation != 0; ++k) {
        const int index = optimizer->order[k];
        if (index < 0 || index >= optimizer->count || seen[index] != 0) result.permutation = 0;
        else seen[index] = 1;
    }
    tw::optimizerDestroy(optimizer);
    return result;
}

#if defined(TW_BENCH_CHILD_PROCESSES)
long peakKilobytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

// Runs the optimization in a child that the cap ends; nullopt when capped
// (`capped` set) or failed.
std::optional<RunResult> runCapped(const PointSet& set, int code, double capSeconds, bool& capped) {
    capped = false;
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(channel[0]);
        alarm(static_cast<unsigned>(std::ceil(capSeconds)));
        RunResult result = optimizeOnce(set, code);
        result.peakKilobytes = peakKilobytes();
        const ssize_t written = write(channel[1], &result, sizeof result);
        _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
    }
    close(channel[1]);
    RunResult result;
    const ssize_t got = read(channel[0], &result, sizeof result);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    capped = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
    if (got != static_cast<ssize_t>(sizeof result) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}
#else
std::optional<RunResult> runCapped(const PointSet& set, int code, double, bool& capped) {
    capped = false;
    return optimizeOnce(set, code);  // no child processes: no cap
}
#endif

}  // namespace

int main(int argc, char** argv) {
    double capSeconds = kDefaultCapSeconds;
    std::vector<int> sizes = {100, 1000, 5000};
    int maxTsplib = kDefaultMaxTsplibPoints;
    std::vector<std::string> algorithms;
    std::vector<std::string> setKinds = {"uniform", "clustered", "grid", "tsplib"};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--cap") capSeconds = std::max(1.0, std::strtod(value.c_str(), nullptr));
        else if (option == "--max-tsplib") maxTsplib = std::atoi(value.c_str());
        else if (option == "--algorithms") algorithms = splitList(value);
        else if (option == "--sets") setKinds = splitList(value);
        else if (option == "--sizes") {
            sizes.clear();
            for (const std::string& item : splitList(value)) sizes.push_back(std::atoi(item.c_str()));
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (algorithms.empty()) {
        for (const tw::AlgorithmName& entry : tw::kAlgorithmNames) algorithms.emplace_back(entry.name);
    }

    std::vector<PointSet> sets;
    for (const std::string& kind : setKinds) {
        if (kind == "tsplib") {
            for (PointSet& set : tsplibSets(maxTsplib)) sets.push_back(std::move(set));
            continue;
        }
        for (const int size : sizes) {
            if (kind == "uniform") sets.push_back(uniformSet(size));
            else if (kind == "clustered") sets.push_back(clusteredSet(size));
            else if (kind == "grid") sets.push_back(gridSet(size));
        }
    }

    std::printf("cap per run: %.0f s wall clock; times cover lower bound + optimize + final length\n\n",
                capSeconds);
    std::printf("%-16s %6s  %-16s %16s %9s %9s %9s %8s\n", "set", "n", "algorithm", "length", "wall_s", "cpu_s",
                "peak_MiB", "ratio");
    for (const PointSet& set : sets) {
        for (const std::string& name : algorithms) {
            int code = 0;
            for (const tw::AlgorithmName& entry : tw::kAlgorithmNames) {
                if (entry.name == name) code = entry.code;
            }
            if (code == 0) continue;
            bool capped = false;
            const std::optional<RunResult> result = runCapped(set, code, capSeconds, capped);
            if (!result) {
                std::printf("%-16s %6zu  %-16s %16s %9s %9s %9s %8s\n", set.name.c_str(), set.points.size(),
                            name.c_str(), capped ? "cap hit" : "failed", capped ? ">cap" : "-", "-", "-", "-");
            } else {
                char ratio[32] = "-";
                if (set.reference) std::snprintf(ratio, sizeof ratio, "%.4f", result->length / *set.reference);
                std::printf("%-16s %6zu  %-16s %16.3f %9.3f %9.3f %9.1f %8s%s\n", set.name.c_str(),
                            set.points.size(), name.c_str(), result->length, result->seconds, result->cpuSeconds,
                            result->peakKilobytes / 1024.0, ratio, result->permutation != 0 ? "" : "  NOT A PERMUTATION");
            }
            std::fflush(stdout);
        }
    }
    return 0;
}
