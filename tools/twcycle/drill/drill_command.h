// "twcycle drill": orders the holes of an Excellon or CSV drill file with
// the cycle module and writes the same file back, reordered.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "drill_file.h"
#include "drill_options.h"

namespace twcycle::drill {

// Reads the drill file `path` as the options say; on refusal prints the
// message (with the format hint) and returns the exit status, else 0.
int readDrillInput(const DrillOptions& options, const std::string& path, DrillFile& file, std::FILE* err);

// Writes `content` next to `output`, reads it back and hands it to `check`
// (which returns what is wrong, or empty), and only then moves it over
// `output`, synced to disk before the move and its folder after it.
// Returns the error, or empty when `output` now holds the content. When the
// folder cannot be synced, the output is removed unless it `replacesInput`.
std::string writeChecked(const std::string& output, const std::string& content,
                         const std::function<std::string(const std::string& written)>& check,
                         bool replacesInput = false);

// Runs the command; argv[0] is "drill". `defaultModule` is the module used
// unless --module names one. Returns the exit status.
int runDrillCommand(int argc, char** argv, const std::string& defaultModule, std::FILE* out, std::FILE* err);

}  // namespace twcycle::drill
