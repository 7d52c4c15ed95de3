// Text files that the module writes in text mode end their lines with CR LF
// on Windows. Tests compare them with LF text: this turns every CR LF back
// into LF there. A lone LF stays as it is, so a file with mixed line ends
// still fails the comparison. Elsewhere the text is returned unchanged.
#pragma once

#include <string>

namespace tw::testing {

inline std::string withoutWindowsLineEnds(std::string text) {
#if defined(_WIN32)
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    return lines;
#else
    return text;
#endif
}

}  // namespace tw::testing
