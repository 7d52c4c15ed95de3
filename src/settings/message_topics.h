// The kernel cycle's switch slots that show a message-file section.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Shows the section of the message file named by the parameter `topic` for
// the language in "SystemLanguage" ("???" when unset). 0 when the parameter
// is absent, the file cannot be read or the section has no text line.
std::int32_t describeTopic(Cycle* cycle, const char* topic);

// Slot 6 (-P): the section of the message file named by "parameters".
std::int32_t TWCS_CALL describeParameters(Cycle* cycle);
// Slot 7 (-A): the section of the message file named by "algorithm".
std::int32_t TWCS_CALL describeAlgorithm(Cycle* cycle);
// Slot 8 (-Y): the section of the message file named by "layers".
std::int32_t TWCS_CALL describeLayers(Cycle* cycle);

}  // namespace tw
