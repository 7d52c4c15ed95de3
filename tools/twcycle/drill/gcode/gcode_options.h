// The command-line options of a machine program ("twcycle drill IN... -o
// OUT.nc"), and the settings they give in the program's unit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gcode_number.h"

namespace twcycle::drill::gcode {

enum class DrillCycle { G81, G83, Moves };
enum class ToolChange { M6, Pause, None };
enum class ToolOrder { File, Size };

// A length or a rate per minute as given: the exact value of its decimal
// text in units of 10^-9, and the unit it names (none: the file's unit).
struct GivenValue {
    std::string text;  // as given, for messages
    std::int64_t value = 0;
    std::optional<ProgramUnit> unit;
};

struct GcodeOptions {
    std::optional<bool> toGcode;  // --to gcode / --to excellon; none: from OUT's extension
    std::optional<GivenValue> depth;
    std::optional<GivenValue> retract;
    std::optional<GivenValue> safeZ;
    std::optional<GivenValue> toolChangeZ;
    std::optional<GivenValue> feed;
    std::optional<GivenValue> peck;
    std::optional<GivenValue> rapidRate;
    std::optional<GivenValue> spindle;  // revolutions per minute, no unit
    DrillCycle cycle = DrillCycle::G81;
    ToolChange toolChange = ToolChange::M6;
    ToolOrder order = ToolOrder::File;
    bool noSlots = false;
};

enum class OptionReading {
    NotMine,  // argv[i] is not a machine-program option
    Read,     // read; `i` is at its last argument
    Refused,  // `error` says why
};

// Reads the option at argv[i] with its value.
OptionReading readGcodeOption(int argc, char** argv, int& i, GcodeOptions& options, std::string& error);

// True when the output is a machine program: --to gcode, or OUT ending in
// .nc, .ngc, .gcode, .tap or .cnc (in any case) without --to excellon.
bool writesGcode(const GcodeOptions& options, const std::string& output);

// The settings of a program in `unit`, every length and rate as an exact
// value in units of 10^-9 of that unit (converted from the other unit and
// rounded to the program's decimals when given in it).
struct MachineSettings {
    ProgramUnit unit = ProgramUnit::Millimetre;
    std::int64_t depth = 0;
    std::int64_t retract = 0;
    std::int64_t safeZ = 0;
    std::int64_t toolChangeZ = 0;
    std::int64_t feed = 0;       // per minute
    std::int64_t peck = 0;
    std::int64_t rapidRate = 0;  // per minute, for the time estimate only
    std::int64_t spindle = 0;    // revolutions per minute, times 10^9
    DrillCycle cycle = DrillCycle::G81;
    ToolChange toolChange = ToolChange::M6;
    ToolOrder order = ToolOrder::File;
    bool noSlots = false;
};

struct SettingsReading {
    MachineSettings settings;
    std::string error;  // empty when the values make a safe program
};

// The settings in `unit`: the defaults of that unit where nothing is given.
// Refused: a depth not below the surface (Z 0), a retract height not above
// it, a safe height below the retract height, a tool-change height below
// the safe height, and feeds, rates, speeds and pecks that are not above 0.
SettingsReading machineSettings(const GcodeOptions& options, ProgramUnit unit);

// The options' lines of "twcycle drill --help", with every default.
std::string gcodeUsage();

// The options as they act, for the program's header comment.
std::string settingsText(const MachineSettings& settings);

// A value (units of 10^-9) with the decimals it needs, at most the
// program's: "200", "0.5".
std::string shortNumber(std::int64_t value, ProgramUnit unit);

}  // namespace twcycle::drill::gcode
