// Names of parameterized test cases that read well in ctest: the case's
// label with every run of characters other than letters and digits turned
// into one '_', cut to kMaxTestName characters.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace tw_test {

inline constexpr std::size_t kMaxTestName = 48;

inline std::string testName(std::string_view label) {
    std::string name;
    bool gap = false;
    for (const char c : label) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (gap && !name.empty()) name += '_';
            name += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    if (name.size() > kMaxTestName) name.resize(kMaxTestName);
    return name.empty() ? "case" : name;
}

// The name generator for cases that carry their label in `what`.
struct NameFromWhat {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return testName(info.param.what);
    }
};

}  // namespace tw_test
