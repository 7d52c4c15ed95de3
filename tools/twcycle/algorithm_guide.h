// What the host tells a user about the module's settings: the algorithm
// names (taken from the optimizer's own name table, so a new name shows up
// here by itself), one line of advice each, and the parameters the module
// reads with their defaults.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace twcycle {

struct AlgorithmEntry {
    std::string name;
    int code = 0;
    std::string advice;
};

// Every name the module accepts, in the order it compares them.
std::vector<AlgorithmEntry> algorithmEntries();

// The name of `code` in the table, or none.
std::optional<std::string> algorithmName(int code);

// True when `name` selects an algorithm (exactly, case included).
bool isAlgorithmName(std::string_view name);

// The valid names closest to an unknown `name` (case-insensitive edit
// distance), best first, at most `count`.
std::vector<std::string> nearestAlgorithmNames(std::string_view name, std::size_t count = 2);

// The --list-algorithms text: one line per name with its advice.
std::string algorithmListText();

// The parameter part of --help: name, default, meaning.
std::string parameterListText();

}  // namespace twcycle
