// The records the exchange reader fills: one item of a file, and its head.
//
// Both are owned by the caller. An absent text ("none") is std::nullopt.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One argument of an object, or the body of a method held in memory.
struct ExchangeArgument {
    std::optional<std::string> name;   // none for a method body
    std::optional<std::string> value;  // none for an empty argument value
};

// One item of an exchange file. readExchangeToken refills it on every call.
struct ExchangeToken {
    // 'v' value, 'o' object, 'm' method, '{' block begin, '}' block end; 0 when empty.
    char kind = 0;
    // Value name, object name or method name.
    std::optional<std::string> name;
    // The id of an object or method; the text of a value.
    std::optional<std::string> text;
    // Object arguments in file order; for a method whose body is held in
    // memory, one argument without name whose value is the body.
    std::vector<ExchangeArgument> arguments;
    // For a method whose body was too long to hold: the stream being read
    // (not owned), the position of the first body character and the
    // position right after the closing ')' (or the end of the data).
    std::FILE* bodyFile = nullptr;
    std::int64_t bodyStart = -1;
    std::int64_t bodyEnd = -1;
};

// The head of an exchange file, filled by openExchangeFile.
struct ExchangeHeader {
    std::optional<std::string> typeLine;  // none when the file has no head
    std::uint16_t versionMajor = 0;
    std::uint16_t versionMinor = 0;
    std::optional<std::string> titleLine;
};

}  // namespace tw
