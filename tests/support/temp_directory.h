// A fresh temporary directory that a test works in: the current directory
// is switched to it for the object's life and everything in it is removed
// afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "support/line_ends.h"

namespace tw::testing {

class TempDirectory {
public:
    TempDirectory() : previous_(std::filesystem::current_path()) {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("twpntopt_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The text of a file, with Windows line ends taken back to LF.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return withoutWindowsLineEnds(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace tw::testing
