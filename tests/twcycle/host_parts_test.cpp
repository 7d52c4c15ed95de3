// Parts of the twcycle program that a run through the program cannot reach
// reliably: the argument rules, the head-comment reading and the progress
// counter (which only runs on a terminal).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "twcycle/job/job_settings.h"
#include "twcycle/job/output_check.h"
#include "twcycle/report/progress.h"
#include "twcycle/job/result_file.h"

namespace {

struct ArgumentCase {
    std::vector<std::string> arguments;
    bool normalRun;
    const char* settingsSource;
};

TEST(HostArguments, NormalRunOnlyWithAJobAndNoSwitch) {
    const ArgumentCase cases[] = {
        {{"-Sjob"}, true, "job"},
        {{"/sjob.pcf"}, true, "job.pcf"},
        {{"-Sfirst", "-Ssecond"}, true, "second"},
        {{"-M3", "-PCF", "-Sjob", "extra"}, true, "job"},
        {{"-S"}, false, ""},              // two characters: a positional argument
        {{}, false, ""},                  // the default switch run
        {{"-Sjob", "-V"}, false, "job"},
        {{"-Sjob", "/y"}, false, "job"},
        {{"-Sjob", "-d"}, false, "job"},
        {{"?anything", "-Sjob"}, false, "job"},
        {{"-Sjob", "-?x"}, true, "job"},  // three characters: positional
        {{"-Sjob", "-X"}, true, "job"},   // no switch letter: positional
    };
    for (const ArgumentCase& test : cases) {
        std::string label;
        for (const std::string& argument : test.arguments) label += argument + " ";
        SCOPED_TRACE(label);
        const twcycle::RunRequest request = twcycle::classifyArguments(test.arguments);
        EXPECT_EQ(request.normalRun, test.normalRun);
        EXPECT_EQ(request.settingsSource, test.settingsSource);
    }
}

TEST(HostArguments, JobKindFromTheName) {
    EXPECT_EQ(twcycle::readJobSettings("twPntOpt", "job.cfg").kind, twcycle::JobKind::CfgFile);
    // ".CFG" alone is not a .CFG job: the name must be longer than the extension.
    EXPECT_EQ(twcycle::readJobSettings("twPntOpt", ".CFG").kind, twcycle::JobKind::ParameterFile);
    EXPECT_EQ(twcycle::readJobSettings("twPntOpt", "| stdin").kind, twcycle::JobKind::StandardInput);
}

struct CommentCase {
    const char* comment;
    bool parsed;
    int count;
    const char* length;
};

TEST(HostResultFile, HeadComment) {
    const CommentCase cases[] = {
        {"N=12;L=345.678", true, 12, "345.678"},
        {"N=1;L=0", true, 1, "0"},
        {"N=0;L=", true, 0, ""},
        {"N=;L=1", false, 0, ""},
        {"N=3", false, 0, ""},
        {"N=-1;L=2", false, 0, ""},
        {"N=99999999999;L=2", false, 0, ""},  // beyond int: refused, not wrapped
        {" N=3;L=2", false, 0, ""},
        {"1.0 mm component leads", false, 0, ""},
    };
    for (const CommentCase& test : cases) {
        SCOPED_TRACE(test.comment);
        int count = 0;
        std::string length;
        EXPECT_EQ(twcycle::parseContourComment(test.comment, count, length), test.parsed);
        if (!test.parsed) continue;
        EXPECT_EQ(count, test.count);
        EXPECT_EQ(length, test.length);
    }
}

class GrowingFile {
public:
    GrowingFile() : path_(std::filesystem::temp_directory_path() / ("twcycle-grow-" + std::to_string(::getpid()))) {
        std::filesystem::remove(path_);
    }
    ~GrowingFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    void append(const std::string& text) const {
        std::ofstream file(path_, std::ios::binary | std::ios::app);
        file << text;
    }
    void replace(const std::string& text) const {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        file << text;
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

TEST(HostProgress, CountsOrderedContourHeadsAsTheFileGrows) {
    GrowingFile file;
    twcycle::ContourHeadCounter counter;
    counter.poll(file.path());  // not there yet
    EXPECT_EQ(counter.count(), 0u);

    file.append("tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nt\n\n");
    file.append("oContour[A-Path]( )\n{\n oM( x[/0.000] y[/0.000] z[/0] )\n}\noCont");
    counter.poll(file.path());
    EXPECT_EQ(counter.count(), 0u);  // the plotting contour is no ordered contour

    // A head split between two polls is counted once, when its line is complete.
    file.append("our[A]( cmnt[N=2;L=5");
    counter.poll(file.path());
    EXPECT_EQ(counter.count(), 0u);
    file.append("] )\n{\n  vnote(x( cmnt[N=1;L=1])\n  oP[1]( x[1] )\n}\n");
    counter.poll(file.path());
    EXPECT_EQ(counter.count(), 1u);  // the value line is no contour head

    file.append("oContour( cmnt[N=1;L=0] )\r\n{\r\n}\r\n");
    counter.poll(file.path());
    counter.poll(file.path());  // nothing new: nothing counted twice
    EXPECT_EQ(counter.count(), 2u);

    // A file written anew from the start is counted anew.
    file.replace("oContour[B]( cmnt[N=1;L=0] )\n");
    counter.poll(file.path());
    EXPECT_EQ(counter.count(), 1u);
}

TEST(HostProgress, LineText) {
    EXPECT_EQ(twcycle::progressLine(3, 12, 4.26), "3/12 contours written, 4.3 s");
    EXPECT_EQ(twcycle::progressLine(0, 0, 1.0), "0/0 contours written, 1.0 s");
    EXPECT_EQ(twcycle::progressLine(5, std::nullopt, 12.04), "5 contours written, 12.0 s");
}

struct CauseCase {
    bool folderExists;
    std::optional<std::uintmax_t> freeBytes;
    std::uintmax_t sourceBytes;
    twcycle::WriteFailure cause;
};

TEST(HostOutputCheck, WriteFailureCauseFromTheRoomLeft) {
    using twcycle::WriteFailure;
    const CauseCase cases[] = {
        {false, 1u << 30, 100, WriteFailure::MissingFolder},
        {true, 49152, 120000, WriteFailure::DiskFull},    // less room than the source takes
        {true, 120000, 120000, WriteFailure::WriteError},
        {true, 4095, 0, WriteFailure::DiskFull},          // nearly nothing left, source unknown
        {true, 4096, 0, WriteFailure::WriteError},
        {true, std::nullopt, 120000, WriteFailure::WriteError},  // room unknown
    };
    for (const CauseCase& test : cases) {
        EXPECT_EQ(twcycle::classifyWriteFailure(test.folderExists, test.freeBytes, test.sourceBytes), test.cause)
            << test.folderExists << " " << test.freeBytes.value_or(0) << " " << test.sourceBytes;
    }
}

}  // namespace
