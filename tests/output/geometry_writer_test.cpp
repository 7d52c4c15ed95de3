#include "output/geometry_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "framework/channels.h"
#include "framework/event_record.h"
#include "framework/run_faults.h"
#include "platform/writable_file.h"
#include "settings/parameter_list.h"
#include "support/temp_directory.h"

namespace tw {
namespace {

using testing::readFile;
using testing::TempDirectory;
using testing::writeFile;

const char kHead[] =
    "tarnWELL Data Exchange File, text edition 1993.\n"
    "tWX-Version: 1.0\n"
    "Geometry\n"
    "tarnWELL Path Optimizer (Point Lists) 9.50 (a.twx)\n\n";

class GeometryWriter : public ::testing::Test {
protected:
    GeometryWriter() {
        cycle.pcfMode = 1;
        cycle.title = "tarnWELL Path Optimizer (Point Lists)";
        registerChannel(&cycle, 0, nullptr, geoCycleHandler, 1);
        registerChannel(&cycle, 31, nullptr, geoContourHandler, 1);
    }
    ~GeometryWriter() override {
        end();
        releaseChannels(&cycle);
        freeParameters(cycle.parameters);
    }

    void set(const char* name, const char* value) { cycle.parameters = setParameter(cycle.parameters, name, value, 21); }
    void begin() {
        EventRecord record = makeRecord(kCycleBeginRecord, "cycle");
        setRecordText(record, "tarnWELL Path Optimizer (Point Lists) 9.50 (a.twx)");
        emitRecord(&cycle, 0, &record);
    }
    void end() {
        EventRecord record = makeRecord(kCycleEndRecord, "cycleEnd");
        emitRecord(&cycle, 0, &record);
    }

    TempDirectory directory;
    Cycle cycle{};
};

TEST_F(GeometryWriter, WithoutGeoOutNothingIsWritten) {
    begin();
    EXPECT_EQ(geoOutputFile(), nullptr);
    emitContourBegin(&cycle, "c", nullptr);
    emitContourLine(&cycle, "x");
    end();
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
}

TEST_F(GeometryWriter, HeadContoursAndLinesInOrder) {
    set("geoOut", "out.twx");
    begin();
    ASSERT_NE(geoOutputFile(), nullptr);
    emitContourBegin(&cycle, nullptr, nullptr);
    emitContourEnd(&cycle);
    emitContourBegin(&cycle, "HOLES", "");
    emitContourLine(&cycle, "  vstartY(0)\n");
    geoOutputFile()->write("  direct\n");
    emitContourLine(&cycle, "  oP[1]( x[1] )");
    emitContourEnd(&cycle);
    emitContourBegin(&cycle, "", "N=2;L=5");
    emitContourEnd(&cycle);
    end();
    EXPECT_EQ(geoOutputFile(), nullptr);
    EXPECT_EQ(readFile("out.twx"), std::string(kHead) +
                                       "oContour( )\n{\n}\n"
                                       "oContour[HOLES]( )\n{\n  vstartY(0)\n\n  direct\n  oP[1]( x[1] )\n}\n"
                                       "oContour( cmnt[N=2;L=5] )\n{\n}\n");
    EXPECT_FALSE(std::filesystem::exists(pendingOutputName("out.twx")));
}

TEST_F(GeometryWriter, PrecisionLineCopiesTheParameterText) {
    set("geoOut", "out.twx");
    set("precision", "12");
    begin();
    end();
    EXPECT_EQ(readFile("out.twx"), std::string(kHead) + "vprecision(12)\n\n");
}

TEST_F(GeometryWriter, ExistingOutputIsReplacedOnlyWhenTheRunEnds) {
    writeFile("out.twx", "previous content that must survive until the end\n");
    set("geoOut", "out.twx");
    begin();
    // The user's file (which may be the run's own input) is untouched while
    // the run goes on.
    EXPECT_EQ(readFile("out.twx"), "previous content that must survive until the end\n");
    end();
    EXPECT_EQ(readFile("out.twx"), kHead);
}

TEST_F(GeometryWriter, LongLinesAreCutAt254Characters) {
    set("geoOut", "out.twx");
    begin();
    emitContourLine(&cycle, std::string(300, 'a').c_str());
    end();
    EXPECT_EQ(readFile("out.twx"), std::string(kHead) + std::string(254, 'a') + "\n");
}

TEST_F(GeometryWriter, OverlongNameAndCommentAreCutToTheirFields) {
    set("geoOut", "out.twx");
    begin();
    emitContourBegin(&cycle, std::string(400, 'n').c_str(), std::string(600, 'c').c_str());
    end();
    const std::string expected = std::string(kHead) + "oContour[" + std::string(255, 'n') + "]( cmnt[" +
                                 std::string(519 - 5, 'c') + " )\n{\n";
    EXPECT_EQ(readFile("out.twx"), expected);
}

TEST_F(GeometryWriter, RecordsAfterTheCycleEndWriteNothing) {
    set("geoOut", "out.twx");
    begin();
    end();
    emitContourBegin(&cycle, "late", nullptr);
    emitContourLine(&cycle, "late");
    EXPECT_EQ(geoOutputFile(), nullptr);
    EXPECT_EQ(readFile("out.twx"), kHead);
}

TEST_F(GeometryWriter, SecondCycleBeginClosesTheFirstFile) {
    set("geoOut", "first.twx");
    begin();
    emitContourLine(&cycle, "one");
    cycle.parameters = setParameter(cycle.parameters, "geoOut", "second.twx", 21);
    begin();
    emitContourLine(&cycle, "two");
    end();
    EXPECT_EQ(readFile("first.twx"), std::string(kHead) + "one\n");
    EXPECT_EQ(readFile("second.twx"), std::string(kHead) + "two\n");
}

TEST_F(GeometryWriter, UncreatableOutputLeavesNoFile) {
    set("geoOut", "missing-dir/out.twx");
    begin();
    EXPECT_EQ(geoOutputFile(), nullptr);
    emitContourLine(&cycle, "x");
    end();
    EXPECT_FALSE(std::filesystem::exists("missing-dir"));
}

// Write operations of the fixture's file seen by the fault hook, and the
// one that fails (from 1; 0 fails none).
int writeOperations = 0;
int failingOperation = 0;
int failWrite() { return ++writeOperations == failingOperation ? ENOSPC : 0; }

class GeometryWriterFaults : public GeometryWriter {
protected:
    GeometryWriterFaults() {
        writeFile("out.twx", "earlier output\n");
        set("geoOut", "out.twx");
        writeOperations = 0;
        failingOperation = 0;
        platform::setWriteFaultHook(failWrite);
    }
    ~GeometryWriterFaults() override { platform::setWriteFaultHook(nullptr); }

