// The walker: dispatch, numbering, dictionary scoping through the default
// handlers, handler results, long method bodies and nested walks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_reader.h"
#include "exchange/exchange_walker.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::describe;
using exchange_test::ExchangeScratch;

struct Log {
    std::vector<std::string> items;
    int calls = 0;
    int stopAt = -1;              // the call that returns `stopResult`
    std::int32_t stopResult = 0;
};

std::int32_t record(ExchangeToken& token, ValueDictionary*, void* context) {
    Log& log = *static_cast<Log*>(context);
    log.items.push_back(describe(token));
    return log.calls++ == log.stopAt ? log.stopResult : 1;
}

class Walker : public ExchangeScratch {
protected:
    // Walks `content` with "P" and "C" bound to the recording handler and the
    // default value and block handlers.
    std::int32_t walk(const std::string& content, ExchangeHeadCheck check = &acceptEveryHead) {
        writeFile("walk.twx", content);
        return walkExchangeFile("walk.twx", walker.get(), check);
    }

    void SetUp() override {
        ExchangeScratch::SetUp();
        ASSERT_NE(walker, nullptr);
        ASSERT_EQ(addObjectHandler(walker.get(), "P", &record), 1);
        ASSERT_EQ(addObjectHandler(walker.get(), "C", &record), 1);
    }

    Log log;
    std::unique_ptr<ExchangeWalker> walker = createExchangeWalker(&log, nullptr, nullptr, nullptr);
};

TEST_F(Walker, ObjectsWithoutIdAreNumbered) {
    struct Case {
        std::string content;
        std::vector<std::string> items;
    };
    const std::vector<Case> cases = {
        {"oP(x[1]) oP[9](x[2]) oP(x[3])", {"o:P[1](x=1)", "o:P[9](x=2)", "o:P[3](x=3)"}},
        {"oC() { oP(x[1]) oP(x[2]) } oP(x[3])", {"o:C[1]", "o:P[1](x=1)", "o:P[2](x=2)", "o:P[2](x=3)"}},
        {"vobjectCounter(10) oP(x[1])", {"o:P[10](x=1)"}},
        {"oP() { oP() { oP() } oP() } oP()", {"o:P[1]", "o:P[1]", "o:P[1]", "o:P[2]", "o:P[2]"}},
        {"oQ() oP() mM( x) oP()", {"o:P[2]", "o:P[3]"}},
    };
    for (const Case& c : cases) {
        log = Log{};
        std::unique_ptr<ExchangeWalker> fresh = createExchangeWalker(&log, nullptr, nullptr, nullptr);
        walker.swap(fresh);
        SetUp();
        EXPECT_EQ(walk(c.content), 1) << c.content;
        EXPECT_EQ(log.items, c.items) << c.content;
    }
}

TEST_F(Walker, MethodsAreNumberedFromTheirOwnCounter) {
    ASSERT_EQ(addMethodHandler(walker.get(), "M", &record), 1);
    EXPECT_EQ(walk("mM( a) oP() mM[7]( b) mN( c) mM( d) { mM( e) } mM( f)"), 1);
    EXPECT_EQ(log.items, (std::vector<std::string>{"m:M[1](= a)", "o:P[1]", "m:M[7](= b)", "m:M[4](= d)",
                                                   "m:M[1](= e)", "m:M[5](= f)"}));
}

TEST_F(Walker, DefaultHandlersKeepTheDictionaryInStep) {
    EXPECT_EQ(walk("va(1) { va(2) va(3) vb(4) } vempty() }"), 1);
    ValueDictionary& dictionary = walker->dictionary();
    EXPECT_EQ(getDictionaryValue(&dictionary, "a"), "1");
    EXPECT_EQ(getDictionaryValue(&dictionary, "b"), std::nullopt);
    EXPECT_EQ(getDictionaryValue(&dictionary, "empty"), std::nullopt);
    EXPECT_EQ(dictionary.depth(), 1);
}

