// Fuzzes the parameter-file reader, the number triples read from its values
// and the frames built from them.
#include <cstdint>
#include <cstdio>
#include <string>

#include "exchange/number_triple.h"
#include "exchange/parameter_file.h"
#include "settings/frames.h"
#include "settings/parameter_list.h"

#include "fuzz_stream.h"

namespace {

using fuzzing::streamOver;

const char* const kFrameNames[] = {"x", "y", "z", "o"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    double first = 0, second = 0, third = 0;
    tw::parseNumberTriple(text.c_str(), first, second, third);

    std::FILE* stream = streamOver(data, size);
    if (stream == nullptr) return 0;
    Parameter* list = nullptr;
    tw::ParameterEntry entry;
    while (!std::feof(stream) && !std::ferror(stream)) {
        if (tw::readParameterEntry(stream, entry) == 1) {
            if (!entry.name || !entry.value) __builtin_trap();  // a name always comes with a value
            tw::parseNumberTriple(entry.value->c_str(), first, second, third);
            list = tw::adoptParameter(list, entry, 21);
        }
    }
    tw::closeParameterFile(stream);

    double frame[16];
    double local[16];
    tw::setIdentity(frame);
    for (int column = 0; column < 4; ++column) tw::setFrameColumn(list, kFrameNames[column], true, frame, column);
    tw::copyFrame(frame, local);
    for (int column = 0; column < 4; ++column) tw::setFrameColumn(list, kFrameNames[column], false, local, column);
    tw::invertFrame(frame, frame);
    tw::multiplyFrames(frame, local, local);
    tw::freeParameters(list);
    return 0;
}
