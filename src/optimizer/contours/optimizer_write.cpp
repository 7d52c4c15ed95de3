#include "optimizer/contours/optimizer_write.h"

#include <algorithm>
#include <string>

#include "output/format_real.h"

namespace tw {
namespace {

// Relative size of the square drawn around the start point: half its side
// is this share of the larger extent of the bounding box.
constexpr double kStartMarkerShare = 0.005;

// Fewest points written: mode 0 writes a single point, the path modes need
// a move and at least one line.
constexpr int kFewestPlainPoints = 1;
constexpr int kFewestPathPoints = 2;

constexpr int kPlainMode = 0;
constexpr int kBoundsMode = 1;

class RealText {
public:
    explicit RealText(double value) { formatReal(text_, value); }
    const char* c_str() const { return text_; }

private:
    char text_[kRealTextCapacity];
};

struct Bounds {
    double minX;
    double maxX;
    double minY;
    double maxY;
};

Bounds boundingBox(const PathOptimizer& optimizer) {
    const OptimizerPoint& first = optimizer.points[0];
    Bounds bounds{first.x, first.x, first.y, first.y};
    const auto include = [&bounds](double x, double y) {
        bounds.minX = std::min(bounds.minX, x);
        bounds.maxX = std::max(bounds.maxX, x);
        bounds.minY = std::min(bounds.minY, y);
        bounds.maxY = std::max(bounds.maxY, y);
    };
    for (const OptimizerPoint& point : optimizer.points) include(point.x, point.y);
    if (optimizer.hasStartPoint != 0) include(optimizer.startPoint.x, optimizer.startPoint.y);
    return bounds;
}

void writeValue(std::FILE* file, const char* format, double value) {
    std::fprintf(file, format, RealText(value).c_str());
}

void writeBoundsAndStartMarker(const PathOptimizer& optimizer, std::FILE* file) {
    const Bounds bounds = boundingBox(optimizer);
    writeValue(file, "vminX(%s)\n", bounds.minX);
    writeValue(file, "vmaxX(%s)\n", bounds.maxX);
    writeValue(file, "vminY(%s)\n", bounds.minY);
    writeValue(file, "vmaxY(%s)\n\n", bounds.maxY);
    if (optimizer.hasStartPoint == 0) return;
    const double half = kStartMarkerShare * std::max(bounds.maxX - bounds.minX, bounds.maxY - bounds.minY);
    const double x = optimizer.startPoint.x;
    const double y = optimizer.startPoint.y;
    std::fputs("oContour( )\n{\n", file);
    std::fprintf(file, "  oM( x[/%s] y[/%s] )\n", RealText(x - half).c_str(), RealText(y + half).c_str());
    writeValue(file, "  oL( y[/%s] )\n", y - half);
    writeValue(file, "  oL( x[/%s] )\n", x + half);
    writeValue(file, "  oL( y[/%s] )\n", y + half);
    writeValue(file, "  oL( x[/%s] )\n", x - half);
    std::fputs("}\n\n", file);
}

void writeContourHead(const PathOptimizer& optimizer, std::FILE* file) {
    std::fputs("oContour", file);
    if (optimizer.name && !optimizer.name->empty()) std::fprintf(file, "[%s]", optimizer.name->c_str());
    std::fprintf(file, "( n[%d]", optimizer.count);
    if (optimizer.lengthValid != 0) writeValue(file, " l[%s]", optimizer.length);
    if (optimizer.hasStartPoint != 0) {
        std::fprintf(file, " sp[%s/%s/%s]", RealText(optimizer.startPoint.x).c_str(),
                     RealText(optimizer.startPoint.y).c_str(), RealText(optimizer.startPoint.z).c_str());
    }
    std::fputs(" )\n{\n", file);
}

// Coordinate texts of the previous entry: a coordinate is written only when
// its text differs.
struct RememberedCoordinates {
    std::string text[3];
};

void writeChangedCoordinates(const OptimizerPoint& point, const char* format, RememberedCoordinates& remembered,
                             std::FILE* file) {
    static constexpr char kAxes[3] = {'x', 'y', 'z'};
    const double values[3] = {point.x, point.y, point.z};
    for (int axis = 0; axis < 3; ++axis) {
        const RealText text(values[axis]);
        if (remembered.text[axis] == text.c_str()) continue;
        std::fprintf(file, format, kAxes[axis], text.c_str());
        remembered.text[axis] = text.c_str();
    }
}

}  // namespace

void writeOptimizer(const PathOptimizer& optimizer, std::FILE* file, int mode) {
    if (file == nullptr) return;
    const int fewest = mode == kPlainMode ? kFewestPlainPoints : kFewestPathPoints;
    if (optimizer.count < fewest || static_cast<int>(optimizer.points.size()) < optimizer.count ||
        static_cast<int>(optimizer.order.size()) < optimizer.count) {
        return;
    }
    if (mode == kBoundsMode) writeBoundsAndStartMarker(optimizer, file);
    writeContourHead(optimizer, file);

    RememberedCoordinates remembered;
    int first = 0;
    const char* itemHead = "  oP";
    const char* coordinateFormat = " %c[%s]";
    if (mode != kPlainMode) {
        std::fputs("  oM(", file);
        writeChangedCoordinates(optimizer.points[optimizer.order[0]], " %c[/%s]", remembered, file);
        std::fputs(" )\n", file);
        first = 1;
        itemHead = "  oL";
        coordinateFormat = " %c[/%s]";
    }
    for (int k = first; k < optimizer.count; ++k) {
        const OptimizerPoint& point = optimizer.points[optimizer.order[k]];
        writeValue(file, "  vsurface(%s)\n", point.surface);
        writeValue(file, "  vdepth(%s)\n", point.depth);
        std::fputs(itemHead, file);
        if (!point.name.empty()) std::fprintf(file, "[%s]", point.name.c_str());
        std::fputs("(", file);
        writeChangedCoordinates(point, coordinateFormat, remembered, file);
        std::fputs(" )\n", file);
    }
    std::fputs("}\n\n", file);
}

}  // namespace tw
