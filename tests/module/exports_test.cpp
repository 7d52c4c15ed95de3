#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "twpntopt.h"

extern "C" int twpntoptCHeaderCheck(void);

namespace {

TEST(PublicHeader, CompilesAsCWithTheRecordLayout) { EXPECT_EQ(twpntoptCHeaderCheck(), 784 + 264); }

TEST(ModuleExports, DynamicSymbolTableHoldsExactlyTheFourFunctions) {
    const std::string command = std::string("nm -D --defined-only ") + TW_MODULE_PATH;
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    std::array<char, 512> line{};
    while (std::fgets(line.data(), line.size(), pipe) != nullptr) {
        std::istringstream fields(line.data());
        std::string address, type, name;
        fields >> address >> type >> name;
        if (!name.empty()) names.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"twCSexecCycle", "twCSgetCycle", "twCSgetSignal", "twCSsetSignal"}));
}

class LoadedModule : public ::testing::Test {
protected:
    // Each test loads its own copy of the module state: dlopen of a fresh
    // library path is not possible, so the tests only rely on state they set.
    tw::platform::DynamicLibrary module{TW_MODULE_PATH};
};

TEST_F(LoadedModule, ResolvesTheFourExports) {
    ASSERT_TRUE(module.loaded()) << module.error();
    for (const char* name : {"twCSgetCycle", "twCSexecCycle", "twCSsetSignal", "twCSgetSignal"})
        EXPECT_NE(module.symbol(name), nullptr) << name;
    EXPECT_EQ(module.symbol("_ZN2tw9execCycleEP5CycleiPPcP10HostRecord"), nullptr);
}

TEST_F(LoadedModule, SignalWordsAndCycleIdentity) {
    ASSERT_TRUE(module.loaded()) << module.error();
    auto getCycle = reinterpret_cast<Cycle*(TWCS_CALL*)(void)>(module.symbol("twCSgetCycle"));
    auto setSignal = reinterpret_cast<int32_t(TWCS_CALL*)(Cycle*, int32_t)>(module.symbol("twCSsetSignal"));
    auto getSignal = reinterpret_cast<int32_t(TWCS_CALL*)(Cycle*)>(module.symbol("twCSgetSignal"));
    Cycle* cycle = getCycle();
    ASSERT_NE(cycle, nullptr);
    EXPECT_EQ(getCycle(), cycle);
    EXPECT_STREQ(cycle->title, "tarnWELL Path Optimizer (Point Lists)");
    EXPECT_STREQ(cycle->identifier, "twPntOpt");

    EXPECT_EQ(setSignal(nullptr, 7), 0);
    EXPECT_EQ(setSignal(cycle, 9), 7);
    EXPECT_EQ(getSignal(nullptr), 0);
    EXPECT_EQ(getSignal(cycle), 0);
    EXPECT_EQ(cycle->signal, 9);
    EXPECT_EQ(setSignal(nullptr, 0), 9);
}

}  // namespace
