// The body reader: items, escapes, comments, ids, arguments, methods and the
// end of the data, each case a headless file read to its end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::describe;
using exchange_test::ExchangeScratch;
using exchange_test::tokensOfFile;

struct BodyCase {
    std::string input;
    std::vector<std::string> tokens;
};

class ExchangeReaderBody : public ExchangeScratch {
protected:
    void expectCases(const std::vector<BodyCase>& cases) {
        for (const BodyCase& c : cases) {
            EXPECT_EQ(tokensOfFile("body.twx", c.input), c.tokens) << "input: " << c.input;
        }
    }
};

TEST_F(ExchangeReaderBody, ValueTexts) {
    expectCases({
        {"vx(1) oP(x[2])", {"v:x[1]", "o:P(x=2)"}},
        {"vname( a b )", {"v:name[a b]"}},
        {"vname(\\065\\066)", {"v:name[AB]"}},
        {"vname(a\\)b)", {"v:name[a)b]"}},
        {"vname(\\12x)", {"v:name[\x0Cx]"}},
        {"vname(\\1234)", {"v:name[{4]"}},
        {"vname(\\999)", {"v:name[\xE7]"}},
        {"vname(\\200)", {"v:name[\xC8]"}},
        {"v  name(1)", {"v:name[1]"}},
        {"v\nname\n(1)", {"v:name[1]"}},
        {"va.b(1)", {"v:a.b[1]"}},
        {"vname()", {"v:name"}},
        {"vname(  )", {"v:name"}},
        {"vname(\n\n 1)", {"v:name[1]"}},
        {"vname(\\ \\\n a)", {"v:name[a]"}},
        {"vname(a\\\nb)", {"v:name[a\nb]"}},
        {"vname(a\\ )", {"v:name[a]"}},
        {"vname(a\tb\t)", {"v:name[a\tb\t]"}},
        {"vname(a (b) c)", {"v:name[a (b]"}},
        {"vname(a;b)", {"v:name[a;b]"}},
        {"vname(a\\`b\\[c\\]\\\\)", {"v:name[a`b[c]\\]"}},
        {"vname(abc\n)", {"v:name[abc]"}},
        {"vname(abc\rdef)", {"v:name[abc]"}},
        {"vname(abc\nvnext(2)", {"v:name[abc]", "v:next[2]"}},
    });
}

TEST_F(ExchangeReaderBody, ValueSyntaxErrors) {
    expectCases({
        {"v(1)", {}},
        {"v;c\nname(1)", {}},
        {"vna!me(1)", {}},
        {"vname(a`b)", {}},
        {"vname(a[b)", {}},
        {"vname(a]b)", {}},
        {"vname(a\xC8)", {}},
        {"vname(a\x01)", {}},
        {"vname x(1)", {}},
        {"Vname(1)", {}},
    });
}

TEST_F(ExchangeReaderBody, EndOfDataInsideValues) {
    expectCases({
        {"vx(", {}},
        {"vx(1", {"v:x[1]"}},
        {"vx(\\", {}},
        {"vx(a\\", {"v:x[a]"}},
        {"vx(\\65", {"v:x[A]"}},
        {"vx", {}},
        {"vx ", {}},
    });
}

// An escaped NUL ends what the text keeps; blanks before it are removed as
// at any end of a text.
TEST_F(ExchangeReaderBody, EscapedNulCutsTheText) {
    expectCases({
        {"vx(ab\\000cd)", {"v:x[ab]"}},
        {"vx(a \\0 b)", {"v:x[a]"}},
        {"vx(\\000)", {"v:x[]"}},
        {"vx(a\\0) vy(2)", {"v:x[a]", "v:y[2]"}},
    });
}

TEST_F(ExchangeReaderBody, ObjectsAndIds) {
    expectCases({
        {"oP[7]( x[1.5] y[2] )", {"o:P[7](x=1.5,y=2)"}},
        {"oP[ 1 2 ]( x[ 5 ] )", {"o:P[1 2](x=5)"}},
        {"oP[\t1\t2\t]()", {"o:P[1 2]"}},
        {"oP[a  ]()", {"o:P[a]"}},
        {"oP[](x[])", {"o:P(x)"}},
        {"oP[1\n(x[1])", {"o:P[1](x=1)"}},
        {"oP[1]\n\n(x[1])", {"o:P[1](x=1)"}},
        {"o P()", {"o:P"}},
        {"oP ()", {"o:P"}},
        {"oP(x[1] x[2])", {"o:P(x=1,x=2)"}},
        {"oP(x [1])", {"o:P(x=1)"}},
        {"oP(x\n\n[1])", {"o:P(x=1)"}},
        {"oP(x[\n 1])", {"o:P(x=1)"}},
        {"oP(x[1\n)", {"o:P(x=1)"}},
        {"oP(x[ \t1 \t])", {"o:P(x=1)"}},
        {"oP(x[a\\b])", {"o:P(x=a\\b)"}},
        {"oP(x[(1);])", {"o:P(x=(1);)"}},
        {"oP(x[1])oQ()", {"o:P(x=1)", "o:Q"}},
        {"o#$%&-@\\_z()", {"o:#$%&-@\\_z"}},
    });
}

TEST_F(ExchangeReaderBody, VerbatimArgumentT) {
    expectCases({
        {"oT( t[ a b ] )", {"o:T(t= a b )"}},
        {"oT(t[ ])", {"o:T(t= )"}},
        {"oT(t[\t])", {"o:T(t=\t)"}},
        {"oT(t[])", {"o:T(t)"}},
        {"oT(t[\n)", {"o:T(t)"}},
        {"oT(tt[ a ])", {"o:T(tt=a)"}},
        {"oT(T[ a ])", {"o:T(T=a)"}},
    });
}

