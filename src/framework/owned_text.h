// Owned C texts for the records the host sees (parameter lists, cycle
// fields). They are allocated with malloc (short memory counts as a fault of
// the run) so that C code may read and free them, and every helper here
// accepts "none" (a null pointer) where the C records do.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "framework/run_faults.h"

namespace tw {

// An owned, NUL-terminated copy of `text`, or null when `text` is null or
// memory is short. Release it with releaseText.
inline char* copyText(const char* text) {
    if (text == nullptr) return nullptr;
    const std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(allocateMemory(size));
    if (copy != nullptr) std::memcpy(copy, text, size);
    return copy;
}

// An owned copy of `text` (which may hold no terminator), or null when memory
// is short.
inline char* copyText(std::string_view text) {
    char* copy = static_cast<char*>(allocateMemory(text.size() + 1));
    if (copy == nullptr) return nullptr;
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// Releases a text made by copyText; null is accepted.
inline void releaseText(char*& text) {
    std::free(text);
    text = nullptr;
}

// Zero-filled memory for `count` objects of `size` bytes, or null.
inline void* allocateZeroed(std::size_t count, std::size_t size) {
    return allocateZeroedMemory(count, size);
}

}  // namespace tw
