#include "drill_writer.h"

#include <vector>

namespace twcycle::drill {
namespace {

// True when `order` holds each movable hole of its own block once.
bool isNewOrder(const DrillFile& file, const HoleOrder& order) {
    if (order.size() != file.blocks.size()) return false;
    std::vector<bool> seen(file.holes.size(), false);
    for (std::size_t b = 0; b < order.size(); ++b) {
        std::size_t movable = 0;
        for (std::size_t hole : file.blocks[b].holes) movable += file.holes[hole].pinned ? 0 : 1;
        if (order[b].size() != movable) return false;
        for (std::size_t hole : order[b]) {
            if (hole >= file.holes.size() || seen[hole] || file.holes[hole].pinned || file.holes[hole].block != b)
                return false;
            seen[hole] = true;
        }
    }
    return true;
}

}  // namespace

std::string holeLine(const DrillFile& file, const Hole& hole) {
    if (file.format == DrillFormat::Csv || hole.verbatim) return file.lines[hole.line].text;
    return "X" + hole.x.text + "Y" + hole.y.text;
}

std::optional<std::string> writeDrillFile(const DrillFile& file, const HoleOrder& order) {
    if (!isNewOrder(file, order)) return std::nullopt;
    std::vector<std::size_t> next(order.size(), 0);
    std::size_t csvBlock = 0;
    std::string content;
    for (const DrillLine& line : file.lines) {
        if (line.hole < 0) {
            content += line.replacement.empty() ? line.text : line.replacement;
        } else {
            const Hole& own = file.holes[static_cast<std::size_t>(line.hole)];
            std::size_t block = own.block;
            if (file.format == DrillFormat::Csv) {
                while (next[csvBlock] == order[csvBlock].size()) ++csvBlock;
                block = csvBlock;
            }
            if (own.pinned) {
                content += holeLine(file, own);
            } else {
                content += holeLine(file, file.holes[order[block][next[block]++]]);
            }
        }
        content += line.end;
    }
    return content;
}

}  // namespace twcycle::drill