TEST_F(ExchangeReaderBody, ObjectSyntaxErrors) {
    expectCases({
        {"o(x[1])", {}},
        {"o[1]()", {}},
        {"o;c\nP()", {}},
        {"oa.b()", {}},
        {"oP[1;2]()", {}},
        {"oP[1] x", {}},
        {"oP(x;c\n[1])", {}},
        {"oP(!x[1])", {}},
        {"oP(x[1] ])", {}},
        {"oP(x[1] [)", {}},
        {"oP(x[1] ()", {}},
        {"oP(x[a[b])", {}},
        {"oP(x[a`b])", {}},
        {"oP(x[a\xC8])", {}},
        {"oP(x!y[1])", {}},
        {"oP[3](x[1]", {}},
        {"oP(x[1", {}},
        {"oP[3", {}},
        {"Op()", {}},
    });
}

// Comments may stand after a name (ending it), between a name and '[' or
// '(', after an id, before an argument name and between an argument name
// ended by whitespace and its '['.
TEST_F(ExchangeReaderBody, CommentsAtAllowedPlaces) {
    expectCases({
        {"; c\nvx(1)", {"v:x[1]"}},
        {"vx;c\n(1)", {"v:x[1]"}},
        {"vx ;c\n;d\n(1)", {"v:x[1]"}},
        {"oP;c\n[3];d\n(;e\nx ;f\n[1];g\n)", {"o:P[3](x=1)"}},
        {"oP[3] ;c\n (x[1])", {"o:P[3](x=1)"}},
        {"vx(1;2)", {"v:x[1;2]"}},
        {"oP(x[1;2])", {"o:P(x=1;2)"}},
        {"vx(1) ; trailing comment", {"v:x[1]"}},
        {"; only a comment", {}},
        {" \t\r\n\r\n", {}},
        {"", {}},
        {"vx;c", {}},
        {"oP(;c", {}},
    });
}

TEST_F(ExchangeReaderBody, Methods) {
    expectCases({
        {"mdo[a]( body )", {"m:do[a](= body )"}},
        {"mrun[a b]( some text )", {"m:run[ab](= some text )"}},
        {"mrun[\ta\tb ]( x)", {"m:run[ab](= x)"}},
        {"mrun[]( x)", {"m:run(= x)"}},
        {"mrun()x)", {"m:run(=x)"}},
        {"mrun(\r)\r\nx)", {"m:run(=\nx)"}},
        {"mrun(a\r\nb)", {"m:run(=a\nb)"}},
        {"mrun(a;b\\c)", {"m:run(=a;b\\c)"}},
        {"mrun(a", {"m:run(=a)"}},
        {"mrun(", {}},
        {"mrun(a(b)", {}},
        {"mrun(a`b)", {}},
        {"mrun(a\x01)", {}},
        {"m;c\nrun( x)", {}},
        {"mrun[a;b]( x)", {}},
    });
}

TEST_F(ExchangeReaderBody, BlocksAndItemStarts) {
    expectCases({
        {"{ }", {"{:", "}:"}},
        {"{}{", {"{:", "}:", "{:"}},
        {"{x", {"{:"}},
        {"}}", {"}:", "}:"}},
        {"M(1)", {}},
        {"(", {}},
        {"\x01vx(1)", {}},
        {"\xC8vx(1)", {}},
        {"vx(1)\xC8", {"v:x[1]"}},
    });
}

TEST_F(ExchangeReaderBody, CtrlZEndsTheData) {
    expectCases({
        {"vx(1)\x1avy(2)", {"v:x[1]"}},
        {"vx(1\x1a)vy(2)", {"v:x[1]"}},
        {"vx(\x1a" "1)", {}},
        {"; comment\x1avx(1)", {}},
        {"oP(x[1]\x1a)", {}},
    });
}

TEST_F(ExchangeReaderBody, SyntaxErrorAfterTwoGoodTokens) {
    writeFile("error.twx", "va(1) vb(2) vc(3` vd(4)");
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile("error.twx", header);
    ASSERT_NE(stream, nullptr);
    ExchangeToken token;
    ASSERT_EQ(readExchangeToken(stream, token), 1);
    EXPECT_EQ(describe(token), "v:a[1]");
    ASSERT_EQ(readExchangeToken(stream, token), 1);
    EXPECT_EQ(describe(token), "v:b[2]");
    EXPECT_EQ(readExchangeToken(stream, token), 0);
    EXPECT_EQ(describe(token), ":");
    // The stream stays just after the character that caused the error.
    EXPECT_EQ(std::ftell(stream), 17);
    closeExchangeFile(stream);
}

TEST(ExchangeReaderArguments, NullStreamGivesNothingAndClearsTheToken) {
    ExchangeToken token;
    token.kind = 'v';
    token.name = "x";
    EXPECT_EQ(readExchangeToken(nullptr, token), 0);
    EXPECT_EQ(token.kind, 0);
    EXPECT_FALSE(token.name);
}

TEST(ExchangeReaderArguments, ClearResetsEveryFieldButLeavesTheStreamOpen) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ExchangeToken token;
    token.kind = 'm';
    token.name = "n";
    token.text = "t";
    token.arguments.push_back({std::string("a"), std::string("b")});
    token.bodyFile = stream;
    token.bodyStart = 3;
    token.bodyEnd = 9;
    clearExchangeToken(token);
    EXPECT_EQ(describe(token), ":");
    EXPECT_EQ(token.bodyStart, -1);
    EXPECT_EQ(token.bodyEnd, -1);
    EXPECT_EQ(std::fputc('x', stream), 'x');
    std::fclose(stream);
}

}  // namespace
}  // namespace tw
