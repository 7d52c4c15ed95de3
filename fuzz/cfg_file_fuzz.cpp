// Fuzzes the ".CFG" reader and what the configuration derives from its
// entries (starred parameters, escaped frame comment, frames).
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "settings/cfg_file.h"
#include "settings/configuration.h"
#include "settings/parameter_list.h"

#include "fuzz_stream.h"

using fuzzing::streamOver;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* stream = streamOver(data, size);
    if (stream == nullptr) return 0;
    Cycle cycle{};
    cycle.cfgEntries = tw::readCfgStream(nullptr, stream, 21);
    std::fclose(stream);
    for (const Parameter* node = cycle.cfgEntries; node != nullptr; node = node->next) {
        if (std::strlen(node->name) >= tw::kCfgNameSize || std::strlen(node->value) >= tw::kCfgValueSize)
            __builtin_trap();
    }
    // The tool frame reads parameters: feed it the entries too.
    for (const Parameter* node = cycle.cfgEntries; node != nullptr; node = node->next) {
        cycle.parameters = tw::setParameter(cycle.parameters, node->name, node->value, 21);
    }
    tw::deriveCfgSettings(&cycle);
    if (auto comment = tw::getParameter(cycle.parameters, "frameComment")) {
        if (comment->size() >= tw::kFrameCommentSize) __builtin_trap();
    }
    tw::freeParameters(cycle.parameters);
    tw::freeParameters(cycle.cfgEntries);
    return 0;
}
