// Opening and closing: "| stdin" (from a file and from a pipe), names under
// HOME, the name buffer limit, and which streams closing leaves open.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::readAllTokens;
using exchange_test::ExchangeScratch;

// Sets or unsets HOME for one test and puts the old value back.
class HomeVariable {
public:
    HomeVariable() {
        if (const char* home = std::getenv("HOME")) saved_ = home;
    }
    ~HomeVariable() {
        if (saved_) setenv("HOME", saved_->c_str(), 1);
        else unsetenv("HOME");
    }
    void set(const std::string& value) { setenv("HOME", value.c_str(), 1); }
    void unset() { unsetenv("HOME"); }

private:
    std::optional<std::string> saved_;
};

// Puts a descriptor in place of standard input for one test.
class StandardInputReplacement {
public:
    explicit StandardInputReplacement(int descriptor) : saved_(dup(0)) {
        std::clearerr(stdin);
        dup2(descriptor, 0);
        close(descriptor);
        std::fseek(stdin, 0, SEEK_CUR);  // drop what stdin had buffered
        std::clearerr(stdin);
    }
    ~StandardInputReplacement() {
        dup2(saved_, 0);
        close(saved_);
        std::clearerr(stdin);
    }

private:
    int saved_;
};

// The descriptor the next open would get: the lowest free one, both in POSIX
// and in the Windows C runtime, so a stream left open shows as a change.
int nextFreeDescriptor(const char* existingFile) {
    const int descriptor = open(existingFile, O_RDONLY);
    if (descriptor >= 0) close(descriptor);
    return descriptor;
}

class ExchangeFileNames : public ExchangeScratch {};

TEST_F(ExchangeFileNames, StandardInputFromAFile) {
    writeFile("in.twx", exchange_test::kHead + "va(1)\nvb(2)\n");
    StandardInputReplacement input(open("in.twx", O_RDONLY));
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile("| stdin", header);
    ASSERT_EQ(stream, stdin);
    EXPECT_EQ(header.typeLine, "Geometry");
    EXPECT_EQ(readAllTokens(stream), (std::vector<std::string>{"v:a[1]", "v:b[2]"}));
    closeExchangeFile(stream);
    // Standard input is a regular file here, yet it stays open.
    EXPECT_GE(std::ftell(stdin), 0);
    EXPECT_NE(fcntl(0, F_GETFD), -1);
}

// A pipe cannot go back to the start after the banner test, nor to a long
// method body; its data is read from a temporary copy instead.
TEST_F(ExchangeFileNames, HeadlessStandardInputFromAPipe) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string content = "va(1)\nmlong(" + std::string(5000, 'b') + ")\nvb(2)\n";
    ASSERT_EQ(write(ends[1], content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(ends[1]);
    StandardInputReplacement input(ends[0]);
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile("| stdin", header);
    ASSERT_NE(stream, nullptr);
    EXPECT_NE(stream, stdin);
    EXPECT_FALSE(header.typeLine);
    EXPECT_EQ(readAllTokens(stream), (std::vector<std::string>{"v:a[1]", "m:long<12,5013>", "v:b[2]"}));
    closeExchangeFile(stream);
}

TEST_F(ExchangeFileNames, OnlyTheExactStandardInputName) {
    ExchangeHeader header;
    for (const char* name : {"|stdin", "| stdin ", "| STDIN", "|", "| std"}) {
        EXPECT_EQ(openExchangeFile(name, header), nullptr) << name;
    }
    EXPECT_EQ(openExchangeFile("", header), nullptr);
    EXPECT_EQ(openExchangeFile("missing.twx", header), nullptr);
}

TEST_F(ExchangeFileNames, TildeIsHomeFollowedByTheRest) {
    std::filesystem::create_directory("home");
    writeFile("home/data.twx", "va(1)");
    writeFile("homedata.twx", "vb(2)");
    HomeVariable home;
    home.set((directory() / "home").string());
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile("~/data.twx", header);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAllTokens(stream), std::vector<std::string>{"v:a[1]"});
    closeExchangeFile(stream);
    // No separator is added.
    stream = openExchangeFile("~data.twx", header);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAllTokens(stream), std::vector<std::string>{"v:b[2]"});
    closeExchangeFile(stream);
}

TEST_F(ExchangeFileNames, TildeWithoutHomeFails) {
    writeFile("data.twx", "va(1)");
    HomeVariable home;
    home.unset();
    ExchangeHeader header;
    EXPECT_EQ(openExchangeFile("~data.twx", header), nullptr);
    EXPECT_EQ(openExchangeFile("~/data.twx", header), nullptr);
}

// The composed name must fit the name buffer with its terminator: 511
// characters open, 512 are refused.
TEST_F(ExchangeFileNames, ComposedNameLimit) {
    std::string base = directory().string();
    auto makeHomeOfLength = [&](std::size_t length) {
        std::string path = base;
        while (path.size() < length) {
            const std::size_t part = std::min<std::size_t>(200, length - path.size() - 1);
            path += "/" + std::string(part, 'd');
            std::filesystem::create_directories(path);
        }
        return path;
    };
    HomeVariable home;
    ExchangeHeader header;
    for (std::size_t total : {kResolvedNameBuffer - 1, kResolvedNameBuffer}) {
        const std::string homePath = makeHomeOfLength(total - 2);
        ASSERT_EQ(homePath.size() + 2, total);
        writeFile(homePath + "/f", "va(1)");
        home.set(homePath);
        std::FILE* stream = openExchangeFile("~/f", header);
        EXPECT_EQ(stream != nullptr, total < kResolvedNameBuffer) << total;
        closeExchangeFile(stream);
        // The same file by its full name opens at any length.
        stream = openExchangeFile(homePath + "/f", header);
        EXPECT_NE(stream, nullptr);
        closeExchangeFile(stream);
        base = directory().string() + "/e";
        std::filesystem::create_directory(base);
    }
}

TEST_F(ExchangeFileNames, RefusedHeadLeavesNoStreamOpen) {
    writeFile("refused.twx", "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.1\nG\nT\n");
    const int before = nextFreeDescriptor("refused.twx");
    ASSERT_GE(before, 0);
    ExchangeHeader header;
    EXPECT_EQ(openExchangeFile("refused.twx", header), nullptr);
    EXPECT_EQ(nextFreeDescriptor("refused.twx"), before);
}

TEST_F(ExchangeFileNames, ClosingLeavesPipesOpen) {
    closeExchangeFile(nullptr);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::FILE* reading = fdopen(ends[0], "rb");
    ASSERT_NE(reading, nullptr);
    closeExchangeFile(reading);
    EXPECT_NE(fcntl(ends[0], F_GETFD), -1);
    std::fclose(reading);
    close(ends[1]);
}

}  // namespace
}  // namespace tw
