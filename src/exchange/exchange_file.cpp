// Opening and closing exchange files: name resolution, the head, and the
// copy of unseekable input into a temporary file.
#include <array>
#include <new>
#include <optional>

#include "exchange/exchange_head.h"
#include "exchange/exchange_reader.h"
#include "platform/platform.h"

namespace tw {
namespace {

constexpr std::size_t kSpoolChunk = 64 * 1024;

// The name to open, or nullopt when it cannot be resolved: a '~' name without
// HOME, or one whose composed form does not fit the name buffer.
std::optional<std::string> resolveHomeName(const std::string& name) {
    const std::optional<std::string> home = platform::homeDirectory();
    if (!home) return std::nullopt;
    std::string resolved = *home + name.substr(1);
    if (resolved.size() >= kResolvedNameBuffer) return std::nullopt;
    return resolved;
}

// Copies what is left of `source` into a new temporary file (removed when
// closed) and returns it at its start, or null.
std::FILE* spoolToTemporaryFile(std::FILE* source) {
    std::FILE* spool = std::tmpfile();
    if (spool == nullptr) return nullptr;
    std::array<char, kSpoolChunk> chunk;
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), source)) > 0) {
        if (std::fwrite(chunk.data(), 1, count, spool) != count) {
            std::fclose(spool);
            return nullptr;
        }
    }
    if (std::fflush(spool) != 0 || std::fseek(spool, 0, SEEK_SET) != 0) {
        std::fclose(spool);
        return nullptr;
    }
    return spool;
}

// The stream for `name`, seekable, or null.
std::FILE* openByName(const std::string& name) {
    std::FILE* stream = nullptr;
    bool ownsStream = true;
    if (!name.empty() && name[0] == '|') {
        if (name != kStandardInputName) return nullptr;
        stream = platform::binaryStandardInput();
        ownsStream = false;
    } else if (!name.empty() && name[0] == '~') {
        const std::optional<std::string> resolved = resolveHomeName(name);
        if (!resolved) return nullptr;
        stream = std::fopen(resolved->c_str(), "rb");
    } else {
        stream = std::fopen(name.c_str(), "rb");
    }
    if (stream == nullptr) return nullptr;
    if (std::ftell(stream) >= 0) return stream;
    // A pipe or device: the head test may have to read its first lines again,
    // and long method bodies are addressed by position, so read it from a copy.
    std::FILE* spool = spoolToTemporaryFile(stream);
    if (ownsStream) std::fclose(stream);
    return spool;
}

}  // namespace

std::FILE* openExchangeFile(const std::string& name, ExchangeHeader& header) {
    std::FILE* stream = openByName(name);
    if (stream == nullptr) return nullptr;
    try {
        header = ExchangeHeader{};
        const long start = std::ftell(stream);
        CharacterSource input(stream);
        switch (readExchangeHead(input, header)) {
            case HeadOutcome::Accepted:
                return stream;
            case HeadOutcome::Absent:
                if (start >= 0 && std::fseek(stream, start, SEEK_SET) == 0) return stream;
                break;
            case HeadOutcome::Refused:
                break;
        }
    } catch (const std::bad_alloc&) {
    }
    closeExchangeFile(stream);
    return nullptr;
}

void closeExchangeFile(std::FILE* stream) {
    // Standard input redirected from a file is a regular file too, but it is
    // the process's and may be read again: it always stays open.
    if (stream == nullptr || stream == stdin) return;
    if (platform::isClosableRegularFile(stream)) std::fclose(stream);
}

}  // namespace tw
