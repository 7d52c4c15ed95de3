#include "exchange/file_names.h"

#include "platform/platform.h"

namespace tw {

std::optional<InputName> resolveInputName(const char* name) {
    if (name == nullptr) return std::nullopt;
    const std::string_view text(name);
    if (!text.empty() && text.front() == '|') {
        if (text != kStandardInputName) return std::nullopt;
        return InputName{true, {}};
    }
    if (!text.empty() && text.front() == '~') {
        const std::optional<std::string> home = platform::homeDirectory();
        if (!home) return std::nullopt;
        std::string path = *home;
        path.append(text.substr(1));
        if (path.size() >= kResolvedNameSize) return std::nullopt;
        return InputName{false, std::move(path)};
    }
    return InputName{false, std::string(text)};
}

std::FILE* openInputStream(const char* name) {
    const std::optional<InputName> resolved = resolveInputName(name);
    if (!resolved) return nullptr;
    if (resolved->standardInput) return platform::binaryStandardInput();
    return std::fopen(resolved->path.c_str(), "rb");
}

bool isStandardInput(const std::FILE* stream) { return stream != nullptr && stream == stdin; }

}  // namespace tw
