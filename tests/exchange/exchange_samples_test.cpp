// Sample files in tests/data/exchange read to their end.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::readAllTokens;

struct SampleCase {
    const char* file;
    std::vector<std::string> tokens;  // {"<refused>"} when the file is refused
    std::optional<std::string> titleLine;
};

const std::vector<std::string> kSampleTokens = {
    "v:precision[3]",      "o:Contour[HOLES](cmnt=first row)",    "{:",
    "v:startX[0.000]",     "v:startY[0.000]",                     "o:P[1](x=10.500,y=20.000,z=0.000)",
    "o:P[2](x=30.000,y=20.000,z=0.000)", "}:"};

class ExchangeSamples : public exchange_test::ExchangeScratch {};

TEST_F(ExchangeSamples, ReadToTheEnd) {
    const std::vector<SampleCase> cases = {
        {"sample.twx", kSampleTokens, "sample title"},
        {"sample_crlf.twx", kSampleTokens, "sample title"},
        {"sample_cr.twx", kSampleTokens, "sample title"},
        {"headless.twx", {"v:precision[3]", "o:Contour", "{:", "o:P(x=1,y=2)", "}:"}, std::nullopt},
        {"banner_loose.twx", {"v:a[1]"}, "loose banner"},
        {"banner_only.twx", {}, std::nullopt},
        {"version_1_1.twx", {"<refused>"}, std::nullopt},
        {"version_2_0.twx", {"<refused>"}, std::nullopt},
        {"version_single.twx", {"v:a[1]"}, "t"},
        {"swallowed_lines.twx", {"v:c[3]"}, "vb(2)"},
        {"comments.twx", {"v:name[1]", "o:P[7](x=1,y=2)", "m:run[ab](= body )"}, "sample title"},
        {"syntax_error_third.twx", {"v:a[1]", "o:P[1](x=1)"}, "sample title"},
        {"ctrl_z.twx", {"v:a[1]"}, "sample title"},
        {"methods.twx", {"m:do[a](= body )", "m:run[ab](= some text )", "m:two(=\nline one\nline two\n)"}, "sample title"},
    };
    for (const SampleCase& c : cases) {
        const std::string path = std::string(TW_TEST_DATA_DIR) + "/exchange/" + c.file;
        ExchangeHeader header;
        std::FILE* stream = openExchangeFile(path, header);
        if (stream == nullptr) {
            EXPECT_EQ(c.tokens, std::vector<std::string>{"<refused>"}) << c.file;
            continue;
        }
        EXPECT_EQ(readAllTokens(stream), c.tokens) << c.file;
        EXPECT_EQ(header.titleLine, c.titleLine) << c.file;
        closeExchangeFile(stream);
    }
    EXPECT_EQ(readFile(kMethodTraceFile), " methode = 'run'\n");
}

}  // namespace
}  // namespace tw
