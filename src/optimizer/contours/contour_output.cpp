#include "optimizer/contours/contour_output.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "exchange/escape_text.h"
#include "framework/channels.h"
#include "framework/event_record.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"
#include "output/format_real.h"
#include "output/geometry_writer.h"
#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

constexpr std::uint16_t kValueChannel = 10;
constexpr std::int32_t kValueRecord = 301;

std::string real(double value) {
    char buffer[kRealTextCapacity];
    formatReal(buffer, value);
    return buffer;
}

// printf's "%.3f" without its dependence on the process locale.
std::string threeDecimals(double value) {
    char buffer[400];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

bool excludedFromFile(const std::string& name) {
    return name == "precision" || name == "objectCounter" || name == "methodCounter";
}

void writePathContour(Cycle* cycle, const ContourReadState& state, const PathOptimizer& optimizer) {
    const PointListCycle& own = *state.cycle;
    const std::string name = state.contourName.value_or("") + "-Path";
    emitContourBegin(cycle, name.c_str(), nullptr);
    const std::string move = " oM( x[/" + threeDecimals(own.startX) + "] y[/" + threeDecimals(own.startY) + "] z[/0] )";
    emitContourLine(cycle, move.c_str());
    for (int k = 0; k < optimizer.count; ++k) {
        const OptimizerPoint& point = optimizer.points[static_cast<std::size_t>(optimizer.order[static_cast<std::size_t>(k)])];
        const std::string line = " oL( x[/" + threeDecimals(point.x) + "] y[/" + threeDecimals(point.y) + "] )";
        emitContourLine(cycle, line.c_str());
    }
    emitContourEnd(cycle);
}

// The values in effect inside the contour body: written into the file so
// that the contour carries them, or handed to channel 10 when no file is open.
void writeValues(Cycle* cycle, const ValueDictionary& dictionary) {
    if (dictionary.size() == 0) return;
    if (platform::WritableFile* file = geoOutputFile()) {
        // A failed write is seen by the geometry writer at its next record.
        // Texts end at a NUL byte, as they always have in this file.
        for (const DictionaryEntry& entry : dictionary) {
            if (excludedFromFile(entry.name)) continue;
            const std::string value = escapeValueText(entry.value);
            file->write("  v" + std::string(entry.name.c_str()) + "(" + std::string(value.c_str()) + ")\n");
        }
        file->write("\n");
        return;
    }
    for (const DictionaryEntry& entry : dictionary) {
        EventRecord record = makeRecord(kValueRecord, entry.name.c_str());
        setRecordText(record, entry.value.c_str());
        emitRecord(cycle, kValueChannel, &record);
    }
}

void writePoints(Cycle* cycle, const PointListCycle& own, const PathOptimizer& optimizer) {
    std::string surface, depth, x, y, z;
    for (int k = 0; k < optimizer.count; ++k) {
        const OptimizerPoint& point = optimizer.points[static_cast<std::size_t>(optimizer.order[static_cast<std::size_t>(k)])];
        if (own.surfaceSeen == 1) {
            const std::string text = real(point.surface);
            if (text != surface) {
                emitContourLine(cycle, ("  vsurface(" + text + ")").c_str());
                surface = text;
            }
        }
        if (own.depthSeen == 1) {
            const std::string text = real(point.depth);
            if (text != depth) {
                emitContourLine(cycle, ("  vdepth(" + text + ")").c_str());
                depth = text;
            }
        }
        std::string line = point.name.empty() ? "  oP(" : "  oP[" + point.name + "](";
        const double values[3] = {point.x, point.y, point.z};
        std::string* remembered[3] = {&x, &y, &z};
        const char* labels[3] = {" x[", " y[", " z["};
        for (int axis = 0; axis < 3; ++axis) {
            const std::string text = real(values[axis]);
            if (text == *remembered[axis]) continue;
            line += labels[axis] + text + "]";
            *remembered[axis] = text;
        }
        line += " )";
        emitContourLine(cycle, line.c_str());
    }
}

}  // namespace

void finishContour(ContourReadState& state, const ValueDictionary& dictionary) {
    PointListCycle& own = *state.cycle;
    Cycle* cycle = &own.base;
    PathOptimizer* optimizer = own.optimizer;
    if (optimizer == nullptr) return;

    if (state.pointCount > 0) {
        // A single point is not ordered, but its length is still the way to
        // it from the start point, like every other contour's.
        optimizerSetStartPoint(optimizer, nullptr, own.startX, own.startY, 0.0);
        if (state.pointCount > 1) {
            // Only the windowed search reads the bound; for every other
            // code lengthLowerBound keeps a stale value that nothing reads.
            // The bound and the optimize search the same tree.
            const SharedPointTree sharedTree(*optimizer);
            if (readsLowerBound(optimizer->algorithm)) lengthLowerBound = computeLowerBound(*optimizer);
            optimizerOptimize(optimizer);
        }
        optimizerComputeLength(optimizer);
        const double length = optimizer->length;

        if (state.writePath == 1) writePathContour(cycle, state, *optimizer);
        const std::string comment = "N=" + std::to_string(state.pointCount) + ";L=" + real(length);
        emitContourBegin(cycle, state.contourName ? state.contourName->c_str() : nullptr, comment.c_str());
        writeValues(cycle, dictionary);
        emitContourLine(cycle, ("  vstartX(" + real(own.startX) + ")").c_str());
        emitContourLine(cycle, ("  vstartY(" + real(own.startY) + ")\n").c_str());
        writePoints(cycle, own, *optimizer);
        emitContourEnd(cycle);

        if (optimizer->count > 0) {
            const OptimizerPoint& last = optimizer->points[static_cast<std::size_t>(optimizer->order.back())];
            own.startX = last.x;
            own.startY = last.y;
        }
    }
    optimizerReset(optimizer);
    state.pointCount = 0;
}

}  // namespace tw
