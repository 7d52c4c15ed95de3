// Message files: per language, sections of text lines.
//
//   default german          ; the language taken when none matches
//   language english        ; taken when it is the wanted one
//   start english
//   :Hello                  ; a text line of the section
//   end english
//
// Up to four files are open at once, addressed by handles 123 to 126. The
// handle table and the readers are module-wide and single-threaded.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tw {

inline constexpr int kFirstMessageHandle = 123;
inline constexpr int kMessageHandleCount = 4;

// openMessageFile failures.
inline constexpr int kNoFreeMessageHandle = -1;
inline constexpr int kUnreadableMessageFile = -2;

// Buffer sizes, terminator included. A longer text line is cut and the rest
// of it dropped; a longer keyword is cut (it then names no keyword); a value
// word (a language) that does not fit is still a word but equals no language.
inline constexpr std::size_t kMessageLineSize = 260;
inline constexpr std::size_t kMessageKeywordSize = 40;
inline constexpr std::size_t kMessageValueSize = 260;

// Opens `path` ("rb") and scans its head for the section of `language` (null:
// only a "default" line or no language line at all selects one). Returns the
// handle, whether or not a section was found; kNoFreeMessageHandle when four
// files are open; kUnreadableMessageFile when the file cannot be opened.
int openMessageFile(const char* path, const char* language);

// As openMessageFile for a stream opened by the caller; the handle owns it
// from here on (it is closed at once when no handle is free).
int adoptMessageStream(std::FILE* stream, const char* language);

// Sets `line` to the next text line of the section (without the ':' and the
// line end) and returns 1; returns 0 with an empty `line` at the end of the
// section or file, for a handle that is not open, or once a read gave 0.
int readMessageLine(int handle, std::string& line);

// Closes the file of `handle` and frees it; other numbers are ignored.
void closeMessageFile(int handle);

// 1 when `path` holds a section for `language` whose first read gives a
// line; the section is read to its end. The file is always closed again.
int showMessageSection(const char* path, const char* language);

}  // namespace tw
