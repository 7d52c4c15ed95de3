// Method items: bodies held in memory up to the limit and left in the file
// beyond it, and the trace line for method names followed by whitespace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::ExchangeScratch;
using exchange_test::tokensOfFile;

class ExchangeMethodBody : public ExchangeScratch {};

TEST_F(ExchangeMethodBody, HeldInMemoryUpToTheLimitAndByPositionBeyond) {
    const std::string prefix = "vx(1)\nmbig(";  // the body starts at position 11
    for (std::size_t length : {kMaxBodyInMemory - 1, kMaxBodyInMemory, kMaxBodyInMemory + 1, 3 * kMaxBodyInMemory}) {
        const std::string body(length, 'b');
        writeFile("body.twx", prefix + body + ")vy(2)");
        ExchangeHeader header;
        std::FILE* stream = openExchangeFile("body.twx", header);
        ASSERT_NE(stream, nullptr);
        ExchangeToken token;
        ASSERT_EQ(readExchangeToken(stream, token), 1);
        ASSERT_EQ(readExchangeToken(stream, token), 1);
        EXPECT_EQ(token.kind, 'm');
        EXPECT_EQ(token.name, "big");
        if (length <= kMaxBodyInMemory) {
            ASSERT_EQ(token.arguments.size(), 1u) << length;
            EXPECT_FALSE(token.arguments[0].name);
            EXPECT_EQ(token.arguments[0].value, body);
            EXPECT_EQ(token.bodyFile, nullptr);
            EXPECT_EQ(token.bodyStart, -1);
            EXPECT_EQ(token.bodyEnd, -1);
        } else {
            EXPECT_TRUE(token.arguments.empty()) << length;
            EXPECT_EQ(token.bodyFile, stream);
            EXPECT_EQ(token.bodyStart, static_cast<std::int64_t>(prefix.size()));
            EXPECT_EQ(token.bodyEnd, static_cast<std::int64_t>(prefix.size() + length + 1));
        }
        // Reading goes on after the body either way.
        ASSERT_EQ(readExchangeToken(stream, token), 1);
        EXPECT_EQ(exchange_test::describe(token), "v:y[2]");
        EXPECT_EQ(readExchangeToken(stream, token), 0);
        closeExchangeFile(stream);
    }
}

// Carriage returns are dropped from bodies and do not count towards the limit.
TEST_F(ExchangeMethodBody, CarriageReturnsDoNotCount) {
    std::string body;
    for (std::size_t i = 0; i < kMaxBodyInMemory; ++i) body += "\rb";
    const std::vector<std::string> tokens = tokensOfFile("cr.twx", "mcr(" + body + ")");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0], "m:cr(=" + std::string(kMaxBodyInMemory, 'b') + ")");
}

TEST_F(ExchangeMethodBody, LongBodyEnds) {
    const std::string body(kMaxBodyInMemory + 1, 'b');
    const std::size_t start = 5;  // after "mbig("
    // At the end of the data the end position is the end of the file.
    EXPECT_EQ(tokensOfFile("end.twx", "mbig(" + body),
              std::vector<std::string>{"m:big<5," + std::to_string(start + body.size()) + ">"});
    // At a byte 26 it is the position of that byte, so the data ends there.
    EXPECT_EQ(tokensOfFile("end.twx", "mbig(" + body + "\x1a)vx(1)"),
              std::vector<std::string>{"m:big<5," + std::to_string(start + body.size()) + ">"});
    // Line ends and blanks are skipped, forbidden characters still checked.
    EXPECT_EQ(tokensOfFile("end.twx", "mbig(" + body + "\r\n\t )"),
              std::vector<std::string>{"m:big<5," + std::to_string(start + body.size() + 5) + ">"});
    EXPECT_EQ(tokensOfFile("end.twx", "mbig(" + body + "(x)"), std::vector<std::string>{});
    EXPECT_EQ(tokensOfFile("end.twx", "mbig(" + body + "`)"), std::vector<std::string>{});
}

class ExchangeMethodTrace : public ExchangeScratch {};

TEST_F(ExchangeMethodTrace, NamesEndedByWhitespaceOrCommentAreAppended) {
    struct Case {
        std::string input;
        std::string trace;
    };
    const std::vector<Case> cases = {
        {"mtrace ( x)", " methode = 'trace'\n"},
        {"mtrace\n( x)", " methode = 'trace'\n"},
        {"mtrace;c\n( x)", " methode = 'trace'\n"},
        {"mtrace [1]( x)", " methode = 'trace'\n"},
        {"mtrace( x)", ""},
        {"mtrace[1] ( x)", ""},
        {"m trace( x)", ""},
        {"otrace ()", ""},
        {"ma ( x) mb ( x)", " methode = 'a'\n methode = 'b'\n"},
        // The name is traced as soon as it is complete, even if the item fails later.
        {"mbad (`)", " methode = 'bad'\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(kMethodTraceFile);
        tokensOfFile("trace.twx", c.input);
        EXPECT_EQ(readFile(kMethodTraceFile), c.trace) << c.input;
    }
}

TEST_F(ExchangeMethodTrace, AppendsToAnExistingTrace) {
    writeFile(kMethodTraceFile, "earlier\n");
    tokensOfFile("trace.twx", "mrun ( x)");
    EXPECT_EQ(readFile(kMethodTraceFile), "earlier\n methode = 'run'\n");
}

TEST_F(ExchangeMethodTrace, UnwritableTraceIsIgnored) {
    std::filesystem::create_directory(kMethodTraceFile);  // cannot be opened for appending
    EXPECT_EQ(tokensOfFile("trace.twx", "mrun ( x) va(1)"), (std::vector<std::string>{"m:run(= x)", "v:a[1]"}));
}

}  // namespace
}  // namespace tw
