// What the host adds to a switch run, for which the module itself prints
// nothing: -P, -A and -Y show the message-file section the module looked
// up, and every other switch run (also a call without arguments) gets a
// one-line hint on what to do instead.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace twcycle {

// The switches of a switch run, read with the module's rules.
struct SwitchSet {
    bool version = false;   // -V
    bool query = false;     // -? or an argument beginning with '?'
    bool parameters = false;  // -P
    bool algorithm = false;   // -A
    bool layers = false;      // -Y
    bool debug = false;       // -D
};

// The switches `arguments` give; without any switch and without -S the
// module runs -V and -? both.
SwitchSet readSwitches(const std::vector<std::string>& arguments);

// After the module's switch run: prints the sections of -P, -A and -Y on
// `out` and hints on `err` (hints not when `quiet`). `settingsSource` is the
// -S name or empty; the settings are read as the module read them.
void explainSwitchRun(const SwitchSet& switches, const std::string& identifier, const std::string& settingsSource,
                      bool quiet, std::FILE* out, std::FILE* err);

}  // namespace twcycle
