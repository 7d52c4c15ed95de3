// The optimizer's own dump of its point set as exchange-file text.
#pragma once

#include <cstdio>

#include "optimizer/path_optimizer.h"

namespace tw {

// Writes the point set in path order to the open text file `file`, every
// number at the output precision (formatReal):
// - mode 0: one contour of plain point entries "  oP[name]( x[..] y[..] z[..] )"
//   (at least 1 point, else nothing is written);
// - mode 1: first "vminX".."vmaxY" of the bounding box (points and start
//   point) and, with a start point, a small square contour around it; then
//   the contour as a move "  oM( x[/..] y[/..] z[/..] )" to the first point
//   followed by lines "  oL" (at least 2 points, else nothing);
// - any other mode: the contour of mode 1 without bounds and marker.
// Each entry after the move carries "vsurface" and "vdepth" lines, and only
// the coordinates whose text differs from the previous entry's. A null file
// writes nothing.
void writeOptimizer(const PathOptimizer& optimizer, std::FILE* file, int mode);

}  // namespace tw
