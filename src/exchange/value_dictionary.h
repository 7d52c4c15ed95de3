// The value dictionary: a scoped store of the values an exchange file sets,
// kept in step with its blocks.
//
// Entries are unique by name (compared exactly) and listed newest first.
// Every open block is a scope: a value of an enclosing level changed inside
// it gets its previous value back when the scope closes, and every name
// created inside it disappears. The dictionary also numbers the objects and
// methods that have no id: the counters restart at 1 in every scope and
// resume their outer values after it. They are mirrored as the entries
// "objectCounter" and "methodCounter"; setting either entry sets its counter.
//
// Limits: at most kMaxDictionaryDepth levels (opening a scope beyond it fails
// and changes nothing). A scope keeps at most one saved value per entry, so
// repeated changes inside one block do not pile up. Closing a scope costs
// the number of its saved values and created names; nothing is recursive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tw {

inline constexpr std::uint16_t kMaxDictionaryDepth = 65535;
inline constexpr std::string_view kObjectCounterName = "objectCounter";
inline constexpr std::string_view kMethodCounterName = "methodCounter";

struct DictionaryEntry {
    std::string name;
    std::string value;
    // The depth at which the entry was created: 1 at the top level, one more
    // inside each open block.
    std::uint16_t depth = 1;
};

class ValueDictionary {
    struct Slot {
        DictionaryEntry entry;
        std::uint64_t savedInScope = 0;  // serial of the scope holding its saved value
    };

public:
    // Visits the entries newest first.
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = DictionaryEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = const DictionaryEntry*;
        using reference = const DictionaryEntry&;

        Iterator() = default;
        reference operator*() const { return position_->entry; }
        pointer operator->() const { return &position_->entry; }
        Iterator& operator++() {
            ++position_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++position_;
            return old;
        }
        bool operator==(const Iterator&) const = default;

    private:
        friend class ValueDictionary;
        explicit Iterator(std::deque<Slot>::const_reverse_iterator position) : position_(position) {}
        std::deque<Slot>::const_reverse_iterator position_;
    };

    // Depth 1, both counters 1, the entries "objectCounter" and "methodCounter"
    // holding "1". Throws std::bad_alloc; createValueDictionary does not.
    ValueDictionary();
    ValueDictionary(const ValueDictionary&) = delete;
    ValueDictionary& operator=(const ValueDictionary&) = delete;

    Iterator begin() const { return Iterator(entries_.crbegin()); }
    Iterator end() const { return Iterator(entries_.crend()); }
    std::size_t size() const { return entries_.size(); }

    // 1 at the top level, one more inside each open scope.
    std::uint16_t depth() const { return depth_; }
    // True for an entry created inside the innermost open scope (at the top
    // level: for every entry). These entries are the first ones visited.
    bool inCurrentScope(const DictionaryEntry& entry) const { return entry.depth == depth_; }
    // The number of entries created inside the innermost open scope.
    std::size_t currentScopeSize() const;
    // The number of values saved in all open scopes together.
    std::size_t savedValueCount() const { return savedValueCount_; }

    std::int32_t objectCounter() const { return objectCounter_; }
    std::int32_t methodCounter() const { return methodCounter_; }
    // The number for the next object (method) without id; the counter moves
    // on by one. Counting past the largest 32-bit value wraps around.
    std::int32_t takeObjectNumber() { return advance(objectCounter_); }
    std::int32_t takeMethodNumber() { return advance(methodCounter_); }

    // See setDictionaryValue and the scope functions below.
    int set(std::string_view name, std::string_view value);
    const DictionaryEntry* find(std::string_view name) const;
    int openScope();
    int closeScope();

private:
    struct SavedValue {
        std::size_t slot;  // index into entries_, stable while the scope is open
        std::string value;
        std::uint64_t savedInScope;  // the slot's marker before it was saved here
    };
    struct Scope {
        std::uint64_t serial;
        std::vector<SavedValue> saved;  // in the order of saving
    };

    static std::int32_t advance(std::int32_t& counter);
    void applyCounterRule(std::string_view name, std::string_view value);
    void setCounterText(std::string_view name, std::int32_t counter);

    // Oldest first, so that the newest entries, which are the only ones ever
    // removed, sit at the back. Entry depths never decrease towards the back.
    std::deque<Slot> entries_;
    std::unordered_map<std::string_view, std::size_t> index_;  // views into entries_ names
    std::vector<Scope> scopes_;
    std::size_t savedValueCount_ = 0;
    std::uint64_t nextScopeSerial_ = 1;
    std::uint16_t depth_ = 1;
    std::int32_t objectCounter_ = 1;
    std::int32_t methodCounter_ = 1;
};

// A new dictionary, or null when memory is short.
std::unique_ptr<ValueDictionary> createValueDictionary();

// Releases the dictionary with its entries, scopes and saved values; null is
// accepted.
void destroyValueDictionary(std::unique_ptr<ValueDictionary> dictionary);

// Sets `name` to `value`. Returns 1 when an existing entry was changed, 0
// otherwise; does nothing and returns 0 for a null dictionary or an empty
// name or value. A changed entry of an enclosing level has its previous
// value saved in the innermost scope (once per scope). Setting
// "objectCounter" or "methodCounter" also sets the counter to the value read
// as a decimal integer (leading whitespace and a sign allowed, reading stops
// at the first non-digit, no digits give 0, out-of-range values saturate).
// When memory is short the dictionary stays as it was and 0 is returned.
int setDictionaryValue(ValueDictionary* dictionary, std::string_view name, std::string_view value);

// A copy of the value of `name`, or nullopt.
std::optional<std::string> getDictionaryValue(const ValueDictionary* dictionary, std::string_view name);

// Opens a scope: the counter entries take the counters' texts, the depth
// rises by one and both counters (and their entries) restart at 1. Returns 1,
// or 0 for a null dictionary, at kMaxDictionaryDepth, or when memory is short.
int openDictionaryScope(ValueDictionary* dictionary);

// Closes the innermost scope: saved values are put back, names created in
// the scope are removed, the counters are read back from their entries.
// Returns 1, or 0 for a null dictionary or when no scope is open.
int closeDictionaryScope(ValueDictionary* dictionary);

// The counter text rule: leading whitespace and a sign, then decimal digits
// up to the first non-digit; no digits give 0; saturates at the 32-bit range.
std::int32_t readCounterValue(std::string_view text);

}  // namespace tw
