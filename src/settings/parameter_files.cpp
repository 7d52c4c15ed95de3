#include "settings/parameter_files.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "exchange/parameter_file.h"
#include "platform/platform.h"
#include "settings/parameter_list.h"

namespace tw {

Parameter* readParameterFile(Parameter* list, const char* path, std::uint16_t level) {
    if (path == nullptr || std::strlen(path) > kMaxParameterPath) return list;
    const std::string name = platform::nativePath(path);
    std::FILE* stream = openParameterFile(name.c_str());
    if (stream == nullptr) return list;
    ParameterEntry pair;
    while (!std::feof(stream) && !std::ferror(stream)) {
        if (readParameterEntry(stream, pair) == 1) list = adoptParameter(list, pair, level);
    }
    closeParameterFile(stream);
    return list;
}

}  // namespace tw
