#include "drill_check.h"
#include "twcycle/report/counted.h"

#include <set>

#include "number_inference.h"

namespace twcycle::drill {
namespace {

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string unitLine(const DrillFile& file) {
    if (file.unit.empty()) return "file units (the file states none; --units inch or --units mm sets it)";
    return file.unit + " (" + file.unitOrigin + ")";
}

std::string zerosLine(const DrillFile& file) {
    switch (file.numbers.zeros) {
        case ZeroMode::Leading:
            return "leading zeros kept, LZ (" + file.zerosOrigin + ")";
        case ZeroMode::Trailing:
            return "trailing zeros kept, TZ (" + file.zerosOrigin + ")";
        case ZeroMode::Unknown:
            break;
    }
    return "not needed: no number leaves out its decimal point";
}

}  // namespace

std::string blockName(const DrillFile& file, std::size_t block) {
    const std::string& tool = file.blocks[block].tool;
    std::string name = tool.empty() ? "(no tool)" : tool;
    std::size_t sameTool = 0;
    for (const ToolBlock& other : file.blocks) sameTool += other.tool == tool && !other.holes.empty() ? 1 : 0;
    if (sameTool > 1) name += "@" + std::to_string(file.blocks[block].line + 1);
    return name;
}

std::string describeDrillFile(const std::string& name, const DrillFile& file) {
    std::set<std::string> tools;
    std::size_t blocks = 0;
    for (const ToolBlock& block : file.blocks) {
        if (block.holes.empty()) continue;
        tools.insert(block.tool);
        ++blocks;
    }
    std::string text = name + ": " + (file.format == DrillFormat::Csv ? "CSV" : "Excellon") + ", " +
                       plural(tools.size(), "tool", "tools") + " in " + plural(blocks, "block", "blocks") + ", " +
                       plural(file.holes.size(), "hole", "holes") + "\n";
    text += "unit:   " + unitLine(file) + "\n";
    if (file.format == DrillFormat::Excellon) {
        text += "zeros:  " + zerosLine(file) + "\n";
        text += "digits: " + digitsText(file.numbers) + " (" + file.digitsOrigin + ")\n";
    }
    if (file.incremental) text += "coordinates: incremental (G91), written back absolute (G90)\n";
    text += "blocks (tool, first line, holes):\n";
    for (std::size_t b = 0; b < file.blocks.size(); ++b) {
        const ToolBlock& block = file.blocks[b];
        if (block.holes.empty()) continue;
        std::size_t pinned = 0;
        for (std::size_t hole : block.holes) pinned += file.holes[hole].pinned ? 1 : 0;
        const std::string tool = block.tool.empty() ? "(no tool)" : block.tool;
        text += "  " + padded(tool, 10) + " line " + padded(std::to_string(block.line + 1), 8) + " " +
                std::to_string(block.holes.size());
        if (pinned > 0) text += " (" + plural(pinned, "stays", "stay") + " in place)";
        text += "\n";
    }
    for (const std::string& note : file.notes) text += "note: " + note + "\n";
    return text;
}

}  // namespace twcycle::drill
