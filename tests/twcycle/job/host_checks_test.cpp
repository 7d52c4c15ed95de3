// The parts of the host's checks that a run through the program reaches
// only in part: value texts, parameter lines, places, algorithm names, the
// contour comparison and the progress line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "optimizer/optimize_codes.h"
#include "twcycle/algorithm_guide.h"
#include "twcycle/job/findings.h"
#include "twcycle/job/job_checks.h"
#include "twcycle/job/number_checks.h"
#include "twcycle/job/placed_parameters.h"
#include "twcycle/report/progress.h"
#include "twcycle/switch_runs.h"

namespace {

using twcycle::NumberForm;

struct NumberCase {
    const char* text;
    NumberForm form;
    double value;
};

TEST(HostNumbers, HowMuchOfATextIsANumber) {
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {"12.5", NumberForm::Exact, 12.5},     {"-0.25", NumberForm::Exact, -0.25},
        {"+3", NumberForm::Exact, 3},          {"1e3", NumberForm::Exact, 1000},
        {"12,5", NumberForm::Partial, 12},     {"12mm", NumberForm::Partial, 12},
        {"12.5.3", NumberForm::Partial, 12.5}, {"abc", NumberForm::NoNumber, 0},
        {"", NumberForm::NoNumber, 0},         {"1e400", NumberForm::Overflow, inf},
        {"-1e400", NumberForm::Overflow, -inf}, {"1e-400", NumberForm::Underflow, 0},
        {"1e400mm", NumberForm::Partial, inf}, {"inf", NumberForm::NotFinite, inf},
    };
    for (const NumberCase& test : cases) {
        SCOPED_TRACE(test.text);
        const twcycle::NumberReading reading = twcycle::readNumber(test.text);
        EXPECT_EQ(reading.form, test.form);
        EXPECT_EQ(reading.value, test.value);
    }
    EXPECT_EQ(twcycle::misreadText("12.5.3", twcycle::readNumber("12.5.3")),
              "is read as 12.5: \".3\" is no part of a number (the decimal point is '.')");
}

TEST(HostNumbers, WhatTheOutputCannotHold) {
    using twcycle::WriteForm;
    EXPECT_EQ(twcycle::writeForm(123456.789, 3), WriteForm::Fine);
    // 2^53 / 10^3 is about 9.007e12.
    EXPECT_EQ(twcycle::writeForm(9.0e12, 3), WriteForm::Fine);
    EXPECT_EQ(twcycle::writeForm(9.1e12, 3), WriteForm::DigitsLost);
    EXPECT_EQ(twcycle::writeForm(-9.1e12, 3), WriteForm::DigitsLost);
    EXPECT_EQ(twcycle::writeForm(9.1e12, 1), WriteForm::Fine);
    EXPECT_EQ(twcycle::writeForm(1e300, 1), WriteForm::NotWritable);
    EXPECT_EQ(twcycle::writeForm(std::nan(""), 6), WriteForm::NotWritable);
    EXPECT_EQ(twcycle::writtenText(0.125, 2), "0.13");
    // Asking for a text leaves the host's own precision as it was.
    EXPECT_EQ(twcycle::writtenText(0.1234567, 6), "0.123457");
}

TEST(HostNumbers, PlacesOfAPrecisionText) {
    const std::pair<const char*, unsigned> cases[] = {{"3", 3}, {"20", 8}, {"0", 1}, {"abc", 1},
                                                      {"-1", 8}, {"3.5", 3}, {"8", 8}};
    for (const auto& [text, places] : cases) {
        const std::string value = text;
        EXPECT_EQ(twcycle::outputPlaces(&value), places) << text;
    }
    EXPECT_EQ(twcycle::outputPlaces(nullptr), 6u);
}

struct LineCase {
    const char* line;
    const char* dropped;
    std::size_t valueOffset;  // 0: none found
};

