// "twcycle drill IN... -o OUT.nc": orders the holes of every input file and
// writes one machine program that drills them file after file, checked by
// reading it back before it is moved into place.
#pragma once

#include <cstdio>
#include <string>

#include "twcycle/drill/drill_options.h"

namespace twcycle::drill {

// Returns the exit status; messages go to `err`, the tables to `out`.
int runGcodeCommand(const DrillOptions& options, const std::string& defaultModule, std::FILE* out, std::FILE* err);

}  // namespace twcycle::drill
