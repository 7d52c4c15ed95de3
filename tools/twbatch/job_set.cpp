#include "twbatch/job_set.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace twbatch {
namespace {

// splitmix64: a small generator whose sequence is fixed by its definition,
// unlike the distributions of <random>.
class Generator {
public:
    explicit Generator(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    bool chance(double probability) { return unit() < probability; }

private:
    std::uint64_t state_;
};

// `value` moved by `steps` units in the last place (either direction).
double ulpsAway(double value, int steps) {
    const double toward = steps < 0 ? -INFINITY : INFINITY;
    for (int i = 0; i < std::abs(steps); ++i) value = std::nextafter(value, toward);
    return value;
}

// Lattice points with many equal distances and some duplicates.
void addLattice(Generator& random, std::vector<JobPoint>& points, std::size_t count, double originX,
                double originY) {
    const double steps[] = {1.0, 2.5, 0.1, 0.3};
    const double step = steps[random.below(4)];
    const int side = 2 + random.below(12);
    for (std::size_t i = 0; i < count; ++i) {
        if (!points.empty() && random.chance(0.1)) {
            points.push_back(points[static_cast<std::size_t>(random.below(static_cast<int>(points.size())))]);
            continue;
        }
        points.push_back({originX + step * random.below(side), originY + step * random.below(side)});
    }
}

// Around a centre: candidates at an exact distance r (on the axes and on
// 3-4-5 diagonals) and candidates at r + 0.001 moved by a few ulps, so that
// the near-tie tolerance is decided in the last bits.
void addNearTieStars(Generator& random, std::vector<JobPoint>& points, std::size_t count, double originX,
                     double originY) {
    while (points.size() < count) {
        const double cx = originX + std::floor(random.between(0, 40));
        const double cy = originY + std::floor(random.between(0, 40));
        const double a = 0.2 * (1 + random.below(10));
        const double r = 5 * a;
        points.push_back({cx, cy});
        const JobPoint exact[] = {{cx + r, cy}, {cx - r, cy}, {cx + 3 * a, cy + 4 * a}, {cx - 4 * a, cy - 3 * a}};
        for (const JobPoint& p : exact) {
            if (points.size() < count && random.chance(0.7)) points.push_back(p);
        }
        const double near[] = {cy + r + 0.001, cy - r - 0.001, cx + r + 0.001, cx - r + 0.001};
        for (int k = 0; k < 4 && points.size() < count; ++k) {
            const double moved = ulpsAway(near[k], random.below(9) - 4);
            points.push_back(k < 2 ? JobPoint{cx, moved} : JobPoint{moved, cy + (k == 2 ? 0.0 : 0.001)});
        }
    }
}

// Points along a line with a sideways jitter e chosen so that undoing a zig
// (a 2-opt move) gains about e^2 / h, close to the least gain of 1e-8.
void addJitteredLine(Generator& random, std::vector<JobPoint>& points, std::size_t count, double originX,
                     double originY) {
    const double h = random.between(0.5, 2.0);
    const double angle = random.below(4) * 0.5;  // 0, 0.5, 1, 1.5 radians
    const double ux = std::cos(angle), uy = std::sin(angle);
    for (std::size_t i = 0; i < count; ++i) {
        const double along = h * static_cast<double>(i) + (random.chance(0.2) ? random.between(-1e-9, 1e-9) : 0.0);
        const double e = std::sqrt(1e-8 * h * random.between(0.25, 4.0)) * (random.chance(0.5) ? 1 : -1);
        points.push_back({originX + along * ux - e * uy, originY + along * uy + e * ux});
    }
    // Shuffled, so the heuristics have to find the line.
    for (std::size_t i = points.size(); i > 1; --i) {
        std::swap(points[i - 1], points[static_cast<std::size_t>(random.below(static_cast<int>(i)))]);
    }
}

void addScatter(Generator& random, std::vector<JobPoint>& points, std::size_t count, double originX,
                double originY) {
    const double spread = random.chance(0.5) ? 100.0 : 1.0;
    for (std::size_t i = 0; i < count; ++i) {
        points.push_back({originX + random.between(0, spread), originY + random.between(0, spread)});
    }
}

std::vector<JobPoint> makeContour(Generator& random, std::size_t count) {
    // Far from the origin the last bits of the coordinates are coarser.
    const double originX = random.chance(0.3) ? 12345.678 : 0.0;
    const double originY = random.chance(0.3) ? -9876.5 : 0.0;
    std::vector<JobPoint> points;
    switch (random.below(5)) {
        case 0: addLattice(random, points, count, originX, originY); break;
        case 1: addNearTieStars(random, points, count, originX, originY); break;
        case 2: addJitteredLine(random, points, count, originX, originY); break;
        case 3: addScatter(random, points, count, originX, originY); break;
        default:  // a mixture of all
            addNearTieStars(random, points, count / 3, originX, originY);
            addLattice(random, points, count / 3, originX, originY);
            addJitteredLine(random, points, count - points.size(), originX, originY + 50);
            break;
    }
    return points;
}

std::string real(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

Job makeJob(std::uint64_t seed) {
    Generator random(seed * 0x2545F4914F6CDD1Dull + 1);
    Job job;
    std::size_t points = 3 + static_cast<std::size_t>(random.below(60));
    if (random.chance(0.35)) points = 60 + static_cast<std::size_t>(random.below(kMostPoints - 59));
    const int contours = points < 20 ? 1 : 1 + random.below(3);
    for (int i = contours; i > 0; --i) {
        const std::size_t count = i == 1 ? points : points / 2;
        job.contours.push_back(makeContour(random, count));
        points -= count;
    }
    const std::vector<JobPoint>& first = job.contours.front();
    if (random.chance(0.3)) {  // the start on a point: a distance of zero
        const JobPoint& p = first[static_cast<std::size_t>(random.below(static_cast<int>(first.size())))];
        job.startX = p.x;
        job.startY = p.y;
    } else if (random.chance(0.5)) {
        job.startX = first.front().x - 1;
        job.startY = first.front().y - 1;
    }
    job.precision = 3 + random.below(6);
    return job;
}

std::string exchangeText(const Job& job) {
    std::string text =
        "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\ncross-build comparison\n\n";
    int id = 0;
    for (std::size_t c = 0; c < job.contours.size(); ++c) {
        text += "oContour[C" + std::to_string(c + 1) + "]( )\n{\n";
        for (const JobPoint& p : job.contours[c]) {
            text += "  oP[" + std::to_string(++id) + "]( x[" + real(p.x) + "] y[" + real(p.y) + "] z[0] )\n";
        }
        text += "}\n";
    }
    return text;
}

std::string parameterText(const Job& job, const char* algorithm) {
    return "geoSource := source.twx\ngeoOut := " + std::string(algorithm) + ".twx\nalgorithm := " + algorithm +
           "\nstartX := " + real(job.startX) + "\nstartY := " + real(job.startY) +
           "\nprecision := " + std::to_string(job.precision) + "\nwritePath := true\nremoveTempFiles := true\n";
}

std::string jobFolderName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "job%03d", index);
    return name;
}

bool writeJobSet(const std::filesystem::path& root, int count, std::uint64_t seed, std::string& error) {
    std::error_code failure;
    for (int i = 0; i < count; ++i) {
        const Job job = makeJob(seed + static_cast<std::uint64_t>(i));
        const std::filesystem::path folder = root / jobFolderName(i);
        std::filesystem::create_directories(folder, failure);
        bool written = !failure && writeText(folder / "twPntOpt.def", "removeTempFiles := true\n") &&
                       writeText(folder / "source.twx", exchangeText(job));
        for (const char* algorithm : kAlgorithmNames) {
            written = written && writeText(folder / (std::string(algorithm) + ".pcf"), parameterText(job, algorithm));
        }
        if (!written) {
            error = "cannot write the job " + folder.string();
            return false;
        }
    }
    return true;
}

}  // namespace twbatch