TEST(HostParameterLines, WordsTheModuleDrops) {
    const LineCase cases[] = {
        {"geoSource := my board.twx", "board.twx", 13},
        {"geoSource := my board.twx   ", "board.twx", 13},
        {"geoSource := \"my board.twx\"", "", 13},
        {"geoSource := \"my board.twx\" extra", "extra", 13},
        {"x := 1 ; comment", "", 5},
        {"x := 1;comment", "", 5},
        {"x := 1 > ", "", 5},
        {"x := abc>def", "def", 5},
        {"\"tool name\" := a b", "b", 15},
        {"; x := a b", "", 0},
        {"x : = a b", "", 0},
        {"x :=", "", 0},
        {"  x:=a\tb", "b", 5},
    };
    for (const LineCase& test : cases) {
        SCOPED_TRACE(test.line);
        std::size_t offset = 0;
        EXPECT_EQ(twcycle::droppedWords(test.line, offset), test.dropped);
        EXPECT_EQ(offset, test.valueOffset);
    }
}

TEST(HostParameterLines, PlacesCountLinesAsEditorsDo) {
    const std::string text = "ab\ncd\r\nef\rgh";
    const std::pair<std::size_t, std::pair<int, int>> cases[] = {
        {0, {1, 1}}, {1, {1, 2}}, {3, {2, 1}}, {7, {3, 1}}, {10, {4, 1}}, {99, {4, 3}}};
    for (const auto& [offset, place] : cases) {
        const twcycle::FilePlace found = twcycle::placeOf("f", text, offset);
        EXPECT_EQ(found.line, place.first) << offset;
        EXPECT_EQ(found.column, place.second) << offset;
    }
}

TEST(HostFindings, LinesAndStatus) {
    twcycle::Findings findings;
    findings.note({}, "plain note");
    findings.warn({"job.pcf", 3, 14}, "a warning");
    EXPECT_EQ(findings.exitStatus(false), 0);
    EXPECT_EQ(findings.exitStatus(true), 7);
    findings.error(6, {"a.twx", 2}, "lost");
    findings.error(5, {}, "missing");
    EXPECT_EQ(findings.exitStatus(false), 6);  // the first error counts
    const std::vector<std::string> lines = {
        "twcycle: plain note", "twcycle: job.pcf:3:14: warning: a warning", "twcycle: a.twx:2: error: lost",
        "twcycle: missing"};
    ASSERT_EQ(findings.all().size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(twcycle::findingLine(findings.all()[i]), lines[i]);
}

TEST(HostAlgorithms, EveryNameOfTheModuleIsListed) {
    const std::string list = twcycle::algorithmListText();
    for (const tw::AlgorithmName& entry : tw::kAlgorithmNames) {
        EXPECT_NE(list.find("  " + std::string(entry.name) + " "), std::string::npos) << entry.name;
        EXPECT_TRUE(twcycle::isAlgorithmName(entry.name));
    }
    EXPECT_NE(list.find("nearestDirCross"), std::string::npos);
    EXPECT_NE(list.find("[default]"), std::string::npos);
    EXPECT_FALSE(twcycle::isAlgorithmName("Nearest"));
    EXPECT_EQ(twcycle::algorithmName(tw::kDefaultAlgorithm), "nearestDirCross");
    EXPECT_EQ(twcycle::algorithmName(4), std::nullopt);
}

TEST(HostAlgorithms, NearestNamesOfAnUnknownOne) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(twcycle::nearestAlgorithmNames("Nearest"), Names({"nearest"}));
    EXPECT_EQ(twcycle::nearestAlgorithmNames("EXTENDEDB"), Names({"extendedB"}));
    EXPECT_EQ(twcycle::nearestAlgorithmNames("extendedC"), Names({"extendedA", "extendedB"}));
    EXPECT_EQ(twcycle::nearestAlgorithmNames("nearestDirCros").front(), "nearestDirCross");
    EXPECT_EQ(twcycle::nearestAlgorithmNames("inserting", 1), Names({"insert"}));
}

struct CompareCase {
    const char* label;
    std::vector<twcycle::SourceContour> source;
    std::vector<std::vector<twcycle::PlanePoint>> written;
    std::vector<std::string> errors;
};

