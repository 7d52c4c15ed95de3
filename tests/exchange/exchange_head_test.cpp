// The four-line head: banners, version lines, line ends, files without head,
// and the cut of overlong head lines.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "exchange/exchange_head.h"
#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::kHead;
using exchange_test::ExchangeScratch;
using exchange_test::tokensOfFile;

const std::string kBanner = "tarnWELL Data Exchange File, text edition 1993.";

TEST(ExchangeBanner, ExactAndLooseRules) {
    struct Case {
        std::string line;
        bool banner;
    };
    const std::vector<Case> cases = {
        {kBanner, true},
        {"TARNWELL data exchange file, version 2", true},
        {"tarnwell\tDATA exchange FILE", true},
        {"TARNWELLdataExchangeFile and more", true},
        {"TARNWELL DATA EXCHANGE FILE, text edition 1993.", true},
        {"TARNWELL-data-exchange-file", false},
        {"TARNWELLdataExchange", false},
        {"TARNWELL data exchange fil", false},
        // Only the first 28 characters count: the 'e' of "file" lies beyond.
        {"TARNWELL     data exchange fil e", false},
        {"tarnWELL Data Exchange File, text edition 1993", true},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isExchangeBanner(c.line), c.banner) << c.line;
}

TEST(ExchangeVersion, TwoNumbersAsScannedDecimals) {
    struct Case {
        std::string text;
        bool read;
        std::uint16_t major;
        std::uint16_t minor;
    };
    const std::vector<Case> cases = {
        {" 1.0", true, 1, 0},     {"1.0", true, 1, 0},          {" 0.7", true, 0, 7},
        {" 1. 0", true, 1, 0},    {" +2.-1", true, 2, 65535},   {" -1.0", true, 65535, 0},
        {" 65537.3", true, 1, 3}, {" 1", false, 0, 0},          {" 1 .0", false, 0, 0},
        {" a.b", false, 0, 0},    {" 1.x", false, 0, 0},        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        std::uint16_t major = 0;
        std::uint16_t minor = 0;
        EXPECT_EQ(readVersionNumbers(c.text, major, minor), c.read) << c.text;
        EXPECT_EQ(major, c.major) << c.text;
        EXPECT_EQ(minor, c.minor) << c.text;
    }
}

struct HeadCase {
    std::string content;
    std::vector<std::string> tokens;  // {"<refused>"} when the file is refused
    std::optional<std::string> typeLine;
    std::optional<std::string> titleLine;
    std::uint16_t major;
    std::uint16_t minor;
};

class ExchangeHead : public ExchangeScratch {};

