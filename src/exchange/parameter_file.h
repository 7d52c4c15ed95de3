// Parameter files: lists of `name := value` entries, one a line, with quoted
// names and values, escapes, ';' comments and '>' continuation lines.
//
// Calling order: openParameterFile; readParameterEntry until the stream
// reports its end (feof) or a read error (ferror), using every call that
// returned 1; closeParameterFile. readParameterFile does all of that and
// stores the entries in a parameter list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "settings/parameter_list.h"
#include "twpntopt.h"

namespace tw {

// A name or a value keeps at most this many characters; the rest of a longer
// one is read and dropped, so the entries after it come out intact.
inline constexpr std::size_t kMaxParameterText = 32751;

// Paths handed to readParameterFile are at most this long; longer ones are
// refused.
inline constexpr std::size_t kMaxParameterPath = 511;

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

// Reads every entry of the parameter file `path` into `list` with `level`;
// entries without a value are not stored. A missing file or a path over
// kMaxParameterPath characters leaves the list unchanged. '/' is a directory
// separator on every platform. Returns the new first node.
Parameter* readParameterFile(Parameter* list, const char* path, std::uint16_t level);

}  // namespace tw