// The dictionary keeps its contents between walks.
TEST_F(Walker, SecondWalkStartsWhereTheFirstEnded) {
    EXPECT_EQ(walk("va(1) oP() { vb(2)"), 1);
    EXPECT_EQ(walk("oP() vc(3) } oP()"), 1);
    EXPECT_EQ(log.items, (std::vector<std::string>{"o:P[1]", "o:P[1]", "o:P[2]"}));
    EXPECT_EQ(walker->dictionary().depth(), 1);
    EXPECT_EQ(getDictionaryValue(&walker->dictionary(), "b"), std::nullopt);
    EXPECT_EQ(getDictionaryValue(&walker->dictionary(), "a"), "1");
}

TEST_F(Walker, HandlerResultsEndTheWalk) {
    log.stopAt = 1;
    log.stopResult = 0;
    EXPECT_EQ(walk("oP() oUnbound() oP() oP()"), 0);
    EXPECT_EQ(log.items.size(), 2u);

    log = Log{};
    log.stopAt = 0;
    log.stopResult = 7;
    EXPECT_EQ(walk("oP() oP()"), 7);
    EXPECT_EQ(log.items.size(), 1u);
}

TEST_F(Walker, SyntaxErrorEndsTheWalkLikeTheEndOfData) {
    EXPECT_EQ(walk("oP(x[1]) oP(x[2]) oP(x[`]) oP(x[4])"), 1);
    EXPECT_EQ(log.items, (std::vector<std::string>{"o:P[1](x=1)", "o:P[2](x=2)"}));
}

std::int32_t refuseHead(const ExchangeHeader&) { return 5; }

TEST_F(Walker, HeadCheckAndOpeningFailures) {
    EXPECT_EQ(walk("oP()", &refuseHead), 5);
    EXPECT_EQ(walk("oP()", nullptr), 1);
    EXPECT_EQ(walk("tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.1\nG\nT\noP()"), 0);
    EXPECT_EQ(walkExchangeFile("missing.twx", walker.get(), &acceptEveryHead), 0);
    EXPECT_EQ(walkExchangeFile("walk.twx", nullptr, &acceptEveryHead), 0);
    EXPECT_EQ(log.items, std::vector<std::string>{"o:P[1]"});
}

TEST_F(Walker, BindingRules) {
    EXPECT_EQ(addObjectHandler(nullptr, "P", &record), 0);
    EXPECT_EQ(addObjectHandler(walker.get(), "", &record), 0);
    // Rebinding replaces; null binds the do-nothing handler.
    EXPECT_EQ(addObjectHandler(walker.get(), "C", nullptr), 1);
    EXPECT_EQ(walk("oC() oP() oc()"), 1);
    EXPECT_EQ(log.items, std::vector<std::string>{"o:P[2]"});
    destroyExchangeWalker(nullptr);
}

struct Body {
    std::string text;
};

// Reads a body left in the file from the stream, then empties the token: the
// walk must still go on after the item.
std::int32_t readBody(ExchangeToken& token, ValueDictionary*, void* context) {
    Body& body = *static_cast<Body*>(context);
    if (token.bodyFile != nullptr) {
        for (std::int64_t at = token.bodyStart; at < token.bodyEnd - 1; ++at) {
            body.text += static_cast<char>(std::fgetc(token.bodyFile));
        }
    } else if (!token.arguments.empty()) {
        body.text = *token.arguments[0].value;
    }
    clearExchangeToken(token);
    return 1;
}

