// Command line of the twcycle host program.
#pragma once

#include <string>
#include <vector>

namespace twcycle {

struct HostOptions {
    std::string modulePath;          // empty: the module built next to the program
    bool trace = false;              // print every relayed record on stderr
    bool quiet = false;              // no summary table and no notes; never silences a warning or error
    bool strict = false;             // warnings fail the run (exit status kExitWarnings)
    bool progress = true;            // progress on a terminal during a long run
    std::string svgFile;             // empty: no picture
    bool help = false;
    bool version = false;
    bool listAlgorithms = false;
    std::vector<std::string> moduleArguments;  // passed to twCSexecCycle
    std::string error;               // non-empty when the command line is wrong
};

// Parses the host's own options; everything from the first argument that is
// not one of them (or everything after "--") goes to the module.
HostOptions parseHostOptions(int argc, char** argv);

// The text printed by --help.
std::string usageText(const std::string& program);

}  // namespace twcycle
