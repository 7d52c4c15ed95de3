#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/arguments.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

std::string copied(const std::string* content, std::int32_t pcfMode = 0) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "twpntopt_bypass_test.txt";
    std::filesystem::remove(path);
    if (content != nullptr) std::ofstream(path, std::ios::binary) << *content;

    Cycle cycle{};
    cycle.pcfMode = pcfMode;
    cycle.parameters = setParameter(nullptr, "POFbypass", path.string().c_str(), 21);
    std::FILE* out = std::tmpfile();
    copyBypassFile(&cycle, out);
    std::rewind(out);
    std::string result;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) result += static_cast<char>(c);
    std::fclose(out);
    freeParameters(cycle.parameters);
    std::filesystem::remove(path);
    return result;
}

TEST(BypassCopy, CopiesEveryByteWhateverTheLineShape) {
    const std::string cases[] = {
        "",
        "one line\n",
        "no final line end",
        std::string(511, 'a') + "\n" + std::string(512, 'b') + "\n" + std::string(5000, 'c'),
        std::string("embedded\0nul\n", 13),
    };
    for (const std::string& content : cases) EXPECT_EQ(copied(&content), content) << content.size();
}

TEST(BypassCopy, MissingFileCopiesNothing) { EXPECT_EQ(copied(nullptr), ""); }

TEST(BypassCopy, PcfModeSkipsTheCopy) {
    const std::string content = "text\n";
    EXPECT_EQ(copied(&content, 1), "");
}

}  // namespace
}  // namespace tw
