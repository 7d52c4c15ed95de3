#include "exchange/value_dictionary.h"

#include <limits>
#include <new>

namespace tw {
namespace {

constexpr bool isCounterSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t readCounterValue(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isCounterSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

ValueDictionary::ValueDictionary() {
    set(kObjectCounterName, "1");
    set(kMethodCounterName, "1");
}

std::int32_t ValueDictionary::advance(std::int32_t& counter) {
    const std::int32_t number = counter;
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u);
    return number;
}

std::size_t ValueDictionary::currentScopeSize() const {
    std::size_t count = 0;
    for (auto slot = entries_.crbegin(); slot != entries_.crend() && slot->entry.depth == depth_; ++slot) ++count;
    return count;
}

const DictionaryEntry* ValueDictionary::find(std::string_view name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second].entry;
}

void ValueDictionary::applyCounterRule(std::string_view name, std::string_view value) {
    if (name == kObjectCounterName) objectCounter_ = readCounterValue(value);
    if (name == kMethodCounterName) methodCounter_ = readCounterValue(value);
}

// Every step either completes or, when an allocation fails, throws before the
// dictionary has changed.
int ValueDictionary::set(std::string_view name, std::string_view value) {
    if (name.empty() || value.empty()) return 0;
    const auto found = index_.find(name);
    if (found != index_.end()) {
        Slot& slot = entries_[found->second];
        std::string newValue(value);
        if (slot.entry.depth < depth_ && depth_ > 1 && slot.savedInScope != scopes_.back().serial) {
            // The first change inside this scope saves the value from before
            // it; later changes need not, since only that one is put back.
            Scope& scope = scopes_.back();
            scope.saved.push_back(SavedValue{found->second, slot.entry.value, slot.savedInScope});
            slot.savedInScope = scope.serial;
            ++savedValueCount_;
        }
        slot.entry.value = std::move(newValue);
        applyCounterRule(name, value);
        return 1;
    }
    entries_.push_back(Slot{DictionaryEntry{std::string(name), std::string(value), depth_}, 0});
    try {
        index_.emplace(entries_.back().entry.name, entries_.size() - 1);
    } catch (...) {
        entries_.pop_back();
        throw;
    }
    applyCounterRule(name, value);
    return 0;
}

void ValueDictionary::setCounterText(std::string_view name, std::int32_t counter) {
    set(name, std::to_string(counter));
}

int ValueDictionary::openScope() {
    if (depth_ == kMaxDictionaryDepth) return 0;
    setCounterText(kObjectCounterName, objectCounter_);
    setCounterText(kMethodCounterName, methodCounter_);
    scopes_.push_back(Scope{nextScopeSerial_++, {}});
    ++depth_;
    objectCounter_ = 1;
    methodCounter_ = 1;
    try {
        set(kObjectCounterName, "1");
        set(kMethodCounterName, "1");
    } catch (const std::bad_alloc&) {
        // The scope is open; the counters restart even if their texts could
        // not be saved.
    }
    return 1;
}

int ValueDictionary::closeScope() {
    if (depth_ <= 1 || scopes_.empty()) return 0;
    --depth_;
    Scope& scope = scopes_.back();
    // Newest first, so that the value from before the scope is put back last.
    // Each saved entry belongs to an enclosing level and therefore still
    // exists; it keeps the depth it was created at.
    for (auto saved = scope.saved.rbegin(); saved != scope.saved.rend(); ++saved) {
        Slot& slot = entries_[saved->slot];
        slot.entry.value = std::move(saved->value);
        slot.savedInScope = saved->savedInScope;
    }
    savedValueCount_ -= scope.saved.size();
    scopes_.pop_back();
    while (!entries_.empty() && entries_.back().entry.depth > depth_) {
        index_.erase(entries_.back().entry.name);
        entries_.pop_back();
    }
    if (const DictionaryEntry* entry = find(kObjectCounterName)) objectCounter_ = readCounterValue(entry->value);
    if (const DictionaryEntry* entry = find(kMethodCounterName)) methodCounter_ = readCounterValue(entry->value);
    return 1;
}

std::unique_ptr<ValueDictionary> createValueDictionary() {
    try {
        return std::make_unique<ValueDictionary>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void destroyValueDictionary(std::unique_ptr<ValueDictionary> dictionary) { dictionary.reset(); }

int setDictionaryValue(ValueDictionary* dictionary, std::string_view name, std::string_view value) {
    if (dictionary == nullptr) return 0;
    try {
        return dictionary->set(name, value);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::optional<std::string> getDictionaryValue(const ValueDictionary* dictionary, std::string_view name) {
    if (dictionary == nullptr) return std::nullopt;
    try {
        const DictionaryEntry* entry = dictionary->find(name);
        if (entry == nullptr) return std::nullopt;
        return entry->value;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

int openDictionaryScope(ValueDictionary* dictionary) {
    if (dictionary == nullptr) return 0;
    try {
        return dictionary->openScope();
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int closeDictionaryScope(ValueDictionary* dictionary) {
    if (dictionary == nullptr) return 0;
    return dictionary->closeScope();
}

}  // namespace tw
