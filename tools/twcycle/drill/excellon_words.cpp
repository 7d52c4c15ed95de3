#include "excellon_words.h"
#include "twcycle/drill/characters.h"

namespace twcycle::drill {
namespace {

constexpr std::size_t kMaxCodeDigits = 9;

bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool isNumberCharacter(char c) { return isDigit(c) || c == '.' || c == '+' || c == '-'; }

}  // namespace

std::optional<std::vector<ExcellonWord>> splitWords(std::string_view text) {
    std::vector<ExcellonWord> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!isLetter(text[i])) return std::nullopt;
        ExcellonWord word;
        word.letter = text[i++];
        const std::size_t begin = i;
        while (i < text.size() && isNumberCharacter(text[i])) {
            if ((text[i] == '+' || text[i] == '-') && i != begin) return std::nullopt;
            ++i;
        }
        word.number = text.substr(begin, i - begin);
        words.push_back(word);
    }
    return words;
}

bool isCode(std::string_view number) {
    if (number.empty()) return false;
    for (char c : number)
        if (!isDigit(c)) return false;
    return true;
}

long codeValue(std::string_view number) {
    if (!isCode(number) || number.size() > kMaxCodeDigits) return -1;
    long value = 0;
    for (char c : number) value = value * 10 + (c - '0');
    return value;
}

}  // namespace twcycle::drill
