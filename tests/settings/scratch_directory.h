// A fresh directory that a test works in: created under the system's
// temporary directory, made the current directory, and removed again (with
// the previous current directory restored) when the test ends.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace tw::testing {

class ScratchDirectory {
public:
    ScratchDirectory() : previous_(std::filesystem::current_path()) {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tw-settings-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `bytes` unchanged to `name` (relative to this directory),
    // creating folders on the way.
    void write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// A temporary stream holding `bytes`, positioned at its start; closed by the
// caller.
inline std::FILE* streamOf(std::string_view bytes) {
    std::FILE* stream = std::tmpfile();
    if (stream == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

}  // namespace tw::testing
