#include "placed_parameters.h"

#include <cstdio>
#include <cstring>

#include "exchange/parameter_file.h"
#include "platform/platform.h"
#include "settings/parameter_files.h"

namespace twcycle {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string readAll(std::FILE* stream) {
    std::string text;
    char piece[16384];
    std::size_t got = 0;
    while ((got = std::fread(piece, 1, sizeof piece, stream)) > 0) text.append(piece, got);
    return text;
}

std::size_t skipEntryStart(std::string_view text, std::size_t offset) {
    while (offset < text.size() && (isBlank(text[offset]) || isLineEnd(text[offset]))) ++offset;
    return offset;
}

std::string_view lineAt(std::string_view text, std::size_t offset) {
    std::size_t end = offset;
    while (end < text.size() && !isLineEnd(text[end])) ++end;
    return text.substr(offset, end - offset);
}

}  // namespace

FilePlace placeOf(const std::string& file, std::string_view text, std::size_t offset) {
    FilePlace place{file, 1, 1};
    if (offset > text.size()) offset = text.size();
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++place.line;
            place.column = 1;
        } else if (text[i] != '\r') {
            ++place.column;
        }
    }
    return place;
}

std::string droppedWords(std::string_view line, std::size_t& valueOffset) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && isBlank(line[i])) ++i;
    };
    skipBlanks();
    if (i >= line.size() || line[i] == ';') return {};
    if (line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        if (close == std::string_view::npos) return {};
        i = close + 1;
    } else {
        while (i < line.size() && !isBlank(line[i]) && line[i] != ':') ++i;
    }
    skipBlanks();
    if (line.substr(i, 2) != ":=") return {};
    i += 2;
    skipBlanks();
    if (i >= line.size()) return {};
    valueOffset = i;
    if (line[i] == '"') {
        for (++i; i < line.size() && line[i] != '"'; ++i)
            if (line[i] == '\\') ++i;
        if (i + 1 >= line.size() || line[i + 1] == ';') return {};
        i += 2;  // the closing quote and the one character taken with it
    } else {
        while (i < line.size() && !isBlank(line[i]) && line[i] != ';' && line[i] != '>') ++i;
        if (i < line.size() && line[i] == ';') return {};
        ++i;  // the character that ended the value goes with it
    }
    skipBlanks();
    if (i >= line.size() || line[i] == ';' || line[i] == '>') return {};
    std::size_t end = line.size();
    while (end > i && isBlank(line[end - 1])) --end;
    return std::string(line.substr(i, end - i));
}

PlacedParameterFile readPlacedParameters(const std::string& path) {
    PlacedParameterFile file;
    file.path = path;
    if (path.size() > tw::kMaxParameterPath) return file;
    const std::string name = tw::platform::nativePath(path);
    std::FILE* stream = tw::openParameterFile(name.c_str());
    if (stream == nullptr) return file;
    file.opened = true;
    // The module reads the stream itself; the host reads a second copy of
    // the text to find the places of the entries.
    std::string text;
    if (std::FILE* copy = std::fopen(name.c_str(), "rb")) {
        text = readAll(copy);
        std::fclose(copy);
    }
    tw::ParameterEntry entry;
    while (!std::feof(stream) && !std::ferror(stream)) {
        const long before = std::ftell(stream);
        if (tw::readParameterEntry(stream, entry) != 1 || !entry.name) continue;
        PlacedEntry placed;
        placed.name = *entry.name;
        placed.value = entry.value.value_or("");
        const std::size_t start = before < 0 ? text.size() : skipEntryStart(text, static_cast<std::size_t>(before));
        placed.place = placeOf(path, text, start);
        placed.valuePlace = placed.place;
        if (start < text.size()) {
            std::size_t valueOffset = 0;
            const std::string_view line = lineAt(text, start);
            placed.ignored = droppedWords(line, valueOffset);
            if (valueOffset > 0) placed.valuePlace = placeOf(path, text, start + valueOffset);
        }
        file.entries.push_back(std::move(placed));
    }
    tw::closeParameterFile(stream);
    return file;
}

void PlacedSettings::add(const PlacedParameterFile& file) {
    for (const PlacedEntry& entry : file.entries) {
        if (entry.value.empty()) continue;
        bool replaced = false;
        for (PlacedEntry& winner : winners_) {
            if (winner.name != entry.name) continue;
            winner = entry;
            replaced = true;
            break;
        }
        if (!replaced) winners_.push_back(entry);
    }
}

const PlacedEntry* PlacedSettings::find(std::string_view name) const {
    for (const PlacedEntry& winner : winners_)
        if (winner.name == name) return &winner;
    return nullptr;
}

}  // namespace twcycle
