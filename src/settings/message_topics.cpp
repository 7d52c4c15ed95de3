#include "settings/message_topics.h"

#include <optional>
#include <string>

#include "settings/message_file.h"
#include "settings/parameter_list.h"

namespace tw {

std::int32_t describeTopic(Cycle* cycle, const char* topic) {
    if (cycle == nullptr) return 0;
    try {
        const std::optional<std::string> path = getParameter(cycle->parameters, topic);
        if (!path) return 0;
        const std::string language = getParameter(cycle->parameters, "SystemLanguage").value_or("???");
        return showMessageSection(path->c_str(), language.c_str());
    } catch (...) {
        return 0;
    }
}

std::int32_t TWCS_CALL describeParameters(Cycle* cycle) { return describeTopic(cycle, "parameters"); }
std::int32_t TWCS_CALL describeAlgorithm(Cycle* cycle) { return describeTopic(cycle, "algorithm"); }
std::int32_t TWCS_CALL describeLayers(Cycle* cycle) { return describeTopic(cycle, "layers"); }

}  // namespace tw
