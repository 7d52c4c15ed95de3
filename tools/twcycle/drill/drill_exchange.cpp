#include "drill_exchange.h"

#include <charconv>
#include <map>
#include <utility>

#include "exchange/escape_text.h"
#include "text/number_text.h"

namespace twcycle::drill {
namespace {

// The shortest text that reads back as the same double.
std::string numberText(double value) {
    char buffer[32];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

// A coordinate as the module and the result reader see it: the exchange text
// read back the way they read it.
PlanePoint pointOf(const Hole& hole) {
    return PlanePoint{tw::leadingReal(numberText(planeValue(hole.x)).c_str()),
                      tw::leadingReal(numberText(planeValue(hole.y)).c_str())};
}

std::string contourName(const std::string& tool) {
    return tool.empty() ? std::string("no tool") : tw::escapeExchangeText(tool);
}

}  // namespace

DrillContours drillContours(const DrillFile& file, const std::string& title) {
    DrillContours contours;
    contours.text = "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\n" +
                    tw::escapeExchangeText(title) + "\n\n";
    for (std::size_t b = 0; b < file.blocks.size(); ++b) {
        SourceContour source;
        source.name = file.blocks[b].tool;
        std::string points;
        for (std::size_t index : file.blocks[b].holes) {
            const Hole& hole = file.holes[index];
            if (hole.pinned) continue;
            points += "  oP[h" + std::to_string(index) + "]( x[" + numberText(planeValue(hole.x)) + "] y[" +
                      numberText(planeValue(hole.y)) + "] )\n";
            source.points.push_back(pointOf(hole));
        }
        if (source.points.empty()) continue;
        contours.text += "oContour[" + contourName(file.blocks[b].tool) + "]( )\n{\n" + points + "}\n\n";
        contours.blocks.push_back(b);
        contours.source.push_back(std::move(source));
    }
    return contours;
}

bool orderFromResults(const DrillFile& file, const DrillContours& contours,
                      const std::vector<ResultContour>& results, HoleOrder& order, std::string& error) {
    if (results.size() != contours.blocks.size()) {
        error = "the module wrote " + std::to_string(results.size()) + " ordered contours for " +
                std::to_string(contours.blocks.size()) + " tool blocks";
        return false;
    }
    order.assign(file.blocks.size(), {});
    for (std::size_t c = 0; c < results.size(); ++c) {
        const std::size_t block = contours.blocks[c];
        // Holes at the same place are interchangeable: they have the same
        // tool, and whichever comes first, the file holds both.
        std::multimap<std::pair<double, double>, std::size_t> unplaced;
        for (std::size_t index : file.blocks[block].holes) {
            if (file.holes[index].pinned) continue;
            const PlanePoint point = pointOf(file.holes[index]);
            unplaced.emplace(std::make_pair(point.x, point.y), index);
        }
        for (const PlanePoint& point : results[c].points) {
            const auto at = unplaced.find(std::make_pair(point.x, point.y));
            if (at == unplaced.end()) {
                error = "the ordered contour " + std::to_string(c + 1) + " holds a point that is not one of its holes";
                return false;
            }
            order[block].push_back(at->second);
            unplaced.erase(at);
        }
        if (!unplaced.empty()) {
            error = "the ordered contour " + std::to_string(c + 1) + " lacks " + std::to_string(unplaced.size()) +
                    " of its holes";
            return false;
        }
    }
    return true;
}

}  // namespace twcycle::drill
