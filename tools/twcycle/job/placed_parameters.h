// Parameter files read entry by entry with the module's own reader, keeping
// for every entry the place it stands at, so that the host's checks can name
// the line a setting comes from.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "findings.h"

namespace twcycle {

struct PlacedEntry {
    std::string name;
    std::string value;      // as the module reads it
    FilePlace place;        // the entry's first character
    FilePlace valuePlace;   // the value's first character (the entry's when unknown)
    std::string ignored;    // words after an unquoted value that the module drops
};

struct PlacedParameterFile {
    std::string path;
    bool opened = false;  // false: missing or unreadable
    std::vector<PlacedEntry> entries;  // entries with a name, in file order
};

// Reads `path` as the module's parameter-file reading does (the same name
// resolution and reader), entries without a value included.
PlacedParameterFile readPlacedParameters(const std::string& path);

// Line and column (from 1) of byte `offset` of `text`. A CR LF pair ends
// one line, as editors count.
FilePlace placeOf(const std::string& file, std::string_view text, std::size_t offset);

// What a parameter line holds after its value that the module drops: the
// words after an unquoted value ended by a blank, or after a closing quote.
// Empty when nothing is dropped (comments and continuation marks are not).
// `valueOffset` receives the offset of the value in `line`.
std::string droppedWords(std::string_view line, std::size_t& valueOffset);

// The winning entry of every name over several files read in order: the
// last one with a non-empty value, as the parameter list keeps it.
class PlacedSettings {
public:
    void add(const PlacedParameterFile& file);
    const PlacedEntry* find(std::string_view name) const;

private:
    std::vector<PlacedEntry> winners_;
};

}  // namespace twcycle
