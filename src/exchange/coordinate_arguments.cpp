#include "exchange/coordinate_arguments.h"

#include <algorithm>

namespace tw {
namespace {

void storeText(CoordinateText& field, std::string_view text) {
    const std::size_t length = std::min(text.size(), kCoordinateTextLength);
    std::copy_n(text.data(), length, field.data());
    field[length] = '\0';
}

// Splits `value` into up to three slots of `axis` (0 x, 1 y, 2 z).
void readSlots(CoordinateTexts& record, std::size_t axis, std::string_view value) {
    std::size_t slot = 0;
    std::size_t at = 0;
    while (slot < kCoordinateSlots && at < value.size()) {
        if (value[at] == '/') {
            ++at;
            ++slot;
            continue;
        }
        std::size_t end = value.find('/', at);
        if (end == std::string_view::npos) end = value.size();
        const std::string_view text = value.substr(at, end - at);
        if (text.size() <= kCoordinateTextLength) storeText(record.slots[slot][axis], text);
        at = end < value.size() ? end + 1 : end;
        ++slot;
    }
}

}  // namespace

int readCoordinateArguments(CoordinateTexts& record, const ExchangeToken& token) {
    int mask = 0;
    for (const ExchangeArgument& argument : token.arguments) {
        if (!argument.name || argument.name->size() != 1) continue;
        const std::string_view value = argument.value ? std::string_view(*argument.value) : std::string_view();
        switch ((*argument.name)[0]) {
            case 'o': storeText(record.o, value); break;
            case 'x': mask |= kCoordinateX; readSlots(record, 0, value); break;
            case 'y': mask |= kCoordinateY; readSlots(record, 1, value); break;
            case 'z': mask |= kCoordinateZ; readSlots(record, 2, value); break;
            default: break;
        }
    }
    return mask;
}

}  // namespace tw
