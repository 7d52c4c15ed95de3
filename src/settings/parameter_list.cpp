#include "settings/parameter_list.h"

#include <cstdlib>
#include <cstring>

#include "framework/owned_text.h"

namespace tw {
namespace {

bool isEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// The first-character check keeps the linear search cheap on long lists.
bool sameName(const char* stored, const char* wanted) {
    return stored[0] == wanted[0] && std::strcmp(stored, wanted) == 0;
}

Parameter* findNode(Parameter* list, const char* name) {
    for (Parameter* node = list; node != nullptr; node = node->next) {
        if (node->name != nullptr && sameName(node->name, name)) return node;
    }
    return nullptr;
}

Parameter* newNode(char* name, char* value, std::uint16_t level) {
    auto* node = static_cast<Parameter*>(allocateZeroed(1, sizeof(Parameter)));
    if (node == nullptr) return nullptr;
    node->name = name;
    node->value = value;
    node->level = level;
    return node;
}

}  // namespace

Parameter* setParameter(Parameter* list, const char* name, const char* value, std::uint16_t level) {
    if (isEmpty(name) || isEmpty(value)) return list;
    if (Parameter* node = findNode(list, name)) {
        char* copy = copyText(value);
        if (copy == nullptr) return list;
        releaseText(node->value);
        node->value = copy;
        node->level = level;
        return list;
    }
    char* nameCopy = copyText(name);
    char* valueCopy = copyText(value);
    Parameter* node = (nameCopy && valueCopy) ? newNode(nameCopy, valueCopy, level) : nullptr;
    if (node == nullptr) {
        std::free(nameCopy);
        std::free(valueCopy);
        return list;
    }
    node->next = list;
    return node;
}

Parameter* adoptParameter(Parameter* list, ParameterEntry& pair, std::uint16_t level) {
    if (!pair.name || pair.name->empty() || !pair.value || pair.value->empty()) return list;
    Parameter* found = findNode(list, pair.name->c_str());
    char* value = copyText(std::string_view(*pair.value));
    if (value == nullptr) return list;
    if (found != nullptr) {
        releaseText(found->value);
        found->value = value;
        found->level = level;
        pair.value.reset();
        return list;
    }
    char* name = copyText(std::string_view(*pair.name));
    Parameter* node = name ? newNode(name, value, level) : nullptr;
    if (node == nullptr) {
        std::free(name);
        std::free(value);
        return list;
    }
    node->next = list;
    pair.name.reset();
    pair.value.reset();
    return node;
}

std::optional<std::string> getParameter(const Parameter* list, const char* name, std::uint16_t* level) {
    if (name == nullptr) return std::nullopt;
    const Parameter* node = findNode(const_cast<Parameter*>(list), name);
    if (node == nullptr || node->value == nullptr) return std::nullopt;
    if (level != nullptr) *level = node->level;
    return std::string(node->value);
}

Parameter* appendEntry(Parameter* list, const char* name, const char* value, std::uint16_t level) {
    if (isEmpty(name)) return list;
    char* nameCopy = copyText(name);
    char* valueCopy = copyText(value != nullptr ? value : "");
    Parameter* node = (nameCopy && valueCopy) ? newNode(nameCopy, valueCopy, level) : nullptr;
    if (node == nullptr) {
        std::free(nameCopy);
        std::free(valueCopy);
        return list;
    }
    if (list == nullptr) return node;
    Parameter* last = list;
    while (last->next != nullptr) last = last->next;
    last->next = node;
    return list;
}

void freeParameters(Parameter* list) {
    while (list != nullptr) {
        Parameter* next = list->next;
        std::free(list->name);
        std::free(list->value);
        std::free(list);
        list = next;
    }
}

}  // namespace tw
