// Parameter files: lists of `name := value` entries, one a line, with quoted
// names and values, escapes, ';' comments and '>' continuation lines.
//
// Calling order: openParameterFile; readParameterEntry until the stream
// reports its end (feof) or a read error (ferror), using every call that
// returned 1; closeParameterFile. The syntax only hands out entries: the
// settings store them (readParameterFile in settings/parameter_files.h).
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace tw {

// A name/value pair read from a parameter file; the reader reuses it from
// entry to entry. An absent text is std::nullopt.
struct ParameterEntry {
    std::optional<std::string> name;
    std::optional<std::string> value;
};

// A name or a value keeps at most this many characters; the rest of a longer
// one is read and dropped, so the entries after it come out intact.
inline constexpr std::size_t kMaxParameterText = 32751;

// Opens a parameter file for reading ("rb"). "| stdin" is the standard input
// and "~..." is HOME followed by the rest of the name; other names beginning
// with '|' are refused. Null when the name is refused or cannot be opened.
std::FILE* openParameterFile(const char* name);

// Releases the entry's texts, reads the next entry and returns 1 when it had
// a name (the value is then a text, empty when none was read), else 0: for a
// comment line, an empty line, the end of the data or a null stream. A line
// that breaks the syntax is skipped to its end; what it held before the fault
// still counts.
int readParameterEntry(std::FILE* stream, ParameterEntry& entry);

// Closes a stream from openParameterFile. The standard input is left open.
void closeParameterFile(std::FILE* stream);

}  // namespace tw
