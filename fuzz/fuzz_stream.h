// A read-only stream over a fuzz input, for readers that take a FILE*.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fuzzing {

// The caller closes the stream; null when none could be made.
inline std::FILE* streamOver(const std::uint8_t* data, std::size_t size) {
#if defined(__unix__) || defined(__APPLE__)
    if (size > 0) return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
#endif
    std::FILE* stream = std::tmpfile();
    if (stream == nullptr) return nullptr;
    std::fwrite(data, 1, size, stream);
    std::rewind(stream);
    return stream;
}

}  // namespace fuzzing
