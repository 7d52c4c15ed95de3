// "twcycle drill": orders the holes of an Excellon or CSV drill file with
// the cycle module and writes the same file back, reordered.
#pragma once

#include <cstdio>
#include <string>

namespace twcycle::drill {

// Runs the command; argv[0] is "drill". `defaultModule` is the module used
// unless --module names one. Returns the exit status.
int runDrillCommand(int argc, char** argv, const std::string& defaultModule, std::FILE* out, std::FILE* err);

}  // namespace twcycle::drill
