// Resolution of the input names that parameter and exchange files are opened
// by: "| stdin" for the standard input, a leading '~' for the home directory,
// anything else as given.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The one name that stands for the standard input.
inline constexpr std::string_view kStandardInputName = "| stdin";

// A name composed from HOME and the rest of a "~" name must fit a buffer of
// this many bytes, terminator included; longer results are refused.
inline constexpr std::size_t kResolvedNameSize = 512;

struct InputName {
    bool standardInput = false;  // the name was "| stdin"; `path` is empty
    std::string path;            // the file to open otherwise
};

// Resolves `name`. Refused (nullopt): a null name, a name beginning with '|'
// other than exactly "| stdin", a name beginning with '~' while HOME is
// unset, and a "~" name whose resolved form exceeds kResolvedNameSize - 1
// characters.
std::optional<InputName> resolveInputName(const char* name);

// Opens a resolved name for reading without text translation: the standard
// input (switched to binary mode) for "| stdin", else the file with "rb".
// Null when the name is refused or the file cannot be opened. The caller must
// not close the standard input; see isStandardInput.
std::FILE* openInputStream(const char* name);

// True for the stream openInputStream hands out for "| stdin".
bool isStandardInput(const std::FILE* stream);

}  // namespace tw