TEST_F(Walker, LongBodyIsReadFromItsPositionAndTheWalkGoesOn) {
    Body body;
    std::unique_ptr<ExchangeWalker> bodyWalker = createExchangeWalker(&body, nullptr, nullptr, nullptr);
    ASSERT_EQ(addMethodHandler(bodyWalker.get(), "big", &readBody), 1);
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "line " + std::to_string(i) + "\n";
    writeFile("body.twx", exchange_test::kHead + "va(1)\nmbig(" + text + ")\nvb(2)\n");
    EXPECT_EQ(walkExchangeFile("body.twx", bodyWalker.get(), nullptr), 1);
    EXPECT_EQ(body.text, text);
    EXPECT_EQ(getDictionaryValue(&bodyWalker->dictionary(), "b"), "2");

    // A byte 26 inside the body ends the data there, also after the handler.
    body.text.clear();
    writeFile("body.twx", "mbig(" + text + "\x1a)vc(3)");
    EXPECT_EQ(walkExchangeFile("body.twx", bodyWalker.get(), nullptr), 1);
    EXPECT_EQ(body.text, text.substr(0, text.size() - 1));
    EXPECT_EQ(getDictionaryValue(&bodyWalker->dictionary(), "c"), std::nullopt);
}

struct Nested {
    ExchangeWalker* inner = nullptr;
    Log innerLog;
    std::vector<std::string> outer;
};

std::int32_t walkInner(ExchangeToken& token, ValueDictionary*, void* context) {
    Nested& nested = *static_cast<Nested*>(context);
    nested.outer.push_back(describe(token));
    // Another file, token by token and with another walker, in mid-walk.
    ExchangeHeader header;
    std::FILE* stream = openExchangeFile("inner.twx", header);
    ExchangeToken innerToken;
    if (readExchangeToken(stream, innerToken) == 1) nested.outer.push_back("inner " + describe(innerToken));
    clearExchangeToken(innerToken);
    closeExchangeFile(stream);
    return walkExchangeFile("inner.twx", nested.inner, nullptr);
}

TEST_F(Walker, HandlerMayWalkAnotherFile) {
    Nested nested;
    std::unique_ptr<ExchangeWalker> inner = createExchangeWalker(&nested.innerLog, nullptr, nullptr, nullptr);
    ASSERT_EQ(addObjectHandler(inner.get(), "Q", &record), 1);
    nested.inner = inner.get();
    std::unique_ptr<ExchangeWalker> outer = createExchangeWalker(&nested, nullptr, nullptr, nullptr);
    ASSERT_EQ(addObjectHandler(outer.get(), "P", &walkInner), 1);
    writeFile("inner.twx", "oQ(y[1]) oQ(y[2])");
    writeFile("outer.twx", "oP[a]( x[1] ) oP[b]( x[2] )");
    EXPECT_EQ(walkExchangeFile("outer.twx", outer.get(), nullptr), 1);
    EXPECT_EQ(nested.outer, (std::vector<std::string>{"o:P[a](x=1)", "inner o:Q(y=1)", "o:P[b](x=2)",
                                                      "inner o:Q(y=1)"}));
    EXPECT_EQ(nested.innerLog.items,
              (std::vector<std::string>{"o:Q[1](y=1)", "o:Q[2](y=2)", "o:Q[3](y=1)", "o:Q[4](y=2)"}));
}

// Deep nesting costs time in proportion to the input and no stack: opening
// beyond the depth limit is refused, closing below the top level ignored.
TEST_F(Walker, MillionLevelNesting) {
    const std::size_t levels = 1000000;
    writeFile("deep.twx", "va(1)\n" + std::string(levels, '{') + "va(2) vb(3) oP()" + std::string(levels, '}') +
                              "oP()");
    EXPECT_EQ(walkExchangeFile("deep.twx", walker.get(), nullptr), 1);
    EXPECT_EQ(walker->dictionary().depth(), 1);
    EXPECT_EQ(getDictionaryValue(&walker->dictionary(), "a"), "1");
    EXPECT_EQ(getDictionaryValue(&walker->dictionary(), "b"), std::nullopt);
    EXPECT_EQ(walker->dictionary().savedValueCount(), 0u);
    EXPECT_EQ(log.items, (std::vector<std::string>{"o:P[1]", "o:P[1]"}));
}

}  // namespace
}  // namespace tw
