#include "twbatch/output_compare.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_directory.h"
#include "twbatch/batch_run.h"
#include "twbatch/job_set.h"

namespace twbatch {
namespace {

struct LineEndCase {
    const char* text;
    LineEnds ends;
    bool expected;
};

TEST(LineEnds, EveryLineMustEndTheSameWay) {
    const LineEndCase cases[] = {
        {"a\nb\n", LineEnds::lf, true},         {"a\r\nb\r\n", LineEnds::crlf, true},
        {"a\r\nb\n", LineEnds::crlf, false},    {"a\nb\r\n", LineEnds::lf, false},
        {"a\rb\r\n", LineEnds::crlf, false},    {"a\r\nb\r", LineEnds::crlf, false},
        {"\n", LineEnds::crlf, false},          {"", LineEnds::crlf, true},
        {"no end", LineEnds::crlf, true},       {"a\r\n\r\n", LineEnds::crlf, true},
    };
    for (const LineEndCase& c : cases) {
        EXPECT_EQ(endsEveryLineWith(c.text, c.ends), c.expected) << '"' << c.text << '"';
    }
}

TEST(LineEnds, OnlyCrLfPairsBecomeLf) {
    EXPECT_EQ(withLfLineEnds("a\r\nb\r\r\nc\rd\n"), "a\nb\r\nc\rd\n");
    EXPECT_EQ(withLfLineEnds("\r"), "\r");
}

const std::string kOutput =
    "head\n\noContour[C1-Path]( )\n{\n oM( x[/0.0] y[/0.0] )\n}\n"
    "oContour[C1]( cmnt[N=3;L=2.5] )\n{\n  oP[3]( x[1] y[0] z[0] )\n  oP[1]( x[2] )\n  oP[2]( x[3] )\n}\n"
    "oContour[C2]( cmnt[N=1;L=0] )\n{\n  oP[4]( x[0] )\n}\n";

TEST(OutputSummary, OrderAndLengthsInFileOrder) {
    const OutputSummary summary = summarizeOutput(kOutput);
    EXPECT_EQ(summary.order, (std::vector<std::string>{"3", "1", "2", "4"}));
    EXPECT_EQ(summary.lengths, (std::vector<std::string>{"2.5", "0"}));
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string crlf(const std::string& text) {
    std::string result;
    for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

TEST(CompareOutputs, NamesWhatDiffers) {
    struct Case {
        const char* name;
        std::string other;
        LineEnds ends;
        bool lineEnds, file, order, length;
    };
    const Case cases[] = {
        {"same text, CR LF", crlf(kOutput), LineEnds::crlf, false, false, false, false},
        {"same text, LF", kOutput, LineEnds::lf, false, false, false, false},
        {"LF where CR LF was due", kOutput, LineEnds::crlf, true, false, false, false},
        {"two points swapped", crlf(replaced(replaced(kOutput, "oP[1]", "oP[X]"), "oP[2]", "oP[1]")),
         LineEnds::crlf, false, true, true, false},
        {"a length in the last digit", crlf(replaced(kOutput, "L=2.5", "L=2.6")), LineEnds::crlf, false, true, false,
         true},
        {"a coordinate only", crlf(replaced(kOutput, "x[3]", "x[4]")), LineEnds::crlf, false, true, false, false},
    };
    for (const Case& c : cases) {
        const RunDifference difference = compareOutputs(kOutput, c.other, c.ends);
        EXPECT_EQ(difference.lineEnds, c.lineEnds) << c.name;
        EXPECT_EQ(difference.file, c.file) << c.name;
        EXPECT_EQ(difference.order, c.order) << c.name;
        EXPECT_EQ(difference.length, c.length) << c.name;
        EXPECT_EQ(difference.any(), c.lineEnds || c.file || c.order || c.length) << c.name;
    }
}

// Two job trees of `jobs` jobs in which every run was accepted and wrote
// kOutput (the other tree with CR LF).
void writeRunTrees(const std::filesystem::path& root, int jobs) {
    for (int i = 0; i < jobs; ++i) {
        for (const char* side : {"reference", "other"}) {
            const std::filesystem::path folder = root / side / jobFolderName(i);
            std::filesystem::create_directories(folder);
            std::string runs;
            for (const char* algorithm : kAlgorithmNames) {
                runs += std::string(algorithm) + " 1\n";
                tw::testing::writeFile(folder / (std::string(algorithm) + ".twx"),
                                       std::string(side) == "other" ? crlf(kOutput) : kOutput);
            }
            tw::testing::writeFile(folder / "runs.txt", runs);
        }
    }
}

TEST(CompareJobSets, CountsEveryKindOfDifferencePerAlgorithm) {
    tw::testing::TempDirectory directory;
    writeRunTrees(directory.path(), 3);
    const std::filesystem::path other = directory.path() / "other";
    EXPECT_TRUE(compareJobSets(directory.path() / "reference", other, LineEnds::crlf).clean());

    tw::testing::writeFile(other / "job001/insert.twx", crlf(replaced(kOutput, "L=2.5", "L=2.6")));
    tw::testing::writeFile(other / "job002/insert.twx", kOutput);  // LF where CR LF was due
    std::filesystem::remove(other / "job002/nearest.twx");
    tw::testing::writeFile(other / "job000/runs.txt", "nearest 0\n");  // refused, the rest unrecorded

    const Comparison comparison = compareJobSets(directory.path() / "reference", other, LineEnds::crlf);
    EXPECT_FALSE(comparison.clean());
    EXPECT_EQ(comparison.jobs, 3);
    EXPECT_EQ(comparison.jobsDiffering, 3);
    const Tally& insert = comparison.byAlgorithm.at("insert");
    EXPECT_EQ(insert.runs, 3);
    EXPECT_EQ(insert.lengths, 1);
    EXPECT_EQ(insert.files, 1);
    EXPECT_EQ(insert.lineEnds, 1);
    EXPECT_EQ(insert.missing, 1);  // job000 has no run line for it
    const Tally& nearest = comparison.byAlgorithm.at("nearest");
    EXPECT_EQ(nearest.status, 1);
    EXPECT_EQ(nearest.missing, 1);
    EXPECT_EQ(comparison.byAlgorithm.at("extendedB").missing, 1);
}

TEST(CompareJobSets, RefusedOrEmptyReferenceProvesNothing) {
    tw::testing::TempDirectory directory;
    EXPECT_FALSE(compareJobSets(directory.path() / "none", directory.path() / "none", LineEnds::lf).clean());
    writeRunTrees(directory.path(), 1);
    std::string refused;
    for (const char* algorithm : kAlgorithmNames) refused += std::string(algorithm) + " 0\n";
    for (const char* side : {"reference", "other"}) {
        tw::testing::writeFile(directory.path() / side / "job000/runs.txt", refused);
    }
    const Comparison comparison =
        compareJobSets(directory.path() / "reference", directory.path() / "other", LineEnds::crlf);
    EXPECT_FALSE(comparison.clean());
    EXPECT_EQ(comparison.byAlgorithm.at("insert").missing, 1);
}

TEST(RunJobSet, MissingModuleIsAnErrorNotAnEmptyRun) {
    tw::testing::TempDirectory directory;
    std::string error;
    EXPECT_EQ(runJobSet((directory.path() / "no-such-module").string(), directory.path(), error), -1);
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
}

TEST(RunJobSet, RunsEveryAlgorithmInEveryJobThroughTheModule) {
    tw::testing::TempDirectory directory;
    std::string error;
    ASSERT_TRUE(writeJobSet(directory.path() / "set", 2, 7, error)) << error;
    ASSERT_EQ(runJobSet(TW_MODULE_PATH, directory.path() / "set", error), static_cast<int>(2 * kAlgorithmNames.size())) << error;
    for (const char* job : {"job000", "job001"}) {
        const std::string runs = tw::testing::readFile(directory.path() / "set" / job / "runs.txt");
        for (const char* algorithm : kAlgorithmNames) {
            EXPECT_NE(runs.find(std::string(algorithm) + " 1\n"), std::string::npos) << job << ": " << runs;
            const std::string output =
                tw::testing::readFile(directory.path() / "set" / job / (std::string(algorithm) + ".twx"));
            EXPECT_EQ(summarizeOutput(output).order.size(),
                      summarizeOutput(tw::testing::readFile(directory.path() / "set" / job / "source.twx"))
                          .order.size())
                << job << '/' << algorithm;
        }
    }
}

}  // namespace
}  // namespace twbatch
