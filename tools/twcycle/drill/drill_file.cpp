#include "drill_file.h"

namespace twcycle::drill {

std::string exactDecimal(std::int64_t value) {
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::uint64_t scale = static_cast<std::uint64_t>(kValueScale);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / scale);
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(kValueDecimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

std::string exactDecimal(const Coordinate& coordinate) { return exactDecimal(coordinate.value); }

}  // namespace twcycle::drill
