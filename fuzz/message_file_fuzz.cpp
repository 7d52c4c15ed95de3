// Fuzzes the message-file reader: the head scan and the section lines. The
// first byte picks the wanted language, the rest is the file.
#include <cstdint>
#include <cstdio>
#include <string>

#include "settings/message_file.h"

#include "fuzz_stream.h"

namespace {

using fuzzing::streamOver;

const char* const kLanguages[] = {nullptr, "english", "german", "???"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* language = kLanguages[data[0] % 4];
    // Two handles over the same bytes, read alternately.
    const int first = tw::adoptMessageStream(streamOver(data + 1, size - 1), language);
    const int second = tw::adoptMessageStream(streamOver(data + 1, size - 1), "english");
    std::string line;
    bool more = true;
    while (more) {
        more = false;
        for (int handle : {first, second}) {
            if (tw::readMessageLine(handle, line) == 1) {
                if (line.size() >= tw::kMessageLineSize) __builtin_trap();
                more = true;
            } else if (!line.empty()) {
                __builtin_trap();
            }
        }
    }
    tw::closeMessageFile(first);
    tw::closeMessageFile(second);
    return 0;
}
