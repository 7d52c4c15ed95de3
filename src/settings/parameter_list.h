// The parameter list: a singly linked list of Parameter nodes (declared in
// the public header) holding a cycle's named settings.
//
// Every changing operation takes the current first node and returns the new
// first node; callers store the result back. The list owns the name and value
// texts of every node (malloc'd). Names compare exactly, case included.
// Memory shortage never fails an operation: the entry is simply not stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "exchange/parameter_file.h"
#include "twpntopt.h"

namespace tw {

// Parameter levels: where a value came from.
inline constexpr std::uint16_t kLevelDefault = 2;      // built-in default
inline constexpr std::uint16_t kLevelDefinition = 13;  // the cycle's ".def" file
inline constexpr std::uint16_t kLevelCall = 21;        // job ".pcf" file, ".CFG" entries
inline constexpr std::uint16_t kLevelDerived = 31;     // values the cycle derives itself

// Sets `name` to a copy of `value`. An existing name keeps its place and
// takes the new value and level; a new name goes to the front. A missing or
// empty name or value leaves the list unchanged.
Parameter* setParameter(Parameter* list, const char* name, const char* value, std::uint16_t level);

// Like setParameter, but takes the texts out of `pair`: on replacement only
// the value is taken, on insertion both. What is taken is cleared in the pair.
Parameter* adoptParameter(Parameter* list, ParameterEntry& pair, std::uint16_t level);

// A copy of the value stored under `name`, or nullopt. When found and `level`
// is given, the entry's level is stored there; otherwise it is left alone.
std::optional<std::string> getParameter(const Parameter* list, const char* name,
                                        std::uint16_t* level = nullptr);

// Appends a node at the end without looking for an equal name. A missing or
// empty name leaves the list unchanged; a missing value is stored as "".
Parameter* appendEntry(Parameter* list, const char* name, const char* value, std::uint16_t level);

// Releases every node and both of its texts; null is accepted.
void freeParameters(Parameter* list);

}  // namespace tw
