// Byte-by-byte input from an exchange stream.
//
// Characters come straight from the stream's own buffer (no extra buffering
// on top), so the stream position always lies just after the last character
// consumed and ftell/fseek on the FILE* stay valid for the callers that
// address long method bodies by position.
#pragma once

#include <cstdint>
#include <cstdio>

#include "exchange/character_classes.h"

namespace tw {

class CharacterSource {
public:
    explicit CharacterSource(std::FILE* stream) : stream_(stream) {}

    // The next byte (0..255), or kEndOfData at the end of the file, on a read
    // error, or at a byte 26. The byte 26 is pushed back, so that every later
    // read sees the end again and the data really ends there, also for a
    // caller that moves on after a long method body.
    int next() {
        const int c = readByte();
        if (c == kDataEndByte) {
            std::ungetc(c, stream_);
            return kEndOfData;
        }
        return c < 0 ? kEndOfData : c;
    }

    // The stream position, -1 when it cannot be read.
    std::int64_t position() const { return std::ftell(stream_); }

    std::FILE* stream() const { return stream_; }

private:
    int readByte() {
#if defined(_WIN32)
        return _getc_nolock(stream_);
#else
        return getc_unlocked(stream_);
#endif
    }

    std::FILE* stream_;
};

}  // namespace tw
