#include "algorithm_guide.h"

#include <algorithm>
#include <cctype>

#include "optimizer/optimize_codes.h"

namespace twcycle {
namespace {

struct Advice {
    std::string_view name;
    std::string_view text;
};

// Advice by name; a name of the module's table without advice here is
// still listed.
constexpr Advice kAdvice[] = {
    {"nearest", "cheapest insertion with improvement passes: the same search as \"insert\" "
                "despite its name; short paths, seconds on 20,000 points"},
    {"nearestDirected", "nearest-neighbour tour that prefers going straight on; the quickest, "
                        "and the longest paths"},
    {"nearestDirCross", "nearestDirected, then crossings removed; the best trade-off of time "
                        "and path length"},
    {"insert", "cheapest insertion with improvement passes (the same search as \"nearest\"); short "
               "paths, seconds on 20,000 points"},
    {"extendedA", "insertion over growing windows, stopped near a lower bound; short paths, the "
                  "slowest of the names"},
    {"extendedB", "cheapest insertion followed by the short improvement passes only: less work than "
                  "\"insert\", paths a little longer"},
    {"nearOptimal", "local search with a counted budget (parameter searchEffort); the shortest "
                    "paths, reproducible"},
};

constexpr std::string_view kNoAdvice = "no advice recorded for this name";

std::string_view adviceFor(std::string_view name) {
    for (const Advice& advice : kAdvice)
        if (advice.name == name) return advice.text;
    return kNoAdvice;
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t change = diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, change});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// `lead` followed by `text`, wrapped at kLineWidth with later lines
// indented by `indent`.
constexpr std::size_t kLineWidth = 79;

std::string wrapped(const std::string& lead, const std::string& text, std::size_t indent) {
    std::string result = lead;
    std::size_t column = lead.size();
    bool lineStart = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::size_t length = end - start;
        if (!lineStart && column + 1 + length > kLineWidth) {
            result += "\n" + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            result += ' ';
            ++column;
        }
        result.append(text, start, length);
        column += length;
        lineStart = false;
        start = end + 1;
    }
    return result + "\n";
}

bool tableHas(std::string_view name) {
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames)
        if (entry.name == name) return true;
    return false;
}

}  // namespace

std::vector<AlgorithmEntry> algorithmEntries() {
    std::vector<AlgorithmEntry> entries;
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames)
        entries.push_back(AlgorithmEntry{std::string(entry.name), entry.code, std::string(adviceFor(entry.name))});
    return entries;
}

std::optional<std::string> algorithmName(int code) {
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames)
        if (entry.code == code) return std::string(entry.name);
    return std::nullopt;
}

bool isAlgorithmName(std::string_view name) { return tableHas(name); }

std::vector<std::string> nearestAlgorithmNames(std::string_view name, std::size_t count) {
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames)
        ranked.emplace_back(editDistance(name, entry.name), std::string(entry.name));
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& [distance, candidate] : ranked) {
        if (names.size() >= count) break;
        // A name that differs in case only is the one meant.
        if (!names.empty() && ranked.front().first == 0) break;
        names.push_back(candidate);
    }
    return names;
}

std::string algorithmListText() {
    const std::vector<AlgorithmEntry> entries = algorithmEntries();
    std::size_t width = 0;
    for (const AlgorithmEntry& entry : entries) width = std::max(width, entry.name.size());
    std::string text;
    const std::optional<std::string> fallback = algorithmName(tw::kDefaultAlgorithm);
    for (const AlgorithmEntry& entry : entries) {
        std::string advice = entry.advice;
        if (fallback && entry.name == *fallback) advice += " [default]";
        text += wrapped("  " + padded(entry.name, width + 2), advice, width + 4);
    }
    return text;
}

std::string parameterListText() {
    struct Row {
        const char* name;
        std::string fallback;
        const char* meaning;
    };
    std::vector<Row> rows = {
        {"geoSource", "-", "the geometry exchange file whose contours are ordered"},
        {"geoOut", "-", "the output file (written as <geoOut>.part, then renamed)"},
        {"algorithm", algorithmName(tw::kDefaultAlgorithm).value_or("-"),
         "the algorithm name (below); -A reads its message file from this parameter too"},
        {"startX, startY", "0", "start point of the first contour"},
        {"precision", "6", "decimal places written, 1 to 8 (others are clamped)"},
        {"writePath", "false", "\"true\" (any case) adds a \"-Path\" contour per contour"},
        {"removeTempFiles", "true", "the working copy osrc_tmp.twx is deleted after the run, whatever the value"},
        {"SystemLanguage", "-", "the language of the message-file sections (-P, -A, -Y)"},
        {"MessageFile", ":undefined", "the message file named to the host"},
        {"parameters", "-", "the message file that -P shows"},
        {"layers", "-", "the message file that -Y shows"},
        {"POFbypass", "-", "a file copied to standard output before the run (not with -PCF)"},
        {"frameCs_*", "identity", "work frame: axes _x, _y, _z and origin _o as three numbers; toolCs_* and "
                                  "locFrameCs_* likewise"},
    };
    // Parameters of one algorithm are listed when the module names it.
    if (tableHas("nearOptimal"))
        rows.push_back({"searchEffort", "10", "(nearOptimal only) how much work the search does, 1 to 100, in "
                                              "counted steps: the same input gives the same path; out of "
                                              "range is clamped, other text gives 10"});
    std::string text;
    constexpr std::size_t kNameColumn = 17;
    constexpr std::size_t kDefaultColumn = 10;
    for (const Row& row : rows)
        text += wrapped("  " + padded(row.name, kNameColumn) + padded(row.fallback, kDefaultColumn) + " ", row.meaning,
                        2 + kNameColumn + kDefaultColumn + 1);
    return text;
}

}  // namespace twcycle
