#include "job_settings.h"

#include <cctype>
#include <memory>

#include "exchange/file_names.h"
#include "settings/parameter_files.h"
#include "text/number_text.h"
#include "platform/platform.h"
#include "settings/configuration.h"
#include "settings/parameter_list.h"

namespace twcycle {
namespace {

constexpr std::size_t kExtensionLength = 4;

bool isSwitchPrefix(char c) { return c == '-' || c == '/'; }

// The characters of the two-character switches that make a switch run.
bool isRunSwitch(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
        case '?':
        case 'A':
        case 'D':
        case 'P':
        case 'V':
        case 'Y':
            return true;
        default:
            return false;
    }
}


struct ParameterListDeleter {
    void operator()(Parameter* list) const { tw::freeParameters(list); }
};
using ParameterList = std::unique_ptr<Parameter, ParameterListDeleter>;

void readInto(ParameterList& list, const std::string& path, std::uint16_t level) {
    Parameter* first = list.release();
    first = tw::readParameterFile(first, path.c_str(), level);
    list.reset(first);
}

}  // namespace

RunRequest classifyArguments(const std::vector<std::string>& arguments) {
    RunRequest request;
    bool switchGiven = false;
    bool sourceGiven = false;
    for (const std::string& argument : arguments) {
        if (argument.size() == 2 && isSwitchPrefix(argument[0])) {
            if (isRunSwitch(argument[1])) switchGiven = true;
        } else if (argument.size() > 2 && isSwitchPrefix(argument[0])) {
            if (argument[1] == 'S' || argument[1] == 's') {
                request.settingsSource = argument.substr(2);
                sourceGiven = true;
            }
        } else if (!argument.empty() && argument[0] == '?') {
            switchGiven = true;
        }
    }
    request.normalRun = sourceGiven && !switchGiven;
    return request;
}

JobSettings readJobSettings(const std::string& identifier, const std::string& settingsSource) {
    JobSettings settings;
    if (settingsSource.size() > kExtensionLength && tw::hasExtension(settingsSource, ".CFG")) {
        settings.kind = JobKind::CfgFile;
        return settings;
    }
    if (settingsSource == tw::kStandardInputName) {
        settings.kind = JobKind::StandardInput;
        return settings;
    }
    ParameterList list;
    readInto(list, identifier + ".def", tw::kLevelDefinition);
    const std::string job = tw::withExtension(settingsSource, ".pcf");
    readInto(list, job, tw::kLevelCall);

    settings.geoSource = tw::getParameter(list.get(), "geoSource");
    settings.geoOut = tw::getParameter(list.get(), "geoOut");
    if (const auto x = tw::getParameter(list.get(), "startX")) settings.startX = tw::leadingReal(x->c_str());
    if (const auto y = tw::getParameter(list.get(), "startY")) settings.startY = tw::leadingReal(y->c_str());
    return settings;
}

std::string literalFileName(const std::string& name) {
    if (name.empty() || (name[0] != '~' && name[0] != '|')) return name;
    const std::string local = std::string(".") + tw::platform::pathSeparator() + name;
    return tw::platform::fileExists(name) ? local : name;
}

}  // namespace twcycle
