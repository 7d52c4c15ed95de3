#include "drill_lines.h"
#include "twcycle/drill/characters.h"

#include <cstdio>

namespace twcycle::drill {
namespace {

constexpr std::size_t kShownLength = 60;


}  // namespace

std::vector<DrillLine> splitLines(std::string_view content) {
    std::vector<DrillLine> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t end = begin;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r') ++end;
        DrillLine line;
        line.text.assign(content.substr(begin, end - begin));
        if (end < content.size()) {
            const bool crlf = content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
            line.end.assign(content.substr(end, crlf ? 2 : 1));
            end += crlf ? 2 : 1;
        }
        lines.push_back(std::move(line));
        begin = end;
    }
    return lines;
}

std::string lineError(std::size_t index, std::string_view text, const std::string& reason) {
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < kShownLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    if (text.size() > kShownLength) shown += "...";
    return "line " + std::to_string(index + 1) + ": \"" + shown + "\": " + reason;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string joinLines(const std::vector<DrillLine>& lines) {
    std::string content;
    for (const DrillLine& line : lines) {
        content += line.replacement.empty() ? line.text : line.replacement;
        content += line.end;
    }
    return content;
}

HoleOrder fileOrder(const DrillFile& file) {
    HoleOrder order(file.blocks.size());
    for (std::size_t b = 0; b < file.blocks.size(); ++b) {
        for (std::size_t hole : file.blocks[b].holes)
            if (!file.holes[hole].pinned) order[b].push_back(hole);
    }
    return order;
}

}  // namespace twcycle::drill
