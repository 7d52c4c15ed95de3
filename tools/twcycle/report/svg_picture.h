// A picture of a run as SVG: the points of every contour, the path through
// them in input order and in optimized order (two panels side by side), the
// start point, and the moves between contours as dashed lines. The y axis
// points up, as in the geometry files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "twcycle/job/result_file.h"
#include "twcycle/job/source_contours.h"

namespace twcycle {

// The legend lists at most this many contours; the rest are counted in one line.
inline constexpr std::size_t kMaxLegendEntries = 24;

struct PictureInput {
    std::string caption;                        // the line above the panels
    const std::vector<ResultContour>* results = nullptr;
    const std::vector<SourceContour>* source = nullptr;  // null: no input panel
};

// The SVG document. The input panel is drawn only when `source` holds as
// many contours as `results`; a contour whose source point count differs
// is left out of it. Every drawn point is one <circle class="point">.
std::string renderSvg(const PictureInput& input);

// Writes `document` to `path`; false when the file cannot be written completely.
bool writeTextFile(const std::string& path, const std::string& document);

}  // namespace twcycle
