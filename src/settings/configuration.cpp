#include "settings/configuration.h"

#include <cctype>
#include <cstring>

#include "exchange/escape_text.h"
#include "exchange/file_names.h"
#include "settings/parameter_files.h"
#include "settings/cfg_file.h"
#include "settings/frames.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

// The names that give the three axes and the origin of one frame, in column
// order.
using FrameNames = const char* const[4];

constexpr FrameNames kWorkFrameNames = {"frameCs_x", "frameCs_y", "frameCs_z", "frameCs_o"};
constexpr FrameNames kToolFrameNames = {"toolCs_x", "toolCs_y", "toolCs_z", "toolCs_o"};
constexpr FrameNames kLocalFrameNames = {"locFrameCs_x", "locFrameCs_y", "locFrameCs_z", "locFrameCs_o"};
constexpr FrameNames kCfgWorkFrameNames = {"*NCKO_X", "*NCKO_Y", "*NCKO_Z", "*NCKO_O"};
constexpr FrameNames kCfgToolFrameNames = {"*WZKO_X", "*WZKO_Y", "*WZKO_Z", "*WZKO_O"};

constexpr std::size_t kExtensionLength = 4;


void buildFrame(const Parameter* list, FrameNames names, bool firstOnly, FrameMatrix& matrix) {
    for (int column = kAxisX; column <= kOrigin; ++column) {
        setFrameColumn(list, names[column], firstOnly, matrix, column);
    }
}

// A tool frame given only as a work frame takes the work frame's values.
Parameter* defaultToolFrame(Parameter* list) {
    for (int column = kAxisX; column <= kOrigin; ++column) {
        if (getParameter(list, kToolFrameNames[column])) continue;
        if (const auto frameValue = getParameter(list, kWorkFrameNames[column])) {
            list = setParameter(list, kToolFrameNames[column], frameValue->c_str(), kLevelDerived);
        }
    }
    return list;
}

// The parameter each starred ".CFG" entry sets, or null.
const char* starredParameter(const char* entry) {
    if (std::strcmp(entry, "*APT") == 0) return "pofFilename";
    if (std::strcmp(entry, "*FRAME_ID") == 0) return "zeroPointID";
    if (std::strcmp(entry, "*FRAME_COMMENT") == 0) return "frameComment";
    return nullptr;
}

void readSettingsFiles(Cycle* cycle) {
    if (cycle->identifier != nullptr) {
        const std::string definitions = std::string(cycle->identifier) + ".def";
        cycle->parameters = readParameterFile(cycle->parameters, definitions.c_str(), kLevelDefinition);
    }
    if (cycle->settingsSource != nullptr) {
        const std::string job = cycle->settingsSource == kStandardInputName
                                    ? std::string(kStandardInputName)
                                    : withExtension(cycle->settingsSource, ".pcf");
        cycle->parameters = readParameterFile(cycle->parameters, job.c_str(), kLevelCall);
    }
}

void buildSettingsFrames(Cycle* cycle) {
    setIdentity(cycle->frame);
    buildFrame(cycle->parameters, kWorkFrameNames, true, cycle->frame);

    copyFrame(cycle->frame, cycle->toolFrame);
    cycle->parameters = defaultToolFrame(cycle->parameters);
    buildFrame(cycle->parameters, kToolFrameNames, true, cycle->toolFrame);

    FrameMatrix local;
    setIdentity(local);
    buildFrame(cycle->parameters, kLocalFrameNames, true, local);
    FrameMatrix inverse;
    invertFrame(cycle->frame, inverse);
    multiplyFrames(inverse, local, cycle->localFrame);
}

}  // namespace

std::string escapeFrameComment(std::string_view comment) {
    std::string escaped = escapeExchangeText(comment);
    constexpr std::size_t kLimit = kFrameCommentSize - 1;
    if (escaped.size() <= kLimit) return escaped;
    // Every '\' starts a four-character escape; one starting within the last
    // three places would be split, so the cut goes before it.
    std::size_t cut = kLimit;
    for (std::size_t at = kLimit - 3; at < kLimit; ++at) {
        if (escaped[at] == '\\') cut = at;
    }
    escaped.resize(cut);
    return escaped;
}

std::int32_t TWCS_CALL readSettings(Cycle* cycle) {
    if (cycle == nullptr) return 1;
    try {
        readSettingsFiles(cycle);
        buildSettingsFrames(cycle);
    } catch (...) {
        // Memory ran short: the settings stay as far as they were read.
    }
    return 1;
}

void deriveCfgSettings(Cycle* cycle) {
    for (const Parameter* entry = cycle->cfgEntries; entry != nullptr; entry = entry->next) {
        if (entry->name == nullptr || entry->name[0] != '*') continue;
        const char* parameter = starredParameter(entry->name);
        if (parameter == nullptr) continue;
        const char* value = entry->value != nullptr ? entry->value : "";
        if (std::strcmp(parameter, "frameComment") == 0) {
            cycle->parameters = setParameter(cycle->parameters, parameter, escapeFrameComment(value).c_str(),
                                             kLevelDerived);
        } else {
            cycle->parameters = setParameter(cycle->parameters, parameter, value, kLevelDerived);
        }
    }
    setIdentity(cycle->frame);
    buildFrame(cycle->cfgEntries, kCfgWorkFrameNames, false, cycle->frame);
    copyFrame(cycle->frame, cycle->toolFrame);
    buildFrame(cycle->parameters, kCfgToolFrameNames, false, cycle->toolFrame);
}

std::int32_t TWCS_CALL readCfgSettings(Cycle* cycle) {
    if (cycle == nullptr) return 1;
    try {
        if (cycle->settingsSource != nullptr) {
            const std::string file = withExtension(cycle->settingsSource, ".CFG");
            cycle->cfgEntries = readCfgFile(cycle->cfgEntries, file.c_str(), kLevelCall);
        }
        deriveCfgSettings(cycle);
    } catch (...) {
        // Memory ran short: the settings stay as far as they were read.
    }
    return 1;
}

bool hasExtension(const std::string& name, const char* extension) {
    if (name.size() < kExtensionLength) return false;
    const std::size_t start = name.size() - kExtensionLength;
    for (std::size_t i = 0; i < kExtensionLength; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[start + i])) !=
            std::toupper(static_cast<unsigned char>(extension[i])))
            return false;
    }
    return true;
}

// `name` with `extension` appended unless it already ends in it, in any case.
std::string withExtension(const std::string& name, const char* extension) {
    std::string file(name);
    if (!hasExtension(file, extension)) file += extension;
    return file;
}

}  // namespace tw
