// Escaping of free text for exchange files.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// `text` made safe for an exchange file: blank, '!', '#'..'&', '*'..'.',
// digits, '=', '@'..'Z', '_' and 'a'..'z' are copied; every other byte is
// written as '\' and its unsigned code in three decimal digits.
std::string escapeExchangeText(std::string_view text);

// `text` written so that a value item ('v' name '(' text ')') reads it back
// unchanged: ')', '\\', '[', ']', '`', control bytes (line ends and tabs
// included) and bytes above 126 become '\' and their code in three decimal
// digits; every other byte is copied.
std::string escapeValueText(std::string_view text);

}  // namespace tw
