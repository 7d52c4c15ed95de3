// What the host needs to know about the job it hands to the module: whether
// the arguments ask for a normal run, and the file names and start point that
// run will use. The module keeps its settings to itself, so the host derives
// them the same way the module does, from the same files, before the run.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace twcycle {

// How the module will read an argument vector.
struct RunRequest {
    // True when a settings source is named (-S<job>) and no switch (-V, -?,
    // -P, -A, -Y, -D, or an argument beginning with '?') turns the call into
    // a switch run.
    bool normalRun = false;
    std::string settingsSource;  // the last -S name; empty when none
};

// Reads the arguments with the module's rules: a switch is '-' or '/' and
// one character; "-S<name>" (any case of S) names the settings source, the
// last one winning; "-S" alone is a positional argument.
RunRequest classifyArguments(const std::vector<std::string>& arguments);

enum class JobKind {
    ParameterFile,  // the cycle's definition file, then "<job>.pcf"
    CfgFile,        // a ".CFG" job: its entries name no geometry files
    StandardInput,  // "| stdin": the module consumes it, the host cannot re-read it
};

struct JobSettings {
    JobKind kind = JobKind::ParameterFile;
    std::optional<std::string> geoSource;
    std::optional<std::string> geoOut;
    double startX = 0.0;
    double startY = 0.0;
};

// The settings a normal run of `settingsSource` reads: "<identifier>.def" in
// the current directory, then the job's parameter file (".pcf" appended
// unless the name ends in it, in any case), the job's entries winning. A
// missing file contributes nothing.
JobSettings readJobSettings(const std::string& identifier, const std::string& settingsSource);

// The name under which the host opens a file the module opens literally.
// The project's readers give a leading '~' and '|' a meaning of their own,
// so such a name that exists as given is read through "./".
std::string literalFileName(const std::string& name);

}  // namespace twcycle
