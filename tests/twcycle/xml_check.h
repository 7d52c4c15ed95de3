// A small well-formedness check of XML documents: one root element, tags
// that nest and close, quoted attributes, no stray '<' or '&' in text.
#pragma once

#include <cctype>
#include <string>
#include <vector>

namespace twcycle_test {

inline bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':'; }
inline bool isNameCharacter(char c) {
    return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

// True when every '&' in [begin, end) starts one of the predefined entities.
inline bool entitiesValid(const std::string& text, std::size_t begin, std::size_t end) {
    static const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    for (std::size_t at = text.find('&', begin); at < end; at = text.find('&', at + 1)) {
        bool known = false;
        for (const char* entity : kEntities) known = known || text.compare(at, std::string(entity).size(), entity) == 0;
        if (!known) return false;
    }
    return true;
}

inline bool wellFormedXml(const std::string& text, std::string& why) {
    std::vector<std::string> open;
    bool rootSeen = false;
    std::size_t at = 0;
    if (text.compare(0, 5, "<?xml") == 0) {
        at = text.find("?>");
        if (at == std::string::npos) return why = "unterminated declaration", false;
        at += 2;
    }
    while (at < text.size()) {
        const std::size_t tag = text.find('<', at);
        const std::size_t textEnd = tag == std::string::npos ? text.size() : tag;
        if (!entitiesValid(text, at, textEnd)) return why = "bad entity near " + std::to_string(at), false;
        if (open.empty() && text.find_first_not_of(" \t\r\n", at) < textEnd)
            return why = "text outside the root element", false;
        if (tag == std::string::npos) break;
        if (text.compare(tag, 4, "<!--") == 0) {
            const std::size_t close = text.find("-->", tag);
            if (close == std::string::npos) return why = "unterminated comment", false;
            at = close + 3;
            continue;
        }
        std::size_t p = tag + 1;
        const bool closing = p < text.size() && text[p] == '/';
        if (closing) ++p;
        const std::size_t nameStart = p;
        if (p >= text.size() || !isNameStart(text[p])) return why = "bad tag at " + std::to_string(tag), false;
        while (p < text.size() && isNameCharacter(text[p])) ++p;
        const std::string name = text.substr(nameStart, p - nameStart);
        if (closing) {
            while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
            if (p >= text.size() || text[p] != '>') return why = "bad end tag " + name, false;
            if (open.empty() || open.back() != name) return why = "end tag " + name + " does not match", false;
            open.pop_back();
            at = p + 1;
            continue;
        }
        for (;;) {
            while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
            if (p >= text.size()) return why = "unterminated tag " + name, false;
            if (text[p] == '>' || text.compare(p, 2, "/>") == 0) break;
            if (!isNameStart(text[p])) return why = "bad attribute in " + name, false;
            while (p < text.size() && isNameCharacter(text[p])) ++p;
            if (p >= text.size() || text[p] != '=') return why = "attribute without value in " + name, false;
            ++p;
            if (p >= text.size() || (text[p] != '"' && text[p] != '\'')) return why = "unquoted attribute", false;
            const std::size_t close = text.find(text[p], p + 1);
            if (close == std::string::npos) return why = "unterminated attribute", false;
            if (text.find('<', p + 1) < close || !entitiesValid(text, p + 1, close))
                return why = "bad attribute value in " + name, false;
            p = close + 1;
        }
        if (open.empty() && rootSeen) return why = "second root element " + name, false;
        rootSeen = true;
        if (text[p] == '>') {
            open.push_back(name);
            at = p + 1;
        } else {
            at = p + 2;
        }
    }
    if (!open.empty()) return why = "element " + open.back() + " not closed", false;
    if (!rootSeen) return why = "no root element", false;
    return true;
}

}  // namespace twcycle_test
