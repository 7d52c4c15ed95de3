// Drives the exchange reader and the walker over arbitrary bytes: the input
// is written to a scratch file, read token by token (with coordinate
// decoding and long bodies read by position), then walked with handlers that
// use the dictionary. Any broken invariant aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "exchange/contour_reading.h"
#include "exchange/coordinate_arguments.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_walker.h"

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

using namespace tw;

void require(bool condition) {
    if (!condition) std::abort();
}

const std::string& scratchFile() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("exchange-fuzz-" + std::to_string(getpid()) + ".twx")).string();
    return path;
}

bool validKind(char kind) { return kind == 'v' || kind == 'o' || kind == 'm' || kind == '{' || kind == '}'; }

// Reads a body left in the file up to, not including, the ')' before its end.
std::size_t readLongBody(const ExchangeToken& token) {
    std::size_t count = 0;
    for (std::int64_t at = token.bodyStart; at + 1 < token.bodyEnd && std::fgetc(token.bodyFile) != EOF; ++at) ++count;
    return count;
}

void readTokens(const std::string& path) {
    ExchangeHeader header;
    const ExchangeStream stream(openExchangeFile(path, header));
    if (!stream) return;
    ExchangeToken token;
    CoordinateTexts record{};
    while (readExchangeToken(stream.get(), token) == 1) {
        require(validKind(token.kind));
        require(token.name.has_value() == (token.kind == 'v' || token.kind == 'o' || token.kind == 'm'));
        if (token.kind == 'o') readCoordinateArguments(record, token);
        if (token.bodyFile != nullptr) {
            require(token.kind == 'm' && token.arguments.empty());
            require(token.bodyStart >= 0 && token.bodyEnd > token.bodyStart);
            std::fseek(token.bodyFile, static_cast<long>(token.bodyStart), SEEK_SET);
            readLongBody(token);
            std::fseek(token.bodyFile, static_cast<long>(token.bodyEnd), SEEK_SET);
        }
    }
    require(token.kind == 0 && !token.name && token.arguments.empty());
}

struct WalkState {
    std::size_t points = 0;
    std::size_t characters = 0;
};

std::int32_t onPoint(ExchangeToken& token, ValueDictionary* dictionary, void* context) {
    WalkState& state = *static_cast<WalkState*>(context);
    CoordinateTexts record{};
    readCoordinateArguments(record, token);
    require(token.text.has_value());
    ++state.points;
    for (const DictionaryEntry& entry : *dictionary) {
        require(entry.depth >= 1 && entry.depth <= dictionary->depth());
        state.characters += entry.value.size();
    }
    return 1;
}

std::int32_t onContour(ExchangeToken& token, ValueDictionary* dictionary, void*) {
    setDictionaryValue(dictionary, "contour", token.text ? *token.text : std::string());
    require(getDictionaryValue(dictionary, "objectCounter").has_value());
    return 1;
}

std::int32_t onMethod(ExchangeToken& token, ValueDictionary*, void* context) {
    if (token.bodyFile != nullptr) static_cast<WalkState*>(context)->characters += readLongBody(token);
    clearExchangeToken(token);
    return 1;
}

void walk(const std::string& path) {
    WalkState state;
    std::unique_ptr<ExchangeWalker> walker = createExchangeWalker(&state, nullptr, nullptr, nullptr);
    require(walker != nullptr);
    addObjectHandler(walker.get(), "P", &onPoint);
    addObjectHandler(walker.get(), "Contour", &onContour);
    addMethodHandler(walker.get(), "m", &onMethod);
    require(walkExchangeFile(path, walker.get(), &acceptEveryHead) <= 1);
    const ValueDictionary& dictionary = walker->dictionary();
    require(dictionary.depth() >= 1);
    require(dictionary.find(kObjectCounterName) != nullptr && dictionary.find(kMethodCounterName) != nullptr);
    ValueDictionary& mutableDictionary = walker->dictionary();
    while (closeDictionaryScope(&mutableDictionary) == 1) {
    }
    require(mutableDictionary.savedValueCount() == 0);
    require(mutableDictionary.currentScopeSize() == mutableDictionary.size());
}

// The contour reader: points and contour ends only come after a contour
// header, and a carried coordinate is always a text the coordinate reader
// could have given (never empty, never longer than a slot).
class CheckedContours : public ContourVisitor {
public:
    void contourHeader(ExchangeToken&) override { ++headers_; }
    void point(ExchangeToken&, const CoordinateCarry& carry) override {
        require(headers_ > 0);
        for (int axis = 0; axis < 3; ++axis) {
            require(!carry.text(axis).empty() && carry.text(axis).size() <= kCoordinateTextLength);
            (void)carry.value(axis);
        }
    }
    void contourEnd(const ValueDictionary& dictionary) override {
        require(headers_ > 0);
        require(dictionary.depth() >= 1);
    }

private:
    long headers_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = scratchFile();
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return 0;
        if (size > 0) std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    readTokens(path);
    walk(path);
    CheckedContours contours;
    require(readContours(path, contours, &acceptEveryHead) <= 1);
    // Method names followed by whitespace append to the trace file in the
    // current directory; keep it from growing over a long run.
    std::remove(kMethodTraceFile);
    std::remove(path.c_str());
    return 0;
}
