// The command line of "twcycle drill".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill_file.h"
#include "excellon_reader.h"
#include "gcode/gcode_options.h"

namespace twcycle::drill {

// The algorithm a drill file is ordered with unless --algorithm names one:
// within about 1 % of the best known paths, in seconds on the largest boards.
inline constexpr const char* kDefaultDrillAlgorithm = "nearOptimal";

struct DrillOptions {
    std::string input;                // the first of `inputs`
    std::vector<std::string> inputs;  // several only for a machine program
    std::string output;  // empty: the input's name with "_sorted" before its extension
    std::string algorithm = kDefaultDrillAlgorithm;
    std::string startX = "0";
    std::string startY = "0";
    std::string svgFile;
    std::string modulePath;                 // empty: the module next to the program
    std::optional<DrillFormat> format;      // none: from the input's extension
    ExcellonOptions excellon;               // --zeros, --digits, --units
    bool check = false;                     // --check: read and report, write nothing
    gcode::GcodeOptions gcode;
    bool gcodeOutput = false;  // the output is a machine program
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

// The default name of a machine program: IN with its extension replaced by
// ".nc" ("board.drl" -> "board.nc").
std::string programName(const std::string& input);

// The format of the file `path` holding `content`: CSV for ".csv" and ".tsv"
// in any case; otherwise (design tools also write Excellon as ".txt")
// Excellon when its first line that is not blank or a comment is M48, '%',
// or Excellon words such as "T01" or "X1.0Y2.0", and CSV when it is not.
DrillFormat guessFormat(const std::string& path, std::string_view content);

}  // namespace twcycle::drill
