#include "hole_check.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

namespace twcycle::drill {
namespace {

// The block and its tool, the coordinates' texts and their values: a text
// read in another number format would be another place, and a hole in
// another block would have moved across a tool change or a stop.
using HoleKey = std::tuple<std::size_t, std::string, std::string, std::string, std::int64_t, std::int64_t>;

std::vector<HoleKey> holeKeys(const DrillFile& file) {
    std::vector<HoleKey> keys;
    keys.reserve(file.holes.size());
    for (const Hole& hole : file.holes) keys.emplace_back(hole.block, file.blocks[hole.block].tool, hole.x.text, hole.y.text, hole.x.value, hole.y.value);
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::string> otherLines(const DrillFile& file) {
    std::vector<std::string> lines;
    for (const DrillLine& line : file.lines)
        if (line.hole < 0) lines.push_back((line.replacement.empty() ? line.text : line.replacement) + line.end);
    return lines;
}

std::string describe(const HoleKey& key) {
    const std::string& tool = std::get<1>(key);
    const std::string& x = std::get<2>(key);
    const std::string& y = std::get<3>(key);
    return (tool.empty() ? std::string("(no tool)") : tool) + " at " + x + ", " + y;
}

}  // namespace

std::string compareDrillFiles(const DrillFile& original, const DrillFile& written) {
    const std::vector<HoleKey> before = holeKeys(original);
    const std::vector<HoleKey> after = holeKeys(written);
    if (before != after) {
        std::vector<HoleKey> lost;
        std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
        if (!lost.empty()) return "the written file lacks the hole " + describe(lost.front());
        std::vector<HoleKey> added;
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
        if (!added.empty()) return "the written file holds a hole the input does not: " + describe(added.front());
        return "the written file holds " + std::to_string(after.size()) + " holes where the input holds " +
               std::to_string(before.size());
    }
    if (otherLines(original) != otherLines(written))
        return "the lines between the holes are not those of the input";
    return {};
}

}  // namespace twcycle::drill
