#include "exchange/escape_text.h"

namespace tw {
namespace {

bool copiedUnescaped(unsigned char c) {
    return c == ' ' || c == '!' || (c >= '#' && c <= '&') || (c >= '*' && c <= '.') ||
           (c >= '0' && c <= '9') || c == '=' || (c >= '@' && c <= 'Z') || c == '_' ||
           (c >= 'a' && c <= 'z');
}

bool valueLiteral(unsigned char c) {
    return c >= ' ' && c <= '~' && c != ')' && c != '\\' && c != '[' && c != ']' && c != '`';
}

void appendEscape(std::string& out, unsigned char c) {
    out += '\\';
    out += static_cast<char>('0' + c / 100);
    out += static_cast<char>('0' + c / 10 % 10);
    out += static_cast<char>('0' + c % 10);
}

}  // namespace

std::string escapeValueText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (valueLiteral(c))
            escaped += ch;
        else
            appendEscape(escaped, c);
    }
    return escaped;
}

std::string escapeExchangeText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (copiedUnescaped(c)) {
            escaped += ch;
        } else {
            appendEscape(escaped, c);
        }
    }
    return escaped;
}

}  // namespace tw
