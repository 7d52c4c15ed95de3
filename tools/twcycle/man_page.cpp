#include "man_page.h"

#include <cctype>
#include <cstddef>
#include <sstream>
#include <vector>

#include "drill/drill_options.h"
#include "host_options.h"

namespace twcycle {

namespace {

// Text as roff prints it: '-' as a hyphen-minus (so that options can be
// copied from the page), a backslash as itself, and no line that starts with
// a control character.
std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\\') result += "\\e";
        else if (c == '-') result += "\\-";
        else result += c;
    }
    if (!result.empty() && (result[0] == '.' || result[0] == '\'')) result.insert(0, "\\&");
    return result;
}

std::size_t indentation(const std::string& line) {
    std::size_t count = 0;
    while (count < line.size() && line[count] == ' ') ++count;
    return count;
}

std::string trimmed(const std::string& line) {
    std::size_t end = line.size();
    while (end > 0 && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
    const std::size_t begin = indentation(line);
    return begin < end ? line.substr(begin, end - begin) : std::string();
}

// The columns of a list line, split at runs of two or more blanks.
std::vector<std::string> columns(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t gap = text.find("  ", start);
        if (gap == std::string::npos) gap = text.size();
        result.push_back(text.substr(start, gap - start));
        start = gap;
        while (start < text.size() && text[start] == ' ') ++start;
    }
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool isUsageLine(const std::vector<std::string>& lines, std::size_t index) {
    for (std::size_t i = index + 1; i-- > 0;) {
        if (lines[i].rfind("Usage:", 0) == 0) return true;
        if (trimmed(lines[i]).empty() || indentation(lines[i]) == 0) return false;
    }
    return false;
}

// "Algorithm names (parameter ...):" -> "ALGORITHM NAMES".
std::string headingTitle(const std::string& paragraph) {
    std::string title = paragraph.substr(0, paragraph.find_first_of("(,:"));
    while (!title.empty() && title.back() == ' ') title.pop_back();
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return title;
}

}  // namespace

std::string synopsisOf(const std::string& help) {
    const std::vector<std::string> lines = linesOf(help);
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!isUsageLine(lines, i)) continue;
        std::string text = trimmed(lines[i]);
        if (text.rfind("Usage:", 0) == 0) {
            text = trimmed(text.substr(6));
            result += ".br\n";
        }
        result += escaped(text) + "\n";
    }
    return result;
}

std::string helpToRoff(const std::string& help, const std::string& headingMacro) {
    const std::vector<std::string> lines = linesOf(help);
    std::string out;
    std::vector<std::string> paragraph;
    std::size_t listIndent = 0;  // 0: not inside a list

    const auto flushParagraph = [&](bool beforeList) {
        if (paragraph.empty()) return;
        std::string joined;
        for (const std::string& line : paragraph) joined += (joined.empty() ? "" : " ") + line;
        if (beforeList && joined.back() == ':') {
            const std::string title = headingTitle(joined);
            out += headingMacro + " " + escaped(title) + "\n";
            if (joined.size() > title.size() + 1) {
                out += ".PP\n";
                for (const std::string& line : paragraph) out += escaped(line) + "\n";
            }
        } else {
            out += ".PP\n";
            for (const std::string& line : paragraph) out += escaped(line) + "\n";
        }
        paragraph.clear();
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isUsageLine(lines, i)) continue;
        const std::string text = trimmed(lines[i]);
        const std::size_t indent = indentation(lines[i]);
        if (text.empty()) {
            flushParagraph(false);
            listIndent = 0;
        } else if (indent == 0) {
            listIndent = 0;
            paragraph.push_back(text);
        } else if (listIndent == 0 || indent <= listIndent) {
            flushParagraph(true);
            listIndent = indent;
            const std::vector<std::string> parts = columns(text);
            std::string term = parts.front();
            for (std::size_t k = 1; k + 1 < parts.size(); ++k) term += "  " + parts[k];
            out += ".TP\n\\fB" + escaped(term) + "\\fR\n";
            if (parts.size() > 1) out += escaped(parts.back()) + "\n";
        } else {
            out += escaped(text) + "\n";
        }
    }
    flushParagraph(false);
    return out;
}

std::string manPage(const std::string& version) {
    const std::string hostHelp = usageText("twcycle");
    const std::string drillHelp = drill::drillUsage();
    std::string page;
    page += ".\\\" Made by twcycle_manpage from the texts of twcycle --help and twcycle drill --help.\n";
    page += ".TH TWCYCLE 1 \"\" \"twPntOpt " + escaped(version) + "\" \"User Commands\"\n";
    page += ".SH NAME\ntwcycle \\- order drilling points for a short travel with the twPntOpt cycle module\n";
    page += ".SH SYNOPSIS\n.nf\n" + synopsisOf(hostHelp) + synopsisOf(drillHelp) + ".fi\n";
    page += ".SH DESCRIPTION\n";
    page += helpToRoff(hostHelp, ".SH");
    page += ".SH \"DRILL FILES\"\n";
    page += helpToRoff(drillHelp, ".SS");
    page +=
        ".SH FILES\n"
        ".TP\n\\fBtwPntOpt.def\\fR, \\fI<job>\\fR\\fB.pcf\\fR, \\fI<job>\\fR\\fB.CFG\\fR\n"
        "the settings of a job, read from the current directory\n"
        ".TP\n\\fBlibtwpntopt.so\\fR (\\fBtwPntOpt.dll\\fR on Windows)\n"
        "the cycle module; twcycle loads the one next to itself, else the one in the\n"
        "library folder of its installation (\\fB../lib\\fR from its own folder), unless\n"
        "\\fB\\-\\-module\\fR names another\n"
        ".TP\n\\fBshare/twpntopt/examples\\fR\n"
        "an example job (\\fBboard.pcf\\fR, \\fBboard.twx\\fR, \\fBtwPntOpt.def\\fR) and an Excellon\n"
        "drill file (\\fBboard.drl\\fR), beside the installation's \\fBbin\\fR folder\n";
    page +=
        ".SH EXAMPLES\n"
        "Run the example job in a folder of its own; the ordered geometry goes to\n"
        "\\fBboard_sorted.twx\\fR and a picture to \\fBboard.svg\\fR:\n"
        ".PP\n.nf\n.RS\n"
        "cp /usr/share/twpntopt/examples/* . && twcycle \\-\\-svg board.svg \\-Sboard\n"
        ".RE\n.fi\n"
        ".PP\n"
        "Order the holes of a drill file, writing \\fBboard_sorted.drl\\fR:\n"
        ".PP\n.nf\n.RS\n"
        "twcycle drill board.drl \\-o board_sorted.drl\n"
        ".RE\n.fi\n"
        ".PP\n"
        "Show the versions of twcycle and of the module it finds:\n"
        ".PP\n.nf\n.RS\n"
        "twcycle \\-\\-version\n"
        ".RE\n.fi\n";
    page += ".SH LICENSE\nMIT; see the file LICENSE of the distribution.\n";
    return page;
}

}  // namespace twcycle
