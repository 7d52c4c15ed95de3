#include "exchange/contour_reading.h"

#include <memory>
#include <string_view>
#include <utility>

#include "exchange/coordinate_arguments.h"
#include "text/number_text.h"

namespace tw {
namespace {

struct Reading {
    ContourVisitor& visitor;
    ContourNesting nesting;
    CoordinateCarry carry;
};

Reading& readingOf(void* context) { return *static_cast<Reading*>(context); }

std::int32_t onValue(ExchangeToken& token, ValueDictionary* dictionary, void* context) {
    const std::string name = token.name.value_or("");
    const std::string text = token.text.value_or("");
    setDictionaryValue(dictionary, name, text);
    Reading& reading = readingOf(context);
    reading.visitor.value(name, text, reading.nesting);
    return 1;
}

std::int32_t onBlockBegin(ExchangeToken&, ValueDictionary* dictionary, void* context) {
    openDictionaryScope(dictionary);
    readingOf(context).nesting.blockBegin();
    return 1;
}

std::int32_t onBlockEnd(ExchangeToken&, ValueDictionary* dictionary, void* context) {
    Reading& reading = readingOf(context);
    // The contour ends while its body's scope is still open.
    if (reading.nesting.blockEnd() && dictionary != nullptr) reading.visitor.contourEnd(*dictionary);
    closeDictionaryScope(dictionary);
    return 1;
}

std::int32_t onContour(ExchangeToken& token, ValueDictionary*, void* context) {
    Reading& reading = readingOf(context);
    reading.nesting.contourHeader();
    reading.visitor.contourHeader(token);
    return 1;
}

std::int32_t onPoint(ExchangeToken& token, ValueDictionary*, void* context) {
    Reading& reading = readingOf(context);
    // Every point carries its coordinates on, also one nested deeper.
    reading.carry.take(token);
    if (reading.nesting.inBody()) reading.visitor.point(token, reading.carry);
    return 1;
}

}  // namespace

void CoordinateCarry::take(const ExchangeToken& token) {
    CoordinateTexts record{};
    readCoordinateArguments(record, token);
    for (int axis = 0; axis < 3; ++axis) {
        const std::string_view text = coordinateText(record.slots[0][static_cast<std::size_t>(axis)]);
        if (!text.empty()) texts_[axis].assign(text);
    }
}

double CoordinateCarry::value(int axis) const { return leadingReal(texts_[axis].c_str()); }

std::int32_t readContours(const std::string& fileName, ContourVisitor& visitor, ExchangeHeadCheck headCheck) {
    Reading reading{visitor, {}, {}};
    std::unique_ptr<ExchangeWalker> walker = createExchangeWalker(&reading, onValue, onBlockBegin, onBlockEnd);
    if (!walker) return 0;
    if (addObjectHandler(walker.get(), "P", onPoint) != 1 || addObjectHandler(walker.get(), "Contour", onContour) != 1) {
        destroyExchangeWalker(std::move(walker));
        return 0;
    }
    const std::int32_t walked = walkExchangeFile(fileName, walker.get(), headCheck);
    destroyExchangeWalker(std::move(walker));
    return walked;
}

}  // namespace tw
