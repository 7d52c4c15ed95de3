// Runs the twcycle program as a user would and checks its exit status and
// messages.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string output;  // standard output and standard error together
};

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

Outcome runHost(const std::vector<std::string>& arguments) {
    std::string command = quoted(TW_HOST_PATH);
    for (const std::string& argument : arguments) command += " " + quoted(argument);
    command += " 2>&1";
    Outcome outcome;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.output.append(buffer, got);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(HostProgram, SwitchRunSucceeds) {
    const Outcome outcome = runHost({"-V"});
    EXPECT_EQ(outcome.status, 0) << outcome.output;
}

TEST(HostProgram, HelpAndVersion) {
    Outcome help = runHost({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Usage: twcycle"), std::string::npos);
    Outcome version = runHost({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("twcycle ", 0), 0u) << version.output;
}

TEST(HostProgram, MissingModuleIsNamedWithStatusTwo) {
    const Outcome outcome = runHost({"--module", "/nonexistent/libnothing.so", "-V"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("cannot load module /nonexistent/libnothing.so"), std::string::npos);
    EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << outcome.output;
}

TEST(HostProgram, ModuleWithoutTheExportsIsNamedWithStatusTwo) {
    const Outcome outcome = runHost({"--module", "libm.so.6", "-V"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("has no function twCSgetCycle"), std::string::npos) << outcome.output;
}

TEST(HostProgram, RefusedRunExitsOneWithAReason) {
    std::vector<std::string> tooMany(16384, "x");
    const Outcome outcome = runHost(tooMany);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("refused"), std::string::npos) << outcome.output;
}

TEST(HostProgram, UnknownHostOptionIsAnError) {
    const Outcome outcome = runHost({"--bogus"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("unknown option --bogus"), std::string::npos);
}

TEST(HostProgram, DoubleDashPassesHostLookingArgumentsToTheModule) {
    // "--help" after "--" is a positional argument of the module, not the
    // host's help: the module runs its default switch run and succeeds.
    const Outcome outcome = runHost({"--", "--help"});
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_EQ(outcome.output.find("Usage:"), std::string::npos);
}

}  // namespace
