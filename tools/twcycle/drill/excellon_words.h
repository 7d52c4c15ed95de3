// The words of an Excellon line: a letter and the number text after it
// ("X1.27", "T01", "G85"), as in "X1.27Y-2.5G85X3Y4".
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace twcycle::drill {

struct ExcellonWord {
    char letter = 0;
    std::string_view number;  // sign, digits and '.', possibly empty
};

// The words of `text`; none when it holds anything else (lower case,
// blanks, other signs), or a sign that does not lead its number.
std::optional<std::vector<ExcellonWord>> splitWords(std::string_view text);

// True when `number` is one or more digits and nothing else.
bool isCode(std::string_view number);

// The value of a code of at most nine digits ("05" is 5); -1 when it is not one.
long codeValue(std::string_view number);

}  // namespace twcycle::drill
