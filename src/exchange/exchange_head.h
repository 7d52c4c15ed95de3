// Reading and judging the four-line head of an exchange file.
#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/character_source.h"
#include "exchange/exchange_token.h"

namespace tw {

enum class HeadOutcome {
    Accepted,  // a head with an accepted version; the body follows
    Absent,    // no head: the whole file is body, read from where the head began
    Refused,   // a head with a version this reader does not accept
};

// Runs the head states over `input`, filling `header` (which the caller has
// reset). The caller repositions the stream when the head is absent.
HeadOutcome readExchangeHead(CharacterSource& input, ExchangeHeader& header);

// The banner rules: the exact banner, or the loose one (the first 28
// characters without blanks and tabs, cut to 24, equal to
// "TARNWELLdataExchangeFile" ignoring case). `line` has its trailing blanks
// and tabs removed already.
bool isExchangeBanner(std::string_view line);

// The two numbers of "%d.%d" at the start of `text` (after the version
// prefix), each kept as its low 16 bits; false when both cannot be read.
bool readVersionNumbers(std::string_view text, std::uint16_t& major, std::uint16_t& minor);

}  // namespace tw
