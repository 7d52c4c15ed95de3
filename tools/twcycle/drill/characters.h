// Character tests of the drill-file and option readers: plain ASCII, never
// the locale's.
#pragma once

namespace twcycle::drill {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace twcycle::drill
