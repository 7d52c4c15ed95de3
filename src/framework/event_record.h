// Building EventRecords. Texts longer than a field are cut so that the
// terminating NUL always fits.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "twpntopt.h"

namespace tw {

// Copies `text` into a field of `size` bytes, cut to size - 1 characters;
// null gives the empty text.
inline void copyField(char* field, std::size_t size, const char* text) {
    if (text == nullptr) text = "";
    std::size_t length = std::strlen(text);
    if (length >= size) length = size - 1;
    std::memcpy(field, text, length);
    field[length] = '\0';
}

// A zeroed record of `kind` with `name`.
inline EventRecord makeRecord(std::int32_t kind, const char* name = nullptr) {
    EventRecord record{};
    record.kind = kind;
    copyField(record.name, sizeof record.name, name);
    return record;
}

inline void setRecordText(EventRecord& record, const char* text) {
    copyField(record.text, sizeof record.text, text);
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
inline void formatRecordText(EventRecord& record, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(record.text, sizeof record.text, format, arguments);
    va_end(arguments);
}

}  // namespace tw
