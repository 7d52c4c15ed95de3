#include "twbatch/batch_run.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/platform.h"
#include "twbatch/job_set.h"
#include "twpntopt.h"

namespace twbatch {
namespace {

using ExecCycle = int32_t(TWCS_CALL*)(Cycle*, int32_t, char**, HostRecord*);

std::vector<std::filesystem::path> jobFolders(const std::filesystem::path& root, std::error_code& failure) {
    std::vector<std::filesystem::path> folders;
    for (std::filesystem::directory_iterator entry(root, failure), end; !failure && entry != end;
         entry.increment(failure)) {
        if (entry->is_directory()) folders.push_back(entry->path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// Restores the current directory when a run set ends, however it ends.
class DirectoryKeeper {
public:
    DirectoryKeeper() : previous_(std::filesystem::current_path()) {}
    ~DirectoryKeeper() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    DirectoryKeeper(const DirectoryKeeper&) = delete;
    DirectoryKeeper& operator=(const DirectoryKeeper&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace

int runJobSet(const std::string& modulePath, const std::filesystem::path& root, std::string& error) {
    tw::platform::DynamicLibrary module(modulePath);
    if (!module.loaded()) {
        error = "cannot load " + modulePath + ": " + module.error();
        return -1;
    }
    const auto execCycle = reinterpret_cast<ExecCycle>(module.symbol("twCSexecCycle"));
    if (execCycle == nullptr) {
        error = modulePath + " has no twCSexecCycle";
        return -1;
    }
    std::error_code failure;
    const std::filesystem::path absoluteRoot = std::filesystem::absolute(root, failure);
    const std::vector<std::filesystem::path> folders = jobFolders(absoluteRoot, failure);
    if (failure) {
        error = "cannot list " + root.string() + ": " + failure.message();
        return -1;
    }
    DirectoryKeeper keeper;
    int runs = 0;
    for (const std::filesystem::path& folder : folders) {
        std::filesystem::current_path(folder, failure);
        if (failure) {
            error = "cannot enter " + folder.string();
            return -1;
        }
        std::ofstream log("runs.txt", std::ios::binary);
        for (const char* algorithm : kAlgorithmNames) {
            std::string argument = std::string("-S") + algorithm;
            char* arguments[] = {argument.data()};
            HostRecord host{};
            const int32_t accepted = execCycle(nullptr, 1, arguments, &host);
            log << algorithm << ' ' << accepted << '\n';
            ++runs;
        }
        if (!log) {
            error = "cannot write " + (folder / "runs.txt").string();
            return -1;
        }
    }
    return runs;
}

}  // namespace twbatch
