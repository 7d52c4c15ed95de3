// Helpers for the exchange-file tests: a scratch directory that the test
// runs in, files written into it, and tokens described as short strings.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "support/line_ends.h"

namespace tw::exchange_test {

// Runs the test inside a fresh temporary directory (files the code writes
// into the current directory, such as the method trace, land there) and
// goes back and removes it afterwards.
class ExchangeScratch : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "exchange-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        std::filesystem::current_path(directory_);
    }

    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    static void writeFile(const std::string& name, const std::string& content) {
        std::ofstream out(name, std::ios::binary);
        out << content;
    }

    static std::string readFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return tw::testing::withoutWindowsLineEnds(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }

    const std::filesystem::path& directory() const { return directory_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};

// A token as text: kind ':' name, "[id or value text]" when there is one,
// then the arguments in parentheses, "name=value", "name" alone without
// value, "=value" for a method body; a body left in the file shows as
// "<start,end>". For example "o:P[7](x=1.5,y)" or "v:a[1]".
inline std::string describe(const ExchangeToken& token) {
    std::string text = token.kind != 0 ? std::string(1, token.kind) : std::string();
    text += ':';
    if (token.name) text += *token.name;
    if (token.text) text += "[" + *token.text + "]";
    if (!token.arguments.empty()) {
        text += '(';
        for (std::size_t i = 0; i < token.arguments.size(); ++i) {
            const ExchangeArgument& argument = token.arguments[i];
            if (i > 0) text += ',';
            if (argument.name) text += *argument.name;
            if (argument.value) text += "=" + *argument.value;
        }
        text += ')';
    }
    if (token.bodyFile != nullptr) {
        text += "<" + std::to_string(token.bodyStart) + "," + std::to_string(token.bodyEnd) + ">";
    }
    return text;
}

// Every token an open stream still yields, described.
inline std::vector<std::string> readAllTokens(std::FILE* stream) {
    std::vector<std::string> tokens;
    ExchangeToken token;
    while (readExchangeToken(stream, token) == 1) tokens.push_back(describe(token));
    EXPECT_EQ(token.kind, 0) << "a call that returns 0 leaves the token empty";
    clearExchangeToken(token);
    return tokens;
}

// Writes `content` to `name` and reads every token of it.
inline std::vector<std::string> tokensOfFile(const std::string& name, const std::string& content,
                                             ExchangeHeader* headerOut = nullptr) {
    {
        std::ofstream out(name, std::ios::binary);
        out << content;
    }
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile(name, header);
    if (stream == nullptr) return {"<refused>"};
    std::vector<std::string> tokens = readAllTokens(stream);
    closeExchangeFile(stream);
    if (headerOut != nullptr) *headerOut = header;
    return tokens;
}

// The standard head the system's writers produce.
inline const std::string kHead =
    "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\ntitle\n\n";

}  // namespace tw::exchange_test
