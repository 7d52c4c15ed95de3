// Fuzzes the ".CFG" reader and what the configuration derives from its
// entries (starred parameters, escaped frame comment, frames).
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "settings/cfg_file.h"
#include "settings/configuration.h"
#include "settings/parameter_list.h"

namespace {

// A read-only stream over the input bytes.
std::FILE* streamOver(const std::uint8_t* data, std::size_t size) {
#if defined(__unix__) || defined(__APPLE__)
    if (size > 0) return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
#endif
    std::FILE* stream = std::tmpfile();
    if (stream == nullptr) return nullptr;
    std::fwrite(data, 1, size, stream);
    std::rewind(stream);
    return stream;
}

}  // namespace

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
