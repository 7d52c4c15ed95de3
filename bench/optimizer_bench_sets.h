// The benchmark's point sets: synthetic sets (uniform, clustered, hole
// grid) made from a fixed seed, and the TSPLIB drilling instances with the
// start points and open-path lengths of reference_paths.csv.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

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

inline constexpr double kFieldSize = 1000.0;   // side of the synthetic square
inline constexpr double kClusterRadius = 15.0;
inline constexpr int kPointsPerCluster = 50;
inline constexpr double kGridPitch = 2.54;     // 0.1 inch hole pitch
inline constexpr std::uint64_t kSeed = 20240611;

// Coordinates with three decimals, as a drilling program gives them.
inline double thousandths(double value) { return std::floor(value * 1000.0 + 0.5) / 1000.0; }

// Uniform in [0, 1) from 53 random bits: the same on every platform.
inline double unit(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1p-53; }

inline Point lowerLeft(const std::vector<Point>& points) {
    Point corner = points.front();
    for (const Point& p : points) {
        corner.x = std::min(corner.x, p.x);
        corner.y = std::min(corner.y, p.y);
    }
    return corner;
}

inline PointSet uniformSet(int count) {
    std::mt19937_64 random(kSeed + static_cast<std::uint64_t>(count));
    PointSet set{"uniform-" + std::to_string(count), {}, {}, std::nullopt};
    for (int i = 0; i < count; ++i) {
        set.points.push_back({thousandths(unit(random) * kFieldSize), thousandths(unit(random) * kFieldSize)});
    }
    set.start = lowerLeft(set.points);
    return set;
}

inline PointSet clusteredSet(int count) {
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
inline PointSet gridSet(int count) {
    PointSet set{"grid-" + std::to_string(count), {}, {}, std::nullopt};
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    for (int i = 0; i < count; ++i) {
        set.points.push_back({thousandths((i % columns) * kGridPitch), thousandths((i / columns) * kGridPitch)});
    }
    set.start = lowerLeft(set.points);
    return set;
}

inline std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

inline std::optional<std::vector<Point>> readTsplib(const std::string& path) {
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

inline std::map<std::string, Reference> readReferences(const std::string& path) {
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

inline const std::string& benchDirectory() {
    static const std::string directory(TW_SHARED_BENCH_DIR);
    return directory;
}

inline const std::map<std::string, Reference>& tsplibReferences() {
    static const std::map<std::string, Reference> references =
        readReferences(benchDirectory() + "/reference_paths.csv");
    return references;
}

inline std::optional<PointSet> tsplibSet(const std::string& name) {
    const auto found = tsplibReferences().find(name);
    if (found == tsplibReferences().end()) return std::nullopt;
    const Reference& reference = found->second;
    const std::optional<std::vector<Point>> points = readTsplib(benchDirectory() + "/tsplib/" + name + ".tsp");
    if (!points || static_cast<int>(points->size()) != reference.count) {
        std::fprintf(stderr, "skipping %s: cannot read %d points\n", name.c_str(), reference.count);
        return std::nullopt;
    }
    return PointSet{name, *points, reference.start, reference.length};
}

// TSPLIB instance names up to `maxPoints`, smallest first.
inline std::vector<std::string> tsplibNames(int maxPoints) {
    std::vector<std::pair<int, std::string>> bySize;
    for (const auto& [name, reference] : tsplibReferences()) {
        if (reference.count <= maxPoints) bySize.push_back({reference.count, name});
    }
    std::sort(bySize.begin(), bySize.end());
    std::vector<std::string> names;
    for (const auto& entry : bySize) names.push_back(entry.second);
    return names;
}

// "uniform-5000" and the like; nullopt for other texts.
inline std::optional<PointSet> syntheticSet(const std::string& name) {
    const std::size_t dash = name.rfind('-');
    if (dash == std::string::npos) return std::nullopt;
    const std::string kind = name.substr(0, dash);
    char* end = nullptr;
    const long count = std::strtol(name.c_str() + dash + 1, &end, 10);
    if (end == nullptr || *end != '\0' || count < 1 || count > 10000000) return std::nullopt;
    if (kind == "uniform") return uniformSet(static_cast<int>(count));
    if (kind == "clustered") return clusteredSet(static_cast<int>(count));
    if (kind == "grid") return gridSet(static_cast<int>(count));
    return std::nullopt;
}

// The set names --sets selects, in order, without repeats.
inline std::vector<std::string> selectedSetNames(const std::vector<std::string>& items, const std::vector<int>& sizes,
                                          int maxTsplib) {
    std::vector<std::string> names;
    const auto add = [&names](const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    for (const std::string& item : items) {
        if (item == "uniform") {
            for (int size : sizes) add("uniform-" + std::to_string(size));
        } else if (item == "clustered" || item == "grid") {
            for (int size : {5000, 16000}) add(item + "-" + std::to_string(size));
        } else if (item == "tsplib") {
            for (const std::string& name : tsplibNames(maxTsplib)) add(name);
        } else {
            add(item);
        }
    }
    return names;
}

}  // namespace bench
