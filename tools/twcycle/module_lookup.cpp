#include "module_lookup.h"

#include <cstdio>

namespace twcycle {

std::vector<std::string> moduleCandidates(const std::string& programDirectory, const std::string& libraryFromProgram,
                                          const std::string& fileName) {
    std::vector<std::string> candidates{programDirectory + fileName};
    if (!libraryFromProgram.empty()) {
        std::string library = programDirectory + libraryFromProgram;
        if (library.back() != '/' && library.back() != '\\') library += '/';
        candidates.push_back(library + fileName);
    }
    return candidates;
}

std::string findModule(const std::vector<std::string>& candidates,
                       const std::function<bool(const std::string&)>& exists) {
    for (const std::string& candidate : candidates)
        if (exists(candidate)) return candidate;
    return candidates.empty() ? std::string() : candidates.front();
}

std::string moduleVersionText(const Cycle* cycle) {
    if (cycle == nullptr) return "(the module gives no cycle record)";
    char text[128];
    std::snprintf(text, sizeof text, "%u.%02u of %04u-%02u-%02u", static_cast<unsigned>(cycle->versionMajor),
                  static_cast<unsigned>(cycle->versionMinor), static_cast<unsigned>(cycle->versionYear),
                  static_cast<unsigned>(cycle->versionMonth), static_cast<unsigned>(cycle->versionDay));
    return std::string(cycle->title != nullptr ? cycle->title : "(untitled cycle)") + " " + text;
}

}  // namespace twcycle
