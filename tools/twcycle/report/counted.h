// "1 hole", "3 holes": a count with its noun.
#pragma once

#include <cstddef>
#include <string>

namespace twcycle {

inline std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace twcycle
