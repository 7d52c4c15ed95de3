// twcycle in an installed layout: the program in bin/, the module in the
// installation's library folder. It must find the module from any folder,
// prefer one next to itself, and say where it looked when there is none.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host_run_fixture.h"

namespace {

namespace fs = std::filesystem;
using twcycle_test::HostOutcome;
using twcycle_test::JobFolder;
using twcycle_test::shellQuoted;

HostOutcome runIn(const fs::path& folder, const fs::path& program, const std::string& arguments,
                  const JobFolder& scratch) {
    const std::string command = "cd " + shellQuoted(folder.string()) + " && exec " + shellQuoted(program.string()) +
                                " " + arguments + " >" + shellQuoted((scratch.path() / "out").string()) + " 2>" +
                                shellQuoted((scratch.path() / "err").string()) + " </dev/null";
    HostOutcome outcome;
    const int status = std::system(command.c_str());
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = scratch.read("out");
    outcome.err = scratch.read("err");
    return outcome;
}

// The file name the host loads ("libtwpntopt.so.9"), from the build's own
// twcycle --version: "module <folder>/<name>: <title> <version>".
std::string moduleFileName(const JobFolder& scratch) {
    const HostOutcome version = runIn(scratch.path(), TW_HOST_PATH, "--version", scratch);
    const std::size_t start = version.out.find("module ");
    const std::size_t end = version.out.find(": ", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return fs::path(version.out.substr(start + 7, end - start - 7)).filename().string();
}

TEST(HostLayout, InstalledProgramFindsItsModuleFromAnyFolder) {
    const JobFolder root;
    const std::string file = moduleFileName(root);
    ASSERT_FALSE(file.empty());
    const fs::path bin = root.path() / "bin";
    const fs::path lib = bin / TW_LIBDIR_FROM_BINDIR;
    const fs::path work = root.path() / "work";
    for (const fs::path& folder : {bin, lib, work}) fs::create_directories(folder);
    fs::copy_file(TW_HOST_PATH, bin / "twcycle");
    fs::copy_file(TW_MODULE_PATH, lib / file);

    const HostOutcome version = runIn(work, bin / "twcycle", "--version", root);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out.rfind("twcycle ", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("module " + (bin / TW_LIBDIR_FROM_BINDIR).string()), std::string::npos) << version.out;
    EXPECT_NE(version.out.find("Path Optimizer (Point Lists) 9.50 of 2008-01-21"), std::string::npos) << version.out;

    root.write("work/in.drl", "M48\nMETRIC,LZ\nT1C0.8\n%\nT1\nX10.0Y0.0\nX0.0Y0.0\nX5.0Y0.0\nM30\n");
    const HostOutcome drill = runIn(work, bin / "twcycle", "drill in.drl -o out.drl --quiet", root);
    EXPECT_EQ(drill.status, 0) << drill.err;
    EXPECT_TRUE(root.exists("work/out.drl"));

    // A module next to the program comes first.
    fs::copy_file(TW_MODULE_PATH, bin / file);
    const HostOutcome beside = runIn(work, bin / "twcycle", "--version", root);
    EXPECT_NE(beside.out.find("module " + (bin / file).string() + ":"), std::string::npos) << beside.out;

    fs::remove(bin / file);
    fs::remove(lib / file);
    const HostOutcome none = runIn(work, bin / "twcycle", "--version", root);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out.rfind("twcycle ", 0), 0u) << none.out;
    EXPECT_NE(none.err.find("cannot load module " + (bin / file).string()), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("--module PATH names another"), std::string::npos) << none.err;
    const HostOutcome named = runIn(work, bin / "twcycle", "--module " + shellQuoted(TW_MODULE_PATH) + " --version",
                                    root);
    EXPECT_EQ(named.status, 0) << named.err;
}

}  // namespace
