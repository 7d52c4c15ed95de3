// Splitting a drill file into lines, and the messages that refuse a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "drill_file.h"

namespace twcycle::drill {

// Longer lines are refused: no drill file writes them, and the limit keeps
// every message short.
inline constexpr std::size_t kMaxLineLength = 4096;

// The lines of `content`, each with its own end ("\r\n", "\n" or "\r").
// A final line without an end is kept with an empty end; an empty content
// gives no lines.
std::vector<DrillLine> splitLines(std::string_view content);

// "line N: \"TEXT\": reason", with the line number counted from 1 and the
// text cut to a readable length, bytes outside printable ASCII written as \xNN.
std::string lineError(std::size_t index, std::string_view text, const std::string& reason);

// `text` without blanks and tabs at either end.
std::string_view trimmed(std::string_view text);

// The whole file as it will be written: every line's text (or replacement)
// and end.
std::string joinLines(const std::vector<DrillLine>& lines);

}  // namespace twcycle::drill
