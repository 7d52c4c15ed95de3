// The few operating-system services the module and the host need: library
// loading, file status, path spelling, the home directory and file moves.
// Everything else in the project is portable standard C++.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tw::platform {

// The directory separator written into file names this platform builds.
char pathSeparator();

// `path` with every separator spelled the platform's way. On POSIX '/' is the
// only separator and paths are returned unchanged; on Windows '/' becomes '\'.
std::string nativePath(std::string path);

// The value of the environment variable HOME, or nullopt when it is unset.
std::optional<std::string> homeDirectory();

// True when `file` refers to a regular file whose status and position can be
// read (so it may be closed); false for standard input, pipes and devices.
bool isClosableRegularFile(std::FILE* file);

// Puts standard input into binary mode, so that "| stdin" reads the bytes
// exactly as a file opened with "rb" would.
std::FILE* binaryStandardInput();

// Removes a file; false when it could not be removed (also when it is absent).
bool removeFile(const std::string& path);

// Moves `from` over `to`, replacing an existing `to`. On Windows the move is
// written through to the disk before it returns; on POSIX syncFolderOf(to)
// does that.
bool replaceFile(const std::string& from, const std::string& to);

// Forces the folder entry of `path` (a file just moved or created there)
// onto the disk, so that the name survives a power cut. On Windows the move
// itself does this and only the sync hook is asked. A file system that
// cannot sync folders at all counts as success; false on a failing sync.
bool syncFolderOf(const std::string& path);

// True when both names exist and refer to the same file.
bool sameFile(const std::string& first, const std::string& second);

// True when a file of this name exists.
bool fileExists(const std::string& path);

// A shared library loaded at run time; unloaded when destroyed.
class DynamicLibrary {
public:
    // Loads `path`; on failure the library is empty and error() says why.
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }

    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;

private:
    void* handle_ = nullptr;
    std::string error_;
};

// The directory holding the running executable, with a trailing separator;
// empty when it cannot be found.
std::string executableDirectory();

}  // namespace tw::platform
