#include "framework/arguments.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "framework/channels.h"
#include "framework/owned_text.h"
#include "framework/run_phases.h"
#include "framework/slots.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

// A parent chain longer than this is taken as a loop and refused.
constexpr int kMaxParentDepth = 64;

// The bypass file is copied in pieces of at most this many bytes.
constexpr std::size_t kBypassPiece = 511;

std::int32_t inheritSlotsAt(Cycle* cycle, int depth) {
    if (cycle->slotsInherited != 0) return 1;
    Cycle* parent = cycle->parent;
    if (parent != nullptr) {
        if (parent->interfaceVersion != cycle->interfaceVersion) return 0;
        if (depth >= kMaxParentDepth || inheritSlotsAt(parent, depth + 1) == 0) return 0;
        for (int slot = 0; slot < TWCS_SLOT_COUNT; ++slot) {
            if (cycle->slots[slot] == nullptr) cycle->slots[slot] = parent->slots[slot];
        }
    }
    cycle->slotsInherited = 1;
    return 1;
}

bool equalsIgnoringCase(const char* text, const char* word) {
    for (; *word != '\0'; ++text, ++word) {
        if (std::toupper(static_cast<unsigned char>(*text)) != std::toupper(static_cast<unsigned char>(*word)))
            return false;
    }
    return *text == '\0';
}

bool startsWithIgnoringCase(const char* text, const char* word) {
    for (; *word != '\0'; ++text, ++word) {
        if (*text == '\0') return false;
        if (std::toupper(static_cast<unsigned char>(*text)) != std::toupper(static_cast<unsigned char>(*word)))
            return false;
    }
    return true;
}

// The run-mode bit of a two-character switch, or 0 when the character names
// no switch.
std::uint16_t switchBit(char c) {
    switch (c) {
        case '?': return kModeQuery;
        case 'A': case 'a': return kModeAlgorithm;
        case 'D': case 'd': return kModeD;
        case 'P': case 'p': return kModeParameters;
        case 'V': case 'v': return kModeVersion;
        case 'Y': case 'y': return kModeLayers;
        default: return 0;
    }
}

// Leading-integer conversion: text that does not start with a number gives 0.
std::uint16_t leadingNumber(const char* text) {
    return static_cast<std::uint16_t>(std::strtol(text, nullptr, 10));
}

void releasePositionalArguments(Cycle* cycle) {
    if (cycle->parameterFiles != nullptr) {
        for (std::uint16_t i = 0; i < cycle->parameterFileCount; ++i) std::free(cycle->parameterFiles[i]);
        std::free(cycle->parameterFiles);
    }
    cycle->parameterFiles = nullptr;
    cycle->parameterFileCount = 0;
}

void addPositional(Cycle* cycle, const char* argument) {
    char* copy = copyText(argument);
    if (copy != nullptr) cycle->parameterFiles[cycle->parameterFileCount++] = copy;
}

// Handles a switch longer than one character; returns false when the
// argument is positional after all.
bool parseLongSwitch(Cycle* cycle, const char* argument) {
    const char* rest = argument + 1;
    switch (rest[0]) {
        case 'I':
        case 'i':
            return startsWithIgnoringCase(rest, "IPC");
        case 'M':
        case 'm':
            cycle->messageLevel = leadingNumber(rest + 1);
            return true;
        case 'P':
            if (equalsIgnoringCase(rest, "PCF")) {
                cycle->pcfMode = 1;
                return true;
            }
            if (equalsIgnoringCase(rest, "POF")) {
                cycle->pcfMode = 0;
                return true;
            }
            return false;
        case 'S':
        case 's': {
            char* source = copyText(rest + 1);
            if (source == nullptr) return true;
            std::free(cycle->settingsSource);
            cycle->settingsSource = source;
            cycle->runMode |= kModeSettings;
            return true;
        }
        default:
            return false;
    }
}

void parseArgument(Cycle* cycle, const char* argument) {
    const bool switchPrefix = argument[0] == '-' || argument[0] == '/';
    if (switchPrefix && argument[1] != '\0' && argument[2] == '\0') {
        if (const std::uint16_t bit = switchBit(argument[1])) {
            cycle->runMode |= bit;
            return;
        }
    } else if (switchPrefix && argument[1] != '\0') {
        if (parseLongSwitch(cycle, argument)) return;
    } else if (argument[0] == '?') {
        cycle->runMode = kModeQuery;
        return;
    }
    addPositional(cycle, argument);
}

bool endsWithCfg(const char* source) {
    if (source == nullptr) return false;
    const std::size_t length = std::strlen(source);
    return length > 4 && equalsIgnoringCase(source + length - 4, ".CFG");
}

}  // namespace

std::int32_t inheritSlots(Cycle* cycle) { return inheritSlotsAt(cycle, 0); }

void copyBypassFile(Cycle* cycle, std::FILE* out) {
    if (cycle->pcfMode != 0) return;
    const std::optional<std::string> name = getParameter(cycle->parameters, "POFbypass");
    if (!name) return;
    std::FILE* in = std::fopen(name->c_str(), "r");
    if (in == nullptr) return;
    // Pieces are moved as bytes, so long lines, a missing final line end and
    // embedded NUL bytes all pass through unchanged.
    char piece[kBypassPiece];
    std::size_t got = 0;
    while ((got = std::fread(piece, 1, sizeof piece, in)) > 0) {
        std::fwrite(piece, 1, got, out);
    }
    std::fclose(in);
    std::fflush(out);
}

std::int32_t parseArguments(Cycle* cycle, char** arguments, std::uint16_t count) {
    if (inheritSlots(cycle) == 0) return 0;

    // A run that stopped half-way may have left its collections and channels
    // (with hooks of a host that is gone); this run starts like a first one.
    discardRunCollections(cycle);
    releaseChannels(cycle);
    cycle->messageLevel = 0;
    cycle->runMode = 0;
    cycle->firstEmissionPending = 1;
    cycle->pcfMode = 0;

    if (count != 0) {
        cycle->parameterFiles = static_cast<char**>(allocateZeroed(count, sizeof(char*)));
        if (cycle->parameterFiles == nullptr) return 0;
        for (std::uint16_t i = 0; i < count; ++i) parseArgument(cycle, arguments[i]);
    }
    if (cycle->parameterFileCount > 0) {
        raiseProgress(cycle, kBeforeReadParameterFiles);
        callSlot(cycle, kReadParameterFiles);
        raiseProgress(cycle, kAfterReadParameterFiles);
    } else {
        releasePositionalArguments(cycle);
    }
    if (cycle->runMode == 0) cycle->runMode = kModeVersion | kModeQuery;

    cycle->cfgMode = endsWithCfg(cycle->settingsSource) ? 1 : 0;
    raiseProgress(cycle, kBeforeConfiguration);
    const std::int32_t configured = callSlot(cycle, cycle->cfgMode ? kReadCfgSettings : kReadSettings);
    raiseProgress(cycle, kAfterConfiguration);

    cycle->parameters = setParameter(cycle->parameters, cycle->cfgMode ? "*TEMP_MEM" : "tempMem", "128",
                                     kLevelDefault);
    copyBypassFile(cycle, stdout);

    if (configured == 0) {
        releaseRun(cycle);
        return 0;
    }
    return configured;
}

}  // namespace tw
