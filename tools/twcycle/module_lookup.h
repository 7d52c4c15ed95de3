// Where twcycle finds the cycle module, and how it names the module's version.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "twpntopt.h"

namespace twcycle {

// The places the module is looked for when --module names none, in order:
// next to the program (a build folder, or a Windows installation), then the
// library folder of an installation, `libraryFromProgram` ("../lib") from the
// program's folder. `programDirectory` ends with a separator (or is empty).
std::vector<std::string> moduleCandidates(const std::string& programDirectory, const std::string& libraryFromProgram,
                                          const std::string& fileName);

// The first candidate that `exists`; the first candidate when none does, so
// that the load error names the usual place.
std::string findModule(const std::vector<std::string>& candidates,
                       const std::function<bool(const std::string&)>& exists);

// "tarnWELL Path Optimizer (Point Lists) 9.50 of 2008-01-21" from the
// module's cycle record; a null record or title is said so.
std::string moduleVersionText(const Cycle* cycle);

}  // namespace twcycle
