// Points of the geometry files as the host sees them: plane coordinates,
// with the rule that a point object's missing coordinate repeats the last
// one given in the file.
#pragma once

#include <string>
#include <string_view>

#include "exchange/coordinate_arguments.h"
#include "exchange/exchange_token.h"
#include "framework/number_text.h"

namespace twcycle {

struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

// The latest first-slot texts of "x" and "y" met in a file; "0" before any.
// Both the module and the files it writes rely on this carrying: the output
// gives a coordinate only where it changes.
class PointCarry {
public:
    // Takes the point object's coordinates and returns the point they give.
    PlanePoint take(const tw::ExchangeToken& token) {
        tw::CoordinateTexts record{};
        tw::readCoordinateArguments(record, token);
        const std::string_view x = tw::coordinateText(record.slots[0][0]);
        const std::string_view y = tw::coordinateText(record.slots[0][1]);
        if (!x.empty()) lastX_.assign(x);
        if (!y.empty()) lastY_.assign(y);
        return PlanePoint{tw::leadingReal(lastX_.c_str()), tw::leadingReal(lastY_.c_str())};
    }

private:
    std::string lastX_ = "0";
    std::string lastY_ = "0";
};

}  // namespace twcycle
