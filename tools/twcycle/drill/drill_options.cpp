#include "drill_options.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "twcycle/algorithm_guide.h"
#include "drill_lines.h"
#include "excellon_words.h"

namespace twcycle::drill {
namespace {

// The first lines of a file are enough to tell its format.
constexpr std::size_t kSniffLength = 65536;

bool isFiniteNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const std::from_chars_result parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && std::isfinite(value);
}

bool readStart(std::string_view text, DrillOptions& options) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    const std::string_view x = trimmed(text.substr(0, comma));
    const std::string_view y = trimmed(text.substr(comma + 1));
    if (!isFiniteNumber(x) || !isFiniteNumber(y)) return false;
    options.startX.assign(x);
    options.startY.assign(y);
    return true;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

DrillOptions parseDrillOptions(int argc, char** argv) {
    DrillOptions options;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&](const char* option) -> std::optional<std::string> {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                options.error = std::string(option) + " needs a value";
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (argument == "-o" || argument == "--output") {
            const auto given = value("-o");
            if (!given) return options;
            options.output = *given;
        } else if (argument == "--algorithm") {
            const auto given = value("--algorithm");
            if (!given) return options;
            if (!isAlgorithmName(*given)) {
                std::string names;
                for (const AlgorithmEntry& entry : algorithmEntries()) names += (names.empty() ? "" : ", ") + entry.name;
                options.error = "unknown algorithm " + *given + " (" + names + ")";
                return options;
            }
            options.algorithm = *given;
        } else if (argument == "--start") {
            const auto given = value("--start");
            if (!given) return options;
            if (!readStart(*given, options)) {
                options.error = "--start needs two numbers X,Y";
                return options;
            }
        } else if (argument == "--svg") {
            const auto given = value("--svg");
            if (!given) return options;
            options.svgFile = *given;
        } else if (argument == "--format") {
            const auto given = value("--format");
            if (!given) return options;
            if (*given == "excellon") {
                options.format = DrillFormat::Excellon;
            } else if (*given == "csv") {
                options.format = DrillFormat::Csv;
            } else {
                options.error = "--format is excellon or csv";
                return options;
            }
        } else if (argument == "--zeros") {
            const auto given = value("--zeros");
            if (!given) return options;
            if (*given != "leading" && *given != "trailing") {
                options.error = "--zeros is leading (the file keeps leading zeros) or trailing";
                return options;
            }
            options.excellon.numbers.zeros = *given == "leading" ? ZeroMode::Leading : ZeroMode::Trailing;
        } else if (argument == "--digits") {
            const auto given = value("--digits");
            if (!given) return options;
            options.excellon.numbers.digits = readDigitsOption(*given);
            if (!options.excellon.numbers.digits) {
                options.error = "--digits needs I.D, the integer and decimal digits (2.4, 3.3, 3.5)";
                return options;
            }
        } else if (argument == "--units") {
            const auto given = value("--units");
            if (!given) return options;
            if (*given != "inch" && *given != "mm") {
                options.error = "--units is inch or mm";
                return options;
            }
            options.excellon.unit = *given;
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--module") {
            const auto given = value("--module");
            if (!given) return options;
            options.modulePath = *given;
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (const gcode::OptionReading read = gcode::readGcodeOption(argc, argv, i, options.gcode, options.error);
                   read != gcode::OptionReading::NotMine) {
            if (read == gcode::OptionReading::Refused) return options;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        } else if (argument.size() > 1 && argument[0] == '-') {
            options.error = "unknown option " + argument;
            return options;
        } else {
            inputs.push_back(argument);
        }
    }
    if (inputs.empty()) {
        options.error = "drill needs an input file";
        return options;
    }
    options.input = inputs.front();
    options.inputs = inputs;
    options.gcodeOutput = gcode::writesGcode(options.gcode, options.output);
    if (inputs.size() > 1 && !options.gcodeOutput) {
        options.error = "drill takes one input file, or several for one machine program (-o OUT.nc or --to gcode)";
        return options;
    }
    if (options.gcodeOutput && options.output.empty()) options.output = programName(options.input);
    return options;
}

std::string sortedName(const std::string& input) {
    const std::filesystem::path path(input);
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    const std::size_t at = input.size() - name.size() + (dot == std::string::npos || dot == 0 ? name.size() : dot);
    return input.substr(0, at) + "_sorted" + input.substr(at);
}

std::string programName(const std::string& input) {
    const std::filesystem::path path(input);
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    const std::size_t at = input.size() - name.size() + (dot == std::string::npos || dot == 0 ? name.size() : dot);
    return input.substr(0, at) + ".nc";
}

DrillFormat guessFormat(const std::string& path, std::string_view content) {
    const std::string extension = lowerCase(std::filesystem::path(path).extension().string());
    if (extension == ".csv" || extension == ".tsv") return DrillFormat::Csv;
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) content.remove_prefix(kByteOrderMark.size());
    for (const DrillLine& line : splitLines(content.substr(0, kSniffLength))) {
        const std::string_view text = trimmed(line.text);
        if (text.empty() || text.front() == ';' || text.front() == '#') continue;
        // '%' (rewind and stop) opens many files before M48; no CSV row starts with it.
        if (text == "M48" || text.front() == '%') return DrillFormat::Excellon;
        const std::optional<std::vector<ExcellonWord>> words = splitWords(text);
        return words && !words->empty() ? DrillFormat::Excellon : DrillFormat::Csv;
    }
    return DrillFormat::Excellon;
}