TEST(HostComparison, PointsReadAgainstPointsWritten) {
    using twcycle::PlanePoint;
    const std::vector<PlanePoint> two = {{1.0004, 2}, {3, 4}};
    const CompareCase cases[] = {
        // Order does not matter; the output holds the values at 3 places.
        {"same points reordered", {{"A", two}}, {{{3, 4}, {1, 2}}}, {}},
        {"a point moved", {{"A", two}}, {{{3, 4}, {1, 2.5}}},
         {"contour 1 \"A\": 1 written points are not the points read (the first is (1, 2.5))"}},
        {"a point missing", {{"A", two}}, {{{3, 4}}}, {"contour 1 \"A\": the module read 2 points and wrote 1"}},
        {"a contour missing", {{"A", two}, {"", {{5, 5}}}}, {{{1, 2}, {3, 4}}},
         {"contour 2 (no name) (1 points) was read but not written"}},
        {"a contour too many", {{"A", two}}, {{{1, 2}, {3, 4}}, {{9, 9}}},
         {"contour 2 \"K\" was written but not read from the source"}},
    };
    for (const CompareCase& test : cases) {
        SCOPED_TRACE(test.label);
        std::vector<twcycle::ResultContour> results;
        for (std::size_t i = 0; i < test.written.size(); ++i) {
            twcycle::ResultContour contour;
            contour.name = i < test.source.size() ? test.source[i].name : "K";
            contour.points = test.written[i];
            results.push_back(contour);
        }
        twcycle::Findings findings;
        twcycle::compareWithSource(test.source, results, 3, "out.twx", findings);
        std::vector<std::string> texts;
        for (const twcycle::Finding& finding : findings.all()) {
            EXPECT_EQ(finding.severity, twcycle::Severity::Error);
            EXPECT_EQ(finding.status, 6);
            EXPECT_EQ(finding.place.file, "out.twx");
            texts.push_back(finding.text);
        }
        EXPECT_EQ(texts, test.errors);
    }
}

TEST(HostProgress, CountsThePointsOfOrderedContours) {
    twcycle::ContourHeadCounter counter;
    const std::string path = testing::TempDir() + "twcycle-progress-points.twx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("oContour[A-Path]( )\n{\n oM( x[/0] y[/0] )\n oL( x[/1] )\n}\n"
               "oContour[A]( cmnt[N=2;L=1] )\n{\n  vstartX(0)\n  oP[1]( x[1] )\n  oP( x[2] )\n}\n"
               "oContour[B]( cmnt[N=3;L=1] )\n{\n  oP( x[1] )\n  oPoint( x[1] )\n",
               file);
    std::fclose(file);
    counter.poll(path);
    std::remove(path.c_str());
    EXPECT_EQ(counter.count(), 2u);
    EXPECT_EQ(counter.points(), 3u);
    EXPECT_EQ(counter.pointsInLast(), 1u);
    const std::vector<twcycle::PlannedContour> plan = {{"A", 2}, {"B", 3}, {"", 5}};
    EXPECT_EQ(twcycle::plannedProgressLine(plan, counter, 2.04),
              "contour 2/3 \"B\" (3 points), 30 % of the points written, 2.0 s");
    EXPECT_EQ(twcycle::plannedProgressLine(plan, twcycle::ContourHeadCounter(), 0.5),
              "contour 1/3 \"A\" (2 points), 0 % of the points written, 0.5 s");
}

struct SwitchCase {
    std::vector<std::string> arguments;
    const char* expected;  // the switches given: V ? P A Y D
};

std::string switchLetters(const twcycle::SwitchSet& set) {
    std::string letters;
    if (set.version) letters += 'V';
    if (set.query) letters += '?';
    if (set.parameters) letters += 'P';
    if (set.algorithm) letters += 'A';
    if (set.layers) letters += 'Y';
    if (set.debug) letters += 'D';
    return letters;
}

TEST(HostSwitchRuns, SwitchesReadAsTheModuleReadsThem) {
    const SwitchCase cases[] = {
        {{}, "V?"},                  // no switch and no job: -V and -?
        {{"-M2", "-PCF"}, "V?"},     // longer arguments are no switches
        {{"-Sjob"}, ""},             // a normal run
        {{"-Sjob", "/a"}, "A"},      // '/' and small letters count too
        {{"?anything"}, "?"},
        {{"-p", "-Y", "-d"}, "PYD"},
        {{"-X", "-Sjob"}, ""},       // no switch letter: positional
    };
    for (const SwitchCase& test : cases) {
        std::string label;
        for (const std::string& argument : test.arguments) label += argument + " ";
        SCOPED_TRACE(label);
        EXPECT_EQ(switchLetters(twcycle::readSwitches(test.arguments)), test.expected);
    }
}

}  // namespace
