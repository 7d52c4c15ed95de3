// Runs the twcycle program in a temporary directory of its own, the way a
// user runs it from a job's folder.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace twcycle_test {

inline std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

struct HostOutcome {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// A fresh directory, removed with everything in it at the end of the test.
class JobFolder {
public:
    JobFolder() {
        static int serial = 0;
        const std::string name = "twcycle-host-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~JobFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream file(path_ / name, std::ios::binary);
        file << text;
    }

    std::string read(const std::string& name) const {
        std::ifstream file(path_ / name, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

    // Runs twcycle with `arguments` in this folder; `prefix` is shell text
    // put before the program (for limits of the run).
    HostOutcome run(const std::vector<std::string>& arguments, const std::string& prefix = "") const {
        const std::filesystem::path outFile = path_ / ".host-stdout";
        const std::filesystem::path errFile = path_ / ".host-stderr";
        std::string command = "cd " + shellQuoted(path_.string()) + " && " + prefix + " exec " +
                              shellQuoted(TW_HOST_PATH);
        for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
        command += " >" + shellQuoted(outFile.string()) + " 2>" + shellQuoted(errFile.string()) + " </dev/null";
        HostOutcome outcome;
        const int status = std::system(command.c_str());
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = read(".host-stdout");
        outcome.err = read(".host-stderr");
        return outcome;
    }

private:
    std::filesystem::path path_;
};

// The head every geometry file in these tests starts with.
inline const char* const kExchangeHead =
    "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\ntest job\n\n";

// The whitespace-separated words of every line of `text` that begins with `first`.
inline std::vector<std::vector<std::string>> tableLines(const std::string& text, const std::string& first) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        std::istringstream words(line);
        std::vector<std::string> split;
        std::string word;
        while (words >> word) split.push_back(word);
        if (!split.empty() && split.front() == first) lines.push_back(split);
    }
    return lines;
}

}  // namespace twcycle_test
