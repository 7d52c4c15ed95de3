#include "switch_runs.h"

#include <cctype>

#include "algorithm_guide.h"
#include "job/placed_parameters.h"
#include "settings/configuration.h"
#include "settings/message_file.h"

namespace twcycle {
namespace {

constexpr const char* kProgram = "twcycle";
// The language the module asks for when "SystemLanguage" is not set.
constexpr const char* kUnsetLanguage = "???";

struct Topic {
    bool SwitchSet::*given;
    const char* letter;
    const char* parameter;
};

constexpr Topic kTopics[] = {
    {&SwitchSet::parameters, "P", "parameters"},
    {&SwitchSet::algorithm, "A", "algorithm"},
    {&SwitchSet::layers, "Y", "layers"},
};

void hint(std::FILE* err, bool quiet, const std::string& text) {
    if (!quiet) std::fprintf(err, "%s: %s\n", kProgram, text.c_str());
}

// Prints the section and returns the number of its lines; -1 when the file
// cannot be opened.
int printSection(const std::string& path, const std::string& language, std::FILE* out) {
    const int handle = tw::openMessageFile(path.c_str(), language.c_str());
    if (handle < 0) return -1;
    int lines = 0;
    std::string line;
    while (tw::readMessageLine(handle, line) == 1) {
        std::fprintf(out, "%s\n", line.c_str());
        ++lines;
    }
    tw::closeMessageFile(handle);
    std::fflush(out);
    return lines;
}

void showTopic(const Topic& topic, const PlacedSettings& settings, bool quiet, std::FILE* out, std::FILE* err) {
    const std::string flag = std::string("-") + topic.letter;
    const PlacedEntry* path = settings.find(topic.parameter);
    const PlacedEntry* language = settings.find("SystemLanguage");
    const std::string wanted = language ? language->value : kUnsetLanguage;
    if (path == nullptr) {
        hint(err, quiet, flag + " shows the message file named by the parameter \"" + topic.parameter +
                             "\", and no setting names one (examples/twPntOpt.def shows how)");
        return;
    }
    if (std::string(topic.parameter) == "algorithm" && isAlgorithmName(path->value)) {
        hint(err, quiet, flag + " reads its message file from the parameter \"algorithm\", which holds the "
                             "algorithm name " + path->value + " here; twcycle --list-algorithms lists the names");
        return;
    }
    const int lines = printSection(path->value, wanted, out);
    if (lines < 0) {
        hint(err, quiet, flag + ": cannot open the message file \"" + path->value + "\" named by \"" +
                             topic.parameter + "\"");
    } else if (lines == 0) {
        hint(err, quiet, flag + ": the message file \"" + path->value + "\" has no section for the language \"" +
                             wanted + "\" (parameter SystemLanguage)");
    }
}

}  // namespace

SwitchSet readSwitches(const std::vector<std::string>& arguments) {
    SwitchSet switches;
    bool any = false;
    bool source = false;
    for (const std::string& argument : arguments) {
        if (!argument.empty() && argument[0] == '?') {
            switches.query = any = true;
            continue;
        }
        if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/')) continue;
        if (argument.size() > 2) {
            if (argument[1] == 'S' || argument[1] == 's') source = true;
            continue;
        }
        switch (std::toupper(static_cast<unsigned char>(argument[1]))) {
            case 'V': switches.version = any = true; break;
            case '?': switches.query = any = true; break;
            case 'P': switches.parameters = any = true; break;
            case 'A': switches.algorithm = any = true; break;
            case 'Y': switches.layers = any = true; break;
            case 'D': switches.debug = any = true; break;
            default: break;
        }
    }
    if (!any && !source) switches.version = switches.query = true;
    return switches;
}

void explainSwitchRun(const SwitchSet& switches, const std::string& identifier, const std::string& settingsSource,
                      bool quiet, std::FILE* out, std::FILE* err) {
    if (switches.parameters || switches.algorithm || switches.layers) {
        PlacedSettings settings;
        settings.add(readPlacedParameters(identifier + ".def"));
        if (!settingsSource.empty() && !tw::hasExtension(settingsSource, ".CFG"))
            settings.add(readPlacedParameters(tw::withExtension(settingsSource, ".pcf")));
        for (const Topic& topic : kTopics)
            if (switches.*topic.given) showTopic(topic, settings, quiet, out, err);
    }
    if (switches.version || switches.query || switches.debug)
        hint(err, quiet, "the module prints nothing for -V, -? and -D (nor when called without arguments); "
                         "run a job with -S<job>, or see twcycle --help");
}

}  // namespace twcycle
