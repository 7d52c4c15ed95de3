// Where twcycle looks for its module, and how it names the module's version.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "twcycle/module_lookup.h"

namespace {

TEST(ModuleLookup, CandidatesAreTheProgramFolderThenTheLibraryFolder) {
    struct Case {
        const char* label;
        std::string directory, library, file;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"install", "/opt/tw/bin/", "../lib", "libtwpntopt.so.9",
         {"/opt/tw/bin/libtwpntopt.so.9", "/opt/tw/bin/../lib/libtwpntopt.so.9"}},
        {"multiarch", "/usr/bin/", "../lib/x86_64-linux-gnu/", "libtwpntopt.so.9",
         {"/usr/bin/libtwpntopt.so.9", "/usr/bin/../lib/x86_64-linux-gnu/libtwpntopt.so.9"}},
        {"windows", "C:\\tw\\bin\\", "..\\lib", "twPntOpt.dll", {"C:\\tw\\bin\\twPntOpt.dll", "C:\\tw\\bin\\..\\lib/twPntOpt.dll"}},
        {"no library folder", "/b/", "", "m.so", {"/b/m.so"}},
        {"unknown program folder", "", "../lib", "m.so", {"m.so", "../lib/m.so"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(twcycle::moduleCandidates(c.directory, c.library, c.file), c.expected) << c.label;
}

TEST(ModuleLookup, TheFirstExistingCandidateWinsElseTheFirst) {
    const std::vector<std::string> candidates{"/bin/m.so", "/lib/m.so"};
    struct Case {
        std::set<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {{"/bin/m.so", "/lib/m.so"}, "/bin/m.so"},
        {{"/lib/m.so"}, "/lib/m.so"},
        {{}, "/bin/m.so"},
    };
    for (const Case& c : cases) {
        const auto exists = [&](const std::string& path) { return c.existing.count(path) > 0; };
        EXPECT_EQ(twcycle::findModule(candidates, exists), c.expected);
    }
    EXPECT_EQ(twcycle::findModule({}, [](const std::string&) { return true; }), "");
}

TEST(ModuleLookup, VersionTextNamesTitleVersionAndDate) {
    Cycle cycle{};
    cycle.versionMajor = 9;
    cycle.versionMinor = 5;
    cycle.versionYear = 2008;
    cycle.versionMonth = 1;
    cycle.versionDay = 21;
    cycle.title = "Path Optimizer";
    EXPECT_EQ(twcycle::moduleVersionText(&cycle), "Path Optimizer 9.05 of 2008-01-21");
    cycle.title = nullptr;
    cycle.versionMajor = 65535;
    cycle.versionYear = 65535;
    EXPECT_EQ(twcycle::moduleVersionText(&cycle), "(untitled cycle) 65535.05 of 65535-01-21");
    EXPECT_EQ(twcycle::moduleVersionText(nullptr), "(the module gives no cycle record)");
}

}  // namespace
