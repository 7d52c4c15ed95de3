// Points of the geometry files as the host sees them: plane coordinates.
#pragma once

#include "exchange/contour_reading.h"

namespace twcycle {

struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

// The point the carried coordinates give, as the module reads it.
inline PlanePoint planePoint(const tw::CoordinateCarry& carry) { return PlanePoint{carry.value(0), carry.value(1)}; }

}  // namespace twcycle
