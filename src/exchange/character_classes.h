// Character classes of exchange files, as constant 256-entry tables.
//
// Every predicate takes the integer a character read returns: 0..255 for a
// byte, kEndOfData (-1) for the end of the data. The end is looked up as byte
// 255, which belongs to no class, so no predicate needs a separate test.
#pragma once

#include <array>
#include <cstdint>

namespace tw {

// What a character read returns at the end of the file and at a byte 26.
inline constexpr int kEndOfData = -1;
// The byte 26 (Ctrl-Z) ends the data wherever it stands.
inline constexpr int kDataEndByte = 26;

namespace character_class_detail {

inline constexpr std::uint8_t kName = 1;       // names of values, objects, methods, arguments
inline constexpr std::uint8_t kValueName = 2;  // value names: the name characters and '.'
inline constexpr std::uint8_t kValue = 4;      // value texts and argument values
inline constexpr std::uint8_t kBody = 8;       // method bodies
inline constexpr std::uint8_t kWhitespace = 16;

constexpr std::array<std::uint8_t, 256> buildTable() {
    std::array<std::uint8_t, 256> table{};
    for (int c = '!'; c <= '~'; ++c) {
        if (c != '[' && c != ']' && c != '`') table[c] |= kValue;
        if (c != '(' && c != ')' && c != '`') table[c] |= kBody;
    }
    table[' '] |= kBody | kWhitespace;
    table['\t'] |= kBody | kWhitespace;
    table['\n'] |= kWhitespace;
    table['\r'] |= kWhitespace;
    for (int c = '0'; c <= '9'; ++c) table[c] |= kName;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] |= kName;
    for (int c = 'a'; c <= 'z'; ++c) table[c] |= kName;
    for (char c : {'#', '$', '%', '&', '-', '@', '\\', '_'}) table[static_cast<unsigned char>(c)] |= kName;
    for (int c = 0; c < 256; ++c) {
        if ((table[c] & kName) != 0) table[c] |= kValueName;
    }
    table['.'] |= kValueName;
    return table;
}

inline constexpr std::array<std::uint8_t, 256> kTable = buildTable();

constexpr bool has(int c, std::uint8_t bits) {
    return (kTable[static_cast<std::uint8_t>(c)] & bits) != 0;
}

static_assert(!has(kEndOfData, 0xFF), "the end of the data must belong to no class");

}  // namespace character_class_detail

// '#', '$', '%', '&', '-', '0'-'9', '@', 'A'-'Z', '\', '_', 'a'-'z'.
constexpr bool isNameCharacter(int c) {
    return character_class_detail::has(c, character_class_detail::kName);
}

// The name characters and '.'.
constexpr bool isValueNameCharacter(int c) {
    return character_class_detail::has(c, character_class_detail::kValueName);
}

// '!' to '~' except '[', ']' and '`'.
constexpr bool isValueCharacter(int c) {
    return character_class_detail::has(c, character_class_detail::kValue);
}

// Blank, tab and '!' to '~' except '(', ')' and '`'.
constexpr bool isBodyCharacter(int c) {
    return character_class_detail::has(c, character_class_detail::kBody);
}

// Blank, tab, LF, CR.
constexpr bool isWhitespace(int c) {
    return character_class_detail::has(c, character_class_detail::kWhitespace);
}

// LF and CR each end a line by themselves.
constexpr bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

// Blank and tab.
constexpr bool isBlank(int c) { return c == ' ' || c == '\t'; }

constexpr bool isDecimalDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace tw
