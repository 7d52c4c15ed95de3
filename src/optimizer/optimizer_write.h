// The optimizer's own dump of its point set as exchange-file text.
#pragma once

#include <cstdio>

#include "optimizer/path_optimizer.h"

namespace tw {

// Writes the point set in path order to the open text file `file`: mode 0
// plain point entries, any other mode adds the bounds and a start-point
// marker and writes the path as a move followed by lines.
void writeOptimizer(const PathOptimizer& optimizer, std::FILE* file, int mode);

}  // namespace tw
