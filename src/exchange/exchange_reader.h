// The exchange-file reader: a pull reader that opens a file, judges its
// four-line head and hands out the body one item at a time.
//
// Calling order: openExchangeFile, readExchangeToken until it returns 0,
// clearExchangeToken for the last token, closeExchangeFile. Nothing but the
// stream position survives between readExchangeToken calls, so several
// streams may be read alternately (also from inside a handler that reads
// another file while a walk is running). Failures are silent: a stream that
// cannot be opened is null, and a read that meets the end of the data or an
// error returns 0.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "exchange/exchange_token.h"
#include "exchange/file_names.h"

namespace tw {

// A name beginning with '~' is composed with HOME in a buffer of this size;
// a composed name that does not fit (with its terminator) is refused.
inline constexpr std::size_t kResolvedNameBuffer = 512;
// Head lines are cut to this many characters; the rest of the line is read
// and dropped.
inline constexpr std::size_t kMaxHeadLineLength = 32751;
// Method bodies up to this many characters arrive as text; longer ones stay
// in the file and are addressed by position.
inline constexpr std::size_t kMaxBodyInMemory = 4351;
// One token may hold at most this many characters in its names, id, texts
// and argument values together, and at most this many arguments. An item
// beyond either limit ends the reading like a syntax error, so that a file
// of one gigantic item cannot exhaust memory.
inline constexpr std::size_t kMaxTokenCharacters = std::size_t{1} << 20;
inline constexpr std::size_t kMaxTokenArguments = 16384;
// The trace file a method name followed by whitespace or ';' is appended to,
// in the current directory.
inline constexpr const char* kMethodTraceFile = "EDK.TXT";

// Opens `name` for reading without text translation and reads its head into
// `header` (whose fields are reset first). Returns the stream positioned at
// the first body character, or null.
//
// "| stdin" is standard input; any other name beginning with '|' fails. A name
// beginning with '~' becomes HOME followed by the rest of the name; it fails
// when HOME is unset or the result needs more than kResolvedNameBuffer
// characters. A stream that cannot be repositioned (a pipe) is first copied
// into a temporary file, so that a file without head and long method bodies
// read the same as from a regular file. A refused head closes the stream.
std::FILE* openExchangeFile(const std::string& name, ExchangeHeader& header);

// Reads the next item into `token` (cleared first). Returns 1 when an item
// was read, 0 at the end of the data, on a syntax error or when memory runs
// short; the token is then empty. A null stream gives 0.
int readExchangeToken(std::FILE* stream, ExchangeToken& token);

// Releases the token's texts and arguments and resets every field. The body
// stream is not closed: it is the stream being read.
void clearExchangeToken(ExchangeToken& token);

// Closes `stream` when it refers to a regular file whose position can be
// read. Standard input, pipes and devices stay open; null is accepted.
void closeExchangeFile(std::FILE* stream);

// Owns a stream from openExchangeFile and gives it to closeExchangeFile.
struct ExchangeFileCloser {
    void operator()(std::FILE* stream) const { closeExchangeFile(stream); }
};
using ExchangeStream = std::unique_ptr<std::FILE, ExchangeFileCloser>;

}  // namespace tw
