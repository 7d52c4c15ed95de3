// The help texts as man macros: what becomes a heading, a tagged paragraph
// or plain text, and that nothing reaches roff as a control line.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "twcycle/man_page.h"

namespace {

TEST(ManPage, HelpTextsBecomeMacros) {
    struct Case {
        const char* label;
        std::string help, expected;
    };
    const Case cases[] = {
        {"usage lines are left out", "Usage: p [-x]\n       p drill IN\nRuns p.\n", ".PP\nRuns p.\n"},
        {"short heading", "Options:\n  -x    the x\n", ".SH OPTIONS\n.TP\n\\fB\\-x\\fR\nthe x\n"},
        {"long heading keeps its text", "Names (case-sensitive):\n  a  first\n",
         ".SH NAMES\n.PP\nNames (case\\-sensitive):\n.TP\n\\fBa\\fR\nfirst\n"},
        {"continuation lines", "Exit status:\n  0  ran,\n     read back\n  1  refused\n",
         ".SH EXIT STATUS\n.TP\n\\fB0\\fR\nran,\nread back\n.TP\n\\fB1\\fR\nrefused\n"},
        {"three columns", "P:\n  name   -   what\n", ".SH P\n.TP\n\\fBname  \\-\\fR\nwhat\n"},
        {"a term alone", "P:\n  --alone\n", ".SH P\n.TP\n\\fB\\-\\-alone\\fR\n"},
        {"text after a list", "P:\n  a  b\nWhen so.\n", ".SH P\n.TP\n\\fBa\\fR\nb\n.PP\nWhen so.\n"},
        {"colon without a list is text", "Note:\n\nMore.\n", ".PP\nNote:\n.PP\nMore.\n"},
        {"control characters and backslashes", ".cfg files\n'quoted' a\\b\n", ".PP\n\\&.cfg files\n\\&'quoted' a\\eb\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(twcycle::helpToRoff(c.help, ".SH"), c.expected) << c.label;
}

TEST(ManPage, SynopsisHasOneLinePerUsage) {
    EXPECT_EQ(twcycle::synopsisOf("Usage: p [-x]\n       p drill\n\nOther.\n"), ".br\np [\\-x]\np drill\n");
    EXPECT_EQ(twcycle::synopsisOf("No usage here.\n"), "");
}

TEST(ManPage, WholePageHasEveryPart) {
    const std::string page = twcycle::manPage("9.50");
    for (const char* part : {".TH TWCYCLE 1", ".SH NAME", ".SH SYNOPSIS", ".SH OPTIONS", ".SH \"DRILL FILES\"",
                             ".SH EXIT STATUS", ".SH EXAMPLES", "twPntOpt 9.50"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
    // No line of text may start a request by accident.
    std::size_t start = 0;
    while (start < page.size()) {
        const std::size_t end = page.find('\n', start);
        const std::string line = page.substr(start, end - start);
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            EXPECT_TRUE(line.size() >= 2 && (std::isupper(static_cast<unsigned char>(line[1])) || line[1] == '\\' ||
                                             line.rfind(".br", 0) == 0 || line.rfind(".nf", 0) == 0 ||
                                             line.rfind(".fi", 0) == 0))
                << line;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

}  // namespace
