// The kernel cycle's configuration slots: settings mode (".def" and ".pcf"
// files) and ".CFG" mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "twpntopt.h"

namespace tw {

// The escaped "frameComment" fits a buffer of this size, terminator
// included; a longer one is cut after the last whole character (an escape
// sequence is never split).
inline constexpr std::size_t kFrameCommentSize = 512;

// Slot 2: reads the cycle's definition file and the job's parameter file into
// the parameter list and builds the work, tool and local frames. Returns 1.
std::int32_t TWCS_CALL readSettings(Cycle* cycle);

// Slot 3: reads the ".CFG" file into the cycle's entries, derives the starred
// parameters and builds the work and tool frames. Returns 1.
std::int32_t TWCS_CALL readCfgSettings(Cycle* cycle);

// The part of readCfgSettings after the file is read: the parameters of the
// starred entries and the two frames, from the cycle's current entries.
void deriveCfgSettings(Cycle* cycle);

// `comment` escaped for an exchange file and cut to kFrameCommentSize - 1
// characters.
std::string escapeFrameComment(std::string_view comment);

// `name` with `extension` (four characters, such as ".pcf") appended unless
// it already ends in it, in any case.
std::string withExtension(const std::string& name, const char* extension);

// True when `name` ends in `extension` (four characters), in any case.
bool hasExtension(const std::string& name, const char* extension);

}  // namespace tw