    // Begins, writes two contours of two lines, ends.
    void writeRun() {
        begin();
        for (const char* name : {"A", "B"}) {
            emitContourBegin(&cycle, name, nullptr);
            emitContourLine(&cycle, "  oP[1]( x[1] )");
            emitContourLine(&cycle, "  oP[2]( x[2] )");
            emitContourEnd(&cycle);
        }
        end();
    }
};

// The operations of writeRun: 1 open, 2-5 the head, 6-9 contour A, 10-13
// contour B, 14 the flush and 15 the close at the cycle end.
TEST_F(GeometryWriterFaults, AnyFailingOperationLeavesNeitherTheOutputNorTheEarlierFile) {
    writeRun();
    const int operations = writeOperations;
    ASSERT_EQ(operations, 15);
    for (int failing = 1; failing <= operations; ++failing) {
        writeFile("out.twx", "earlier output\n");
        writeOperations = 0;
        failingOperation = failing;
        writeRun();
        EXPECT_FALSE(std::filesystem::exists("out.twx")) << "operation " << failing;
        EXPECT_FALSE(std::filesystem::exists(pendingOutputName("out.twx"))) << "operation " << failing;
        EXPECT_EQ(geoOutputFile(), nullptr);
    }
}

TEST_F(GeometryWriterFaults, AfterAFailedWriteTheRestOfTheRunWritesNothing) {
    failingOperation = 7;  // the first point line of contour A
    begin();
    emitContourBegin(&cycle, "A", nullptr);
    emitContourLine(&cycle, "  oP[1]( x[1] )");
    ASSERT_NE(geoOutputFile(), nullptr);
    EXPECT_TRUE(geoOutputFile()->failed());
    EXPECT_FALSE(geoOutputFile()->write("  vdirect(1)\n"));
    emitContourLine(&cycle, "  oP[2]( x[2] )");
    emitContourEnd(&cycle);
    EXPECT_EQ(writeOperations, 7);  // nothing was tried after the failure
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
    end();
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
}

TEST_F(GeometryWriterFaults, FailedDirectWriteIsSeenAtTheNextRecord) {
    failingOperation = 6;
    begin();
    EXPECT_FALSE(geoOutputFile()->write("  vdirect(1)\n"));
    EXPECT_TRUE(std::filesystem::exists("out.twx.part"));
    emitContourEnd(&cycle);
    EXPECT_FALSE(std::filesystem::exists("out.twx.part"));
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
}

TEST_F(GeometryWriterFaults, OutputThatIsTheSourceIsNeverRemoved) {
    set("sourceGeometry", "out.twx");
    for (const int failing : {1, 3, 8, 15}) {
        writeOperations = 0;
        failingOperation = failing;
        writeRun();
        EXPECT_EQ(readFile("out.twx"), "earlier output\n") << "operation " << failing;
        EXPECT_FALSE(std::filesystem::exists(pendingOutputName("out.twx")));
    }
}

TEST_F(GeometryWriterFaults, RunShortOfMemoryPublishesNoOutput) {
    begin();
    emitContourLine(&cycle, "  oP[1]( x[1] )");
    noteRunFault();
    end();
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
    EXPECT_FALSE(std::filesystem::exists(pendingOutputName("out.twx")));
    // The next run is not held responsible for that fault.
    writeRun();
    EXPECT_NE(readFile("out.twx").find("oContour[B]"), std::string::npos);
}

TEST_F(GeometryWriterFaults, AbandonedOutputOfAStoppedRunIsRemoved) {
    begin();
    emitContourLine(&cycle, "  oP[1]( x[1] )");
    abandonGeometryOutput();
    EXPECT_EQ(geoOutputFile(), nullptr);
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
    EXPECT_FALSE(std::filesystem::exists(pendingOutputName("out.twx")));
}

}  // namespace
}  // namespace tw
