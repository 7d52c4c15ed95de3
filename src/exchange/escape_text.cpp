#include "exchange/escape_text.h"

namespace tw {
namespace {

bool copiedUnescaped(unsigned char c) {
    return c == ' ' || c == '!' || (c >= '#' && c <= '&') || (c >= '*' && c <= '.') ||
           (c >= '0' && c <= '9') || c == '=' || (c >= '@' && c <= 'Z') || c == '_' ||
           (c >= 'a' && c <= 'z');
}

}  // namespace

std::string escapeExchangeText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (copiedUnescaped(c)) {
            escaped += ch;
        } else {
            escaped += '\\';
            escaped += static_cast<char>('0' + c / 100);
            escaped += static_cast<char>('0' + c / 10 % 10);
            escaped += static_cast<char>('0' + c % 10);
        }
    }
    return escaped;
}

}  // namespace tw