std::string drillUsage() {
    return "Usage: twcycle drill IN [-o OUT] [--algorithm NAME] [--start X,Y] [--svg FILE]\n"
           "                        [--format excellon|csv] [--zeros leading|trailing] [--digits I.D]\n"
           "                        [--units inch|mm] [--check] [--quiet] [--module PATH]\n"
           "       twcycle drill IN... -o OUT.nc [machine program options below]\n"
           "Orders the holes of an Excellon or CSV drill file for a short travel and writes\n"
           "the same file back with only the order of its hole lines changed. The holes of\n"
           "each block are ordered as one contour; each block starts where the previous\n"
           "one ended, the first at --start (default 0,0, in the file's unit). A block ends\n"
           "at every tool selection, stop (M00, M01), zero set (G93), slot, route, repeat\n"
           "code, pattern and restated header: no hole moves across one, and the holes\n"
           "that a repeat code or a route starts from stay where they are.\n"
           "\n"
           "  -o OUT            the output (default: IN with _sorted before the extension);\n"
           "                    OUT may be IN\n"
           "  --algorithm NAME  nearOptimal (default: within about 1 % of the best known\n"
           "                    paths, in seconds on the largest boards; a drill file is\n"
           "                    drilled many times, so its order is worth the seconds), or\n"
           "                    another name that twcycle --list-algorithms lists\n"
           "  --format F        read IN as excellon or csv (default: csv for .csv and .tsv,\n"
           "                    otherwise what the first statement of IN looks like)\n"
           "  --zeros Z         leading or trailing: which zeros the implied-decimal\n"
           "                    numbers keep (default: LZ or TZ of the file, else what the\n"
           "                    numbers show; a note says so)\n"
           "  --digits I.D      integer and decimal digits of implied-decimal numbers\n"
           "                    (default: the file's format, else the unit's, widened for\n"
           "                    longer numbers); the order does not depend on it\n"
           "  --units U         inch or mm, for a file that states no unit (else its\n"
           "                    lengths are in file units)\n"
           "  --check           read IN and print what was understood (tools, holes per\n"
           "                    block, unit, zeros, digits, what was inferred); write nothing\n"
           "  --svg FILE        also write a picture of input order and ordered paths (of\n"
           "                    the program's moves for a machine program)\n"
           "  --module PATH     the cycle module (default: the one next to twcycle)\n"
           "  --quiet           do not print the table and the notes\n"
           "\n"
           "OUT is written only after it has been read back and holds every hole of IN.\n"
           "Exit status: 0 ordered (or checked), 1 the module refused the run, 2 command\n"
           "line, input file or module, 3 the ordered file could not be written or failed\n"
           "the check, 4 the picture could not be written, 5 IN cannot be read, 8 IN holds\n"
           "what this reader cannot reorder safely (the message names the line and the\n"
           "option that settles it, when there is one).\n"
           "\n" + gcode::gcodeUsage() +
           "A machine program is read back before it is written: every hole drilled once\n"
           "with its tool at its position, no move sideways below Z 0 other than along a\n"
           "slot, no rapid below the retract height outside a drilling cycle, and the\n"
           "spindle on whenever the tool is in the board; otherwise exit status 3 and\n"
           "nothing is written.\n";
}

}  // namespace twcycle::drill
