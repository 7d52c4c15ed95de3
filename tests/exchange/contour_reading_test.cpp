// The one contour reader: which points belong to which contour, where a
// contour ends, how coordinates carry, and what the walk returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/contour_reading.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::ExchangeScratch;

// Writes every call down as one short line.
class Recorder : public ContourVisitor {
public:
    std::vector<std::string> calls;

    void value(const std::string& name, const std::string& text, const ContourNesting& where) override {
        calls.push_back("value " + name + "=" + text + (where.inBody() ? " in body" : ""));
    }
    void contourHeader(ExchangeToken& token) override { calls.push_back("contour " + token.text.value_or("-")); }
    void point(ExchangeToken& token, const CoordinateCarry& carry) override {
        calls.push_back("point " + token.text.value_or("-") + " " + carry.text(0) + "|" + carry.text(1) + "|" +
                        carry.text(2) + " " + std::to_string(carry.value(0) + carry.value(1)));
    }
    void contourEnd(const ValueDictionary& dictionary) override {
        calls.push_back("end, a=" + getDictionaryValue(&dictionary, "a").value_or("none"));
    }
};

class ContourReading : public ExchangeScratch {};

TEST_F(ContourReading, PointsEndsAndCarriedCoordinates) {
    writeFile("in.twx", exchange_test::kHead +
                            "oP[before]( x[9] )\n"            // no contour yet: carries, not given
                            "oContour[C1]( )\n{\n"
                            "  va(1)\n"
                            "  oP[p1]( x[1.5] y[2/7] )\n"
                            "  oGroup( )\n  {\n    oP[deep]( y[4] z[3] )\n  }\n"  // nested: carries only
                            "  oP[p2]( x[2] )\n"
                            "}\n"
                            "oContour[empty]( )\n{\n}\n"
                            "oOther( )\n{\n  oP[later]( )\n}\n"  // a later body counts again
                            "vb(2)\n");
    Recorder recorder;
    EXPECT_EQ(readContours("in.twx", recorder, acceptEveryHead), 1);
    const std::vector<std::string> expected = {
        "contour C1",
        "value a=1 in body",
        "point p1 1.5|2|0 3.500000",
        "point p2 2|4|3 6.000000",
        "end, a=1",
        "contour empty",
        "end, a=none",
        "point later 2|4|3 6.000000",
        "end, a=none",
        "value b=2",
    };
    EXPECT_EQ(recorder.calls, expected);
}

std::int32_t refuseEveryHead(const ExchangeHeader&) { return 7; }

TEST_F(ContourReading, WhatTheWalkReturns) {
    Recorder recorder;
    EXPECT_EQ(readContours("missing.twx", recorder, acceptEveryHead), 0);
    writeFile("in.twx", exchange_test::kHead + "oContour[C]( )\n{\n  oP( x[1] )\n}\n");
    EXPECT_EQ(readContours("in.twx", recorder, refuseEveryHead), 7);
    EXPECT_TRUE(recorder.calls.empty());
    // A null head check passes every head.
    EXPECT_EQ(readContours("in.twx", recorder, nullptr), 1);
    EXPECT_EQ(recorder.calls.size(), 3u);
}

}  // namespace
}  // namespace tw
