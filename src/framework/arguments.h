// Parsing of the host's argument vector and the configuration phase.
#pragma once

#include <cstdint>
#include <cstdio>

#include "twpntopt.h"

namespace tw {

// Fills the cycle's empty slots from its parent chain, once per module life.
// Fails (0) when a parent's interface version differs; then nothing is filled
// and later calls fail again.
std::int32_t inheritSlots(Cycle* cycle);

// Parses `arguments` into switches, a settings source and positional
// arguments, and runs the configuration phase. Non-zero when the run may go
// on. `arguments` must hold `count` non-null texts.
std::int32_t parseArguments(Cycle* cycle, char** arguments, std::uint16_t count);

// Copies the file named by the parameter "POFbypass" to `out` unless the run
// is in PCF mode. A missing file copies nothing.
void copyBypassFile(Cycle* cycle, std::FILE* out);

}  // namespace tw
