#include "gcode_options.h"
#include "twcycle/drill/characters.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {
namespace {

// Option values have at most this many digits before the point, so that a
// conversion between millimetres and inches stays inside 64 bits.
constexpr std::size_t kMaxIntegerDigits = 6;
// A hole takes at most this many pecks; a smaller peck is refused.
constexpr std::int64_t kMaxPecks = 10000;

constexpr std::int64_t kScale = kValueScale;

// The defaults, in units of 10^-9 of each unit.
struct Defaults {
    std::int64_t depth, retract, safeZ, toolChangeZ, feed, peck, rapidRate;
};
constexpr Defaults kMillimetreDefaults{-2 * kScale, 2 * kScale, 10 * kScale, 30 * kScale,
                                       200 * kScale, kScale / 2, 2500 * kScale};
constexpr Defaults kInchDefaults{-8 * kScale / 100, 8 * kScale / 100, 4 * kScale / 10, 12 * kScale / 10,
                                 8 * kScale, 2 * kScale / 100, 100 * kScale};
constexpr std::int64_t kDefaultSpindle = 10000 * kScale;

const Defaults& defaultsOf(ProgramUnit unit) {
    return unit == ProgramUnit::Millimetre ? kMillimetreDefaults : kInchDefaults;
}


// "[+-]digits[.digits][mm|in|inch]"
std::optional<GivenValue> parseValue(std::string_view text, bool withUnit) {
    GivenValue given;
    given.text.assign(text);
    for (const auto& [suffix, unit] : {std::pair<std::string_view, ProgramUnit>{"mm", ProgramUnit::Millimetre},
                                       {"inch", ProgramUnit::Inch},
                                       {"in", ProgramUnit::Inch}}) {
        if (withUnit && text.size() > suffix.size() && text.substr(text.size() - suffix.size()) == suffix) {
            given.unit = unit;
            text.remove_suffix(suffix.size());
            break;
        }
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view integer = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((integer.empty() && fraction.empty()) || integer.size() > kMaxIntegerDigits ||
        fraction.size() > static_cast<std::size_t>(kValueDecimals))
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : integer) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    std::int64_t part = 0;
    std::int64_t weight = kScale;
    for (char c : fraction) {
        if (!isDigit(c)) return std::nullopt;
        weight /= 10;
        part += (c - '0') * weight;
    }
    given.value = value * kScale + part;
    if (negative) given.value = -given.value;
    return given;
}

// numerator / denominator, rounded half away from zero.
std::int64_t dividedRounded(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t magnitude = numerator < 0 ? -numerator : numerator;
    const std::int64_t quotient = (magnitude + denominator / 2) / denominator;
    return numerator < 0 ? -quotient : quotient;
}

// `given` in `unit`, rounded to the program's decimals.
std::int64_t inUnit(const GivenValue& given, ProgramUnit unit) {
    std::int64_t step = 1;
    for (int i = programDecimals(unit); i < kValueDecimals; ++i) step *= 10;
    if (!given.unit || *given.unit == unit) return roundedValue(given.value, unit);
    // 1 in = 25.4 mm exactly.
    if (unit == ProgramUnit::Inch) return dividedRounded(given.value * 10, 254 * step) * step;
    return dividedRounded(given.value * 254, 10 * step) * step;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct ValueOption {
    const char* name;
    std::optional<GivenValue> GcodeOptions::*field;
    bool withUnit;
};

constexpr ValueOption kValueOptions[] = {
    {"--depth", &GcodeOptions::depth, true},         {"--retract", &GcodeOptions::retract, true},
    {"--safe-z", &GcodeOptions::safeZ, true},        {"--tool-change-z", &GcodeOptions::toolChangeZ, true},
    {"--feed", &GcodeOptions::feed, true},           {"--peck", &GcodeOptions::peck, true},
    {"--rapid-rate", &GcodeOptions::rapidRate, true}, {"--spindle", &GcodeOptions::spindle, false},
};

std::string given(const std::optional<GivenValue>& value, std::int64_t resolved, ProgramUnit unit) {
    return value ? value->text : shortNumber(resolved, unit);
}

}  // namespace

std::string shortNumber(std::int64_t value, ProgramUnit unit) {
    std::string text = programNumber(value, unit);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

OptionReading readGcodeOption(int argc, char** argv, int& i, GcodeOptions& options, std::string& error) {
    const std::string argument = argv[i];
    if (argument == "--no-slots") {
        options.noSlots = true;
        return OptionReading::Read;
    }
    const bool known = argument == "--to" || argument == "--drill-cycle" || argument == "--tool-change" ||
                       argument == "--tool-order" ||
                       std::any_of(std::begin(kValueOptions), std::end(kValueOptions),
                                   [&](const ValueOption& option) { return argument == option.name; });
    if (!known) return OptionReading::NotMine;
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = argument + " needs a value";
        return OptionReading::Refused;
    }
    const std::string value = argv[++i];
    auto choose = [&](std::initializer_list<const char*> names, auto apply) {
        int index = 0;
        for (const char* name : names) {
            if (value == name) {
                apply(index);
                return OptionReading::Read;
            }
            ++index;
        }
        error = argument + " is ";
        index = 0;
        for (const char* name : names) error += std::string(index++ == 0 ? "" : "|") + name;
        return OptionReading::Refused;
    };
    if (argument == "--to") return choose({"gcode", "excellon"}, [&](int k) { options.toGcode = k == 0; });
    if (argument == "--drill-cycle")
        return choose({"g81", "g83", "moves"}, [&](int k) { options.cycle = static_cast<DrillCycle>(k); });
    if (argument == "--tool-change")
        return choose({"m6", "pause", "none"}, [&](int k) { options.toolChange = static_cast<ToolChange>(k); });
    if (argument == "--tool-order")
        return choose({"file", "size"}, [&](int k) { options.order = static_cast<ToolOrder>(k); });
    for (const ValueOption& option : kValueOptions) {
        if (argument != option.name) continue;
        std::optional<GivenValue> parsed = parseValue(value, option.withUnit);
        if (!parsed) {
            error = argument + " needs a number" + (option.withUnit ? ", with mm or in after it if it is not in the file's unit" : "") +
                    " (not " + value + ")";
            return OptionReading::Refused;
        }
        options.*option.field = std::move(parsed);
        return OptionReading::Read;
    }
    return OptionReading::NotMine;
}

bool writesGcode(const GcodeOptions& options, const std::string& output) {
    if (options.toGcode) return *options.toGcode;
    const std::string extension = lowerCase(std::filesystem::path(output).extension().string());
    for (const char* gcode : {".nc", ".ngc", ".gcode", ".tap", ".cnc"})
        if (extension == gcode) return true;
    return false;
}

SettingsReading machineSettings(const GcodeOptions& options, ProgramUnit unit) {
    SettingsReading reading;
    MachineSettings& s = reading.settings;
    const Defaults& defaults = defaultsOf(unit);
    auto pick = [&](const std::optional<GivenValue>& value, std::int64_t fallback) {
        return value ? inUnit(*value, unit) : fallback;
    };
    s.unit = unit;
    s.depth = pick(options.depth, defaults.depth);
    s.retract = pick(options.retract, defaults.retract);
    s.safeZ = pick(options.safeZ, defaults.safeZ);
    s.toolChangeZ = pick(options.toolChangeZ, std::max(defaults.toolChangeZ, s.safeZ));
    s.feed = pick(options.feed, defaults.feed);
    s.peck = pick(options.peck, defaults.peck);
    s.rapidRate = pick(options.rapidRate, defaults.rapidRate);
    s.spindle = options.spindle ? options.spindle->value : kDefaultSpindle;
    s.cycle = options.cycle;
    s.toolChange = options.toolChange;
    s.order = options.order;
    s.noSlots = options.noSlots;

    const std::string u = unitSymbol(unit);
    auto text = [&](const std::optional<GivenValue>& value, std::int64_t resolved) {
        return given(value, resolved, unit) + (value && value->unit ? "" : " " + u);
    };
    if (s.depth >= 0)
        reading.error = "--depth " + text(options.depth, s.depth) +
                        " is not below the surface (Z 0): the drill would plunge upward or not into the board; "
                        "give the bottom of the hole as a negative Z";
    else if (s.retract <= 0)
        reading.error = "--retract " + text(options.retract, s.retract) +
                        " is not above the surface (Z 0): the drill would retract into the board";
    else if (s.safeZ < s.retract)
        reading.error = "--safe-z " + text(options.safeZ, s.safeZ) + " is below the retract height " +
                        shortNumber(s.retract, unit) + " " + u;
    else if (s.toolChangeZ < s.safeZ)
        reading.error = "--tool-change-z " + text(options.toolChangeZ, s.toolChangeZ) + " is below the safe height " +
                        shortNumber(s.safeZ, unit) + " " + u;
    else if (s.feed <= 0)
        reading.error = "--feed " + text(options.feed, s.feed) + " is not above 0";
    else if (s.rapidRate <= 0)
        reading.error = "--rapid-rate " + text(options.rapidRate, s.rapidRate) + " is not above 0";
    else if (s.spindle <= 0)
        reading.error = "--spindle " + given(options.spindle, s.spindle, unit) + " is not above 0";
    else if (s.peck <= 0)
        reading.error = "--peck " + text(options.peck, s.peck) + " is not above 0";
    else if (s.cycle == DrillCycle::G83 && (s.retract - s.depth) / s.peck > kMaxPecks)
        reading.error = "--peck " + text(options.peck, s.peck) + " makes more than 10000 pecks per hole";
    return reading;
}

std::string settingsText(const MachineSettings& s) {
    static const char* const kCycles[] = {"g81", "g83", "moves"};
    static const char* const kChanges[] = {"m6", "pause", "none"};
    static const char* const kOrders[] = {"file", "size"};
    const std::string u = unitSymbol(s.unit);
    std::string text = "--drill-cycle " + std::string(kCycles[static_cast<int>(s.cycle)]) + " --tool-change " +
                       kChanges[static_cast<int>(s.toolChange)] + " --tool-order " +
                       kOrders[static_cast<int>(s.order)] + " --depth " + shortNumber(s.depth, s.unit) + u +
                       " --retract " + shortNumber(s.retract, s.unit) + u + " --safe-z " +
                       shortNumber(s.safeZ, s.unit) + u + " --tool-change-z " + shortNumber(s.toolChangeZ, s.unit) + u +
                       " --feed " + shortNumber(s.feed, s.unit) + u + " --spindle " +
                       shortNumber(s.spindle, s.unit);
    if (s.cycle == DrillCycle::G83) text += " --peck " + shortNumber(s.peck, s.unit) + u;
    text += " --rapid-rate " + shortNumber(s.rapidRate, s.unit) + u;
    if (s.noSlots) text += " --no-slots";
    return text;
}

std::string gcodeUsage() {
    return "Machine program (G-code) when OUT ends in .nc, .ngc, .gcode, .tap or .cnc, or\n"
           "with --to gcode; several IN files are drilled in turn, in the order given.\n"
           "Lengths and rates are in the file's unit unless they end in mm or in;\n"
           "defaults for millimetre files, then for inch files:\n"
           "  --to gcode|excellon        the output's kind (default: from OUT's extension;\n"
           "                             without -o, a program is written to IN with .nc)\n"
           "  --drill-cycle g81|g83|moves  canned drilling cycle, peck drilling, or plain\n"
           "                             G0/G1 moves for controllers without cycles such as\n"
           "                             Grbl (default g81)\n"
           "  --tool-change m6|pause|none  T<n> M6; spindle off, up to --tool-change-z and\n"
           "                             M0 pause; or only a comment (default m6)\n"
           "  --tool-order file|size     tools in file order or by ascending diameter\n"
           "                             (default file)\n"
           "  --depth Z                  the bottom of the holes, below Z 0 at the board's\n"
           "                             top (default -2 mm, -0.08 in)\n"
           "  --retract Z                the R plane, above the board (default 2 mm, 0.08 in)\n"
           "  --safe-z Z                 travel at start, end and between tools\n"
           "                             (default 10 mm, 0.4 in)\n"
           "  --tool-change-z Z          height for a tool change (default 30 mm, 1.2 in)\n"
           "  --feed F                   plunge and milling feed per minute\n"
           "                             (default 200 mm, 8 in)\n"
           "  --spindle S                spindle speed in rpm (default 10000)\n"
           "  --peck Q                   peck depth for g83 (default 0.5 mm, 0.02 in)\n"
           "  --rapid-rate R             the machine's rapid rate per minute, for the time\n"
           "                             estimate only (default 2500 mm, 100 in)\n"
           "  --no-slots                 leave slots and routes out (with a warning);\n"
           "                             by default they are milled with the hole's tool\n";
}

}  // namespace twcycle::drill::gcode