TEST_F(ExchangeHead, VariantsAndVersions) {
    const std::string b = kBanner + "\n";
    const std::vector<HeadCase> cases = {
        {kHead + "va(1)\n", {"v:a[1]"}, "Geometry", "title", 1, 0},
        {b + "tWX-Version: 0.7\nG\nT\nva(1)", {"v:a[1]"}, "G", "T", 0, 7},
        {b + "tWX-Version: 1\nG\nT\nva(1)", {"v:a[1]"}, "G", "T", 0, 0},
        {b + "tWX-Version:1.0\nG\nT\nva(1)", {"v:a[1]"}, "G", "T", 1, 0},
        {b + "tWX-Version: 1.1\nG\nT\nva(1)", {"<refused>"}, std::nullopt, std::nullopt, 0, 0},
        {b + "tWX-Version: 2.0\nG\nT\nva(1)", {"<refused>"}, std::nullopt, std::nullopt, 0, 0},
        {b + "tWX-Version: -1.0\nG\nT\nva(1)", {"<refused>"}, std::nullopt, std::nullopt, 0, 0},
        // Without a version line the file is read from its banner on, which
        // is no valid item.
        {b + "twx-version: 1.0\nG\nT\nva(1)", {}, std::nullopt, std::nullopt, 0, 0},
        {b + "va(1)\nvb(2)\n", {}, std::nullopt, std::nullopt, 0, 0},
        {"TARNWELL-data-exchange-file\ntWX-Version: 1.0\nG\nT\n", {}, std::nullopt, std::nullopt, 0, 0},
        // The two lines after the version line are head text, whatever they hold.
        {b + "tWX-Version: 1.0\nva(1)\nvb(2)\nvc(3)\n", {"v:c[3]"}, "va(1)", "vb(2)", 1, 0},
        // Empty lines and leading blanks are skipped, trailing blanks removed.
        {"\n\n  " + kBanner + " \t\n\n\t tWX-Version: 1.0\n  Geometry \t\n \n  my title\t \nva(1)",
         {"v:a[1]"}, "Geometry", "my title", 1, 0},
        // The data ends before line 3: no head, read from the start.
        {b + "tWX-Version: 1.0\n", {}, std::nullopt, std::nullopt, 1, 0},
        {b + "tWX-Version: 1.0\nGeometry", {}, std::nullopt, std::nullopt, 1, 0},
        // The data ends inside line 4: accepted without title.
        {b + "tWX-Version: 1.0\nGeometry\ntitle", {}, "Geometry", std::nullopt, 1, 0},
        {b + "tWX-Version: 1.0\nGeometry\n\x1atitle\nva(1)\n", {}, "Geometry", std::nullopt, 1, 0},
        {b + "\x1atWX-Version: 1.0\nGeometry\ntitle\nva(1)\n", {}, std::nullopt, std::nullopt, 0, 0},
        {"", {}, std::nullopt, std::nullopt, 0, 0},
        {"vx(1)\noP()\n", {"v:x[1]", "o:P"}, std::nullopt, std::nullopt, 0, 0},
        {kHead, {}, "Geometry", "title", 1, 0},
    };
    for (const HeadCase& c : cases) {
        ExchangeHeader header;
        EXPECT_EQ(tokensOfFile("head.twx", c.content, &header), c.tokens) << c.content;
        if (c.tokens == std::vector<std::string>{"<refused>"}) continue;
        EXPECT_EQ(header.typeLine, c.typeLine) << c.content;
        EXPECT_EQ(header.titleLine, c.titleLine) << c.content;
        EXPECT_EQ(header.versionMajor, c.major) << c.content;
        EXPECT_EQ(header.versionMinor, c.minor) << c.content;
    }
}

TEST_F(ExchangeHead, LineEndConventionsReadAlike) {
    const std::string body = "oP[1]( x[1] )\n{\n  vx(1)\n}\n";
    const std::vector<std::string> expected = {"o:P[1](x=1)", "{:", "v:x[1]", "}:"};
    for (const std::string& lineEnd : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
        std::string content = kHead + body;
        std::string converted;
        for (char c : content) converted += c == '\n' ? lineEnd : std::string(1, c);
        ExchangeHeader header;
        EXPECT_EQ(tokensOfFile("ends.twx", converted, &header), expected);
        EXPECT_EQ(header.titleLine, "title");
    }
}

TEST_F(ExchangeHead, OverlongHeadLinesAreCut) {
    const std::string exact(kMaxHeadLineLength, 'a');
    ExchangeHeader header;
    EXPECT_EQ(tokensOfFile("long.twx", kBanner + "\ntWX-Version: 1.0\nG\n" + exact + "\nva(1)\n", &header),
              std::vector<std::string>{"v:a[1]"});
    EXPECT_EQ(header.titleLine, exact);

    EXPECT_EQ(tokensOfFile("long.twx", kBanner + "\ntWX-Version: 1.0\n" + exact + "bc \nT\nva(1)\n", &header),
              std::vector<std::string>{"v:a[1]"});
    EXPECT_EQ(header.typeLine, exact);

    // A banner line whose tail is cut still passes; the body after it reads.
    EXPECT_EQ(tokensOfFile("long.twx", kBanner + std::string(100000, ' ') + "x\ntWX-Version: 1.0\nG\nT\nva(1)\n",
                           &header),
              std::vector<std::string>{"v:a[1]"});
}

TEST_F(ExchangeHead, OpeningResetsTheHeader) {
    ExchangeHeader header;
    header.typeLine = "old";
    header.titleLine = "old";
    header.versionMajor = 9;
    header.versionMinor = 9;
    EXPECT_EQ(tokensOfFile("reset.twx", "vx(1)", &header), std::vector<std::string>{"v:x[1]"});
    EXPECT_FALSE(header.typeLine);
    EXPECT_FALSE(header.titleLine);
    EXPECT_EQ(header.versionMajor, 0);
    EXPECT_EQ(header.versionMinor, 0);
}

}  // namespace
}  // namespace tw
