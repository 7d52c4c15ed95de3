#include "exchange/exchange_head.h"

#include <algorithm>
#include <string>

#include "exchange/character_classes.h"
#include "exchange/exchange_reader.h"

namespace tw {
namespace {

constexpr std::string_view kExactBanner = "tarnWELL Data Exchange File, text edition 1993.";
constexpr std::string_view kLooseBanner = "TARNWELLdataExchangeFile";
constexpr std::size_t kLooseBannerWindow = 28;
constexpr std::string_view kVersionPrefix = "tWX-Version:";

// Whitespace as the "%d" conversion skips it.
constexpr bool isNumberSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void removeTrailingBlanks(std::string& line) {
    while (!line.empty() && isBlank(static_cast<unsigned char>(line.back()))) line.pop_back();
}

// Reads one head line into `line`: blanks and tabs before its first character
// and empty lines are skipped, the characters up to the next LF or CR are
// collected (cut at kMaxHeadLineLength). False when the data ends before a
// line end; the partial line is then not used.
bool readHeadLine(CharacterSource& input, std::string& line) {
    line.clear();
    for (;;) {
        const int c = input.next();
        if (c == kEndOfData) return false;
        if (isLineEnd(c)) {
            if (line.empty()) continue;
            return true;
        }
        if (line.empty() && isBlank(c)) continue;
        if (line.size() < kMaxHeadLineLength) line.push_back(static_cast<char>(c));
    }
}

// One "%d": optional whitespace, an optional sign, one or more digits. The
// value is kept modulo 2^16, which is what storing its low 16 bits needs.
bool readNumber(std::string_view text, std::size_t& at, std::uint16_t& number) {
    while (at < text.size() && isNumberSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const std::size_t digitsStart = at;
    std::uint16_t value = 0;
    while (at < text.size() && isDecimalDigit(static_cast<unsigned char>(text[at]))) {
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[at] - '0'));
        ++at;
    }
    if (at == digitsStart) return false;
    number = negative ? static_cast<std::uint16_t>(0u - value) : value;
    return true;
}

}  // namespace

bool isExchangeBanner(std::string_view line) {
    if (line == kExactBanner) return true;
    std::string squeezed;
    for (char c : line.substr(0, kLooseBannerWindow)) {
        if (!isBlank(static_cast<unsigned char>(c))) squeezed.push_back(c);
    }
    if (squeezed.size() > kLooseBanner.size()) squeezed.resize(kLooseBanner.size());
    return std::equal(squeezed.begin(), squeezed.end(), kLooseBanner.begin(), kLooseBanner.end(),
                      [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

bool readVersionNumbers(std::string_view text, std::uint16_t& major, std::uint16_t& minor) {
    std::size_t at = 0;
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    if (!readNumber(text, at, first)) return false;
    if (at >= text.size() || text[at] != '.') return false;
    ++at;
    if (!readNumber(text, at, second)) return false;
    major = first;
    minor = second;
    return true;
}

// Head states, each reading one line:
//
//   state | line     | at the line end                                 | at the end of the data
//   ------+----------+-------------------------------------------------+-----------------------
//   H1    | banner   | trailing blanks removed; a banner: H2, else stop | stop
//   H2    | version  | begins with "tWX-Version:": read "%d.%d" (both   | stop
//         |          | or none kept), H3; otherwise stop                |
//   H3    | type     | trailing blanks removed; typeLine; H4            | stop
//   H4    | title    | trailing blanks removed; titleLine; stop         | stop
//
// Without a typeLine the head counts as absent. Otherwise versions 0.x and
// 1.0 are accepted and every other one refused.
HeadOutcome readExchangeHead(CharacterSource& input, ExchangeHeader& header) {
    enum class State { Banner, Version, Type, Title, Stop };
    std::string line;
    State state = State::Banner;
    while (state != State::Stop) {
        switch (state) {
            case State::Banner:
                if (!readHeadLine(input, line)) {
                    state = State::Stop;
                    break;
                }
                removeTrailingBlanks(line);
                state = isExchangeBanner(line) ? State::Version : State::Stop;
                break;
            case State::Version:
                if (!readHeadLine(input, line) || line.compare(0, kVersionPrefix.size(), kVersionPrefix) != 0) {
                    state = State::Stop;
                    break;
                }
                readVersionNumbers(std::string_view(line).substr(kVersionPrefix.size()), header.versionMajor,
                                   header.versionMinor);
                state = State::Type;
                break;
            case State::Type:
                if (!readHeadLine(input, line)) {
                    state = State::Stop;
                    break;
                }
                removeTrailingBlanks(line);
                header.typeLine = line;
                state = State::Title;
                break;
            case State::Title:
                if (readHeadLine(input, line)) {
                    removeTrailingBlanks(line);
                    header.titleLine = line;
                }
                state = State::Stop;
                break;
            case State::Stop:
                break;
        }
    }
    if (!header.typeLine) return HeadOutcome::Absent;
    const bool accepted = header.versionMajor == 0 || (header.versionMajor == 1 && header.versionMinor == 0);
    return accepted ? HeadOutcome::Accepted : HeadOutcome::Refused;
}

}  // namespace tw
