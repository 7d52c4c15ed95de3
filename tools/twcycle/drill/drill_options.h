// The command line of "twcycle drill".
#pragma once

#include <optional>
#include <string>

#include "drill_file.h"

namespace twcycle::drill {

// The module's algorithm names; the first is the default.
inline constexpr const char* kAlgorithmNames[] = {"nearestDirCross", "nearest", "nearestDirected",
                                                  "insert", "extendedA", "extendedB"};

struct DrillOptions {
    std::string input;
    std::string output;  // empty: the input's name with "_sorted" before its extension
    std::string algorithm = kAlgorithmNames[0];
    std::string startX = "0";
    std::string startY = "0";
    std::string svgFile;
    std::string modulePath;                 // empty: the module next to the program
    std::optional<DrillFormat> format;      // none: from the input's extension
    bool quiet = false;
    bool help = false;
    std::string error;  // non-empty when the command line is wrong
};

// Parses the arguments after the word "drill" (argv[0] is "drill").
DrillOptions parseDrillOptions(int argc, char** argv);

// The text printed by "twcycle drill --help".
std::string drillUsage();

// The default output name: "_sorted" before the extension of the file name
// ("board.drl" -> "board_sorted.drl", "dir/holes" -> "dir/holes_sorted").
std::string sortedName(const std::string& input);

// The format of a file named `path`: CSV for ".csv", ".tsv" and ".txt" in any
// case, otherwise Excellon.
DrillFormat formatOfName(const std::string& path);

}  // namespace twcycle::drill
