#include "drill_job.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "cycle_module.h"
#include "twcycle/exit_status.h"

namespace twcycle::drill {
namespace {

namespace fs = std::filesystem;

constexpr int kFolderAttempts = 100;
constexpr const char* kJobName = "drill";
constexpr const char* kSourceName = "holes.twx";
constexpr const char* kOutputName = "holes_sorted.twx";

// A new folder under the system's temporary folder, removed with its
// contents when this goes out of scope.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::error_code error;
        const fs::path base = fs::temp_directory_path(error);
        if (error) return;
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
            const fs::path candidate = base / ("twcycle-drill-" + std::to_string(random() % 1000000000000ULL));
            if (fs::create_directory(candidate, error) && !error) {
                path_ = candidate;
                return;
            }
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Makes `folder` the current directory and goes back when destroyed: the
// module reads its definition file from the current directory.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& folder) {
        std::error_code error;
        previous_ = fs::current_path(error);
        if (error) return;
        fs::current_path(folder, error);
        entered_ = !error;
    }
    ~WorkingDirectory() {
        std::error_code ignored;
        if (entered_) fs::current_path(previous_, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    bool entered() const { return entered_; }

private:
    fs::path previous_;
    bool entered_ = false;
};

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

DrillJobResult failed(DrillJobResult result, int status, std::string error) {
    result.status = status;
    result.error = std::move(error);
    return result;
}

}  // namespace

DrillJobResult orderDrillFile(const DrillFile& file, const DrillJobSettings& settings) {
    DrillJobResult result;
    result.contours = drillContours(file, settings.title);
    if (result.contours.blocks.empty()) {
        result.order = fileOrder(file);
        return result;
    }

    const CycleModule module(settings.modulePath);
    if (!module.ready()) return failed(std::move(result), kExitHostFailure, module.error());
    const TemporaryFolder folder;
    if (folder.path().empty()) return failed(std::move(result), kExitHostFailure, "cannot make a temporary folder");

    const std::string definition =
        "precision := 6\nwritePath := false\nremoveTempFiles := true\n";
    const std::string job = std::string("geoSource := ") + kSourceName + "\ngeoOut := " + kOutputName +
                            "\nalgorithm := " + settings.algorithm + "\nstartX := " + settings.startX +
                            "\nstartY := " + settings.startY + "\n";
    if (!writeFile(folder.path() / (module.identifier() + ".def"), definition) ||
        !writeFile(folder.path() / (std::string(kJobName) + ".pcf"), job) ||
        !writeFile(folder.path() / kSourceName, result.contours.text))
        return failed(std::move(result), kExitHostFailure, "cannot write the job files in " + folder.path().string());

    bool accepted = false;
    {
        const WorkingDirectory inside(folder.path());
        if (!inside.entered()) return failed(std::move(result), kExitHostFailure, "cannot enter " + folder.path().string());
        accepted = module.run({std::string("-S") + kJobName});
    }
    if (!accepted) return failed(std::move(result), kExitRefused, "the module refused the run");

    const ResultReading reading = readResultFile((folder.path() / kOutputName).string());
    if (!reading.error.empty())
        return failed(std::move(result), kExitNoOutput, "cannot read back the ordered holes: " + reading.error);
    result.results = reading.contours;
    std::string error;
    if (!orderFromResults(file, result.contours, result.results, result.order, error))
        return failed(std::move(result), kExitNoOutput, error);
    return result;
}

}  // namespace twcycle::drill
