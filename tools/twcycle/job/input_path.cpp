#include "input_path.h"

#include "exchange/file_names.h"

namespace twcycle {

std::optional<std::string> resolvedInputPath(const std::string& name) {
    const std::optional<tw::InputName> resolved = tw::resolveInputName(name.c_str());
    if (!resolved || resolved->standardInput) return std::nullopt;
    return resolved->path;
}

}  // namespace twcycle
