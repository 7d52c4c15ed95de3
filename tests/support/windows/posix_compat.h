// The few POSIX calls the tests use, for Windows builds of the tests, where
// this header is included ahead of every test source. Each maps onto the C
// runtime's own equivalent.
#pragma once

#if defined(_WIN32)

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>

#ifndef F_GETFD
#define F_GETFD 1
#endif

// Only F_GETFD: 0 for an open descriptor, -1 otherwise.
inline int fcntl(int descriptor, int command) {
    if (command != F_GETFD) return -1;
    return _get_osfhandle(descriptor) == -1 ? -1 : 0;
}

inline int pipe(int descriptors[2]) { return _pipe(descriptors, 65536, _O_BINARY); }

inline int setenv(const char* name, const char* value, int overwrite) {
    if (overwrite == 0 && getenv(name) != nullptr) return 0;
    // An empty value would remove the variable, which is not what was asked.
    if (value[0] == '\0') return -1;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

// Replaces the trailing "XXXXXX" of `pattern` and creates that directory.
inline char* mkdtemp(char* pattern) {
    const size_t length = strlen(pattern);
    if (length < 6 || strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
    for (int attempt = 0; attempt < 100; ++attempt) {
        static unsigned serial = 0;
        unsigned value = static_cast<unsigned>(_getpid()) * 7919u + ++serial;
        for (size_t i = length - 6; i < length; ++i) {
            pattern[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
            value /= 36;
        }
        if (_mkdir(pattern) == 0) return pattern;
    }
    return nullptr;
}

#endif
