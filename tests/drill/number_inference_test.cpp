// Which zeros and digits a file's implied-decimal numbers are read with,
// when the file leaves them open, and the options that overrule it.
#include "twcycle/drill/number_inference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "twcycle/drill/excellon_reader.h"

namespace {

using namespace twcycle::drill;

ExcellonOptions options(const char* zeros, const char* digits) {
    ExcellonOptions result;
    if (std::string(zeros) == "leading") result.numbers.zeros = ZeroMode::Leading;
    if (std::string(zeros) == "trailing") result.numbers.zeros = ZeroMode::Trailing;
    if (*digits) result.numbers.digits = readDigitsOption(digits);
    return result;
}

TEST(NumberInference, ZerosAndDigitsComeFromTheNumbersWhenTheFileIsSilent) {
    struct Case {
        const char* label;
        const char* body;     // after "M48\nINCH\n%\nT1\n"
        const char* zeros;    // --zeros, or ""
        const char* digits;   // --digits, or ""
        ZeroMode read;        // the zeros the numbers are read with
        const char* format;   // the digits
        const char* note;     // part of the only note, or "" for none
        const char* firstX;   // the first hole's X, exact
    };
    const ZeroMode lz = ZeroMode::Leading;
    const ZeroMode tz = ZeroMode::Trailing;
    const Case cases[] = {
        {"leading proof", "X0125Y25\nX25Y0125\n", "", "", lz, "2.4",
         "line 5: \"X0125Y25\": the file does not say LZ or TZ, and this number starts with 0", "1.25"},
        {"trailing proof", "X1250Y25\nX25Y12345\n", "", "", tz, "2.4",
         "line 5: \"X1250Y25\": the file does not say LZ or TZ, and this number is shorter than the widest number "
         "(line 6)", "0.125"},
        {"equal widths", "X1250Y2500\nX2512Y1250\n", "", "", tz, "2.4",
         "every number has 4 digits, so either reading gives the same order", "0.125"},
        {"every digit", "X012500Y250000\nX251200Y012500\n", "", "", lz, "2.4", "starts with 0", "1.25"},
        {"no proof", "X125Y25\nX25Y125\n", "", "", tz, "2.4", "no number starts with 0 and no shorter", "0.0125"},
        {"widened", "X0127343Y0168938\nX0592381Y0314462\n", "", "", lz, "2.5",
         "line 5: \"X0127343Y0168938\": the file gives no digit format and this number has 7 digits: read as 2.5",
         "1.27343"},
        {"zeros option", "X0125Y25\nX25Y0125\n", "trailing", "", tz, "2.4", "", "0.0125"},
        {"digits option", "X0125Y25\nX25Y0125\n", "", "3.3", lz, "3.3", "starts with 0", "12.5"},
        {"both options", "X125Y2500\nX0125Y25\n", "leading", "1.5", lz, "1.5", "", "1.25"},
        {"all zeros show nothing", "X0Y00\nX0000Y0\n", "", "", ZeroMode::Unknown, "2.4", "", "0"},
        {"decimal points need nothing", "X1.25Y2.5\n", "", "", ZeroMode::Unknown, "2.4", "", "1.25"},
    };
    for (const Case& c : cases) {
        const DrillReading reading =
            readExcellon(std::string("M48\nINCH\n%\nT1\n") + c.body + "M30\n", options(c.zeros, c.digits));
        ASSERT_EQ(reading.error, "") << c.label;
        const DrillFile& file = reading.file;
        EXPECT_EQ(file.numbers.zeros, c.read) << c.label;
        EXPECT_EQ(digitsText(file.numbers), c.format) << c.label;
        if (*c.note) {
            ASSERT_FALSE(file.notes.empty()) << c.label;
            bool found = false;
            for (const std::string& note : file.notes) found = found || note.find(c.note) != std::string::npos;
            EXPECT_TRUE(found) << c.label << ": " << file.notes.front();
        } else {
            EXPECT_TRUE(file.notes.empty()) << c.label << ": " << file.notes.front();
        }
        ASSERT_FALSE(file.holes.empty()) << c.label;
        EXPECT_EQ(exactDecimal(file.holes.front().x), c.firstX) << c.label;
    }
}

TEST(NumberInference, ContradictionsRefuseNamingTheLineAndTheOption) {
    struct Case {
        const char* label;
        const char* content;
        const char* zeros;
        const char* digits;
        const char* error;  // part of the message; "" when the options settle it
    };
    const Case cases[] = {
        {"both proofs", "M48\nINCH\n%\nT1\nX0125Y01\nX9250Y4064\nX12100Y5314\n", "", "",
         "line 6: \"X9250Y4064\": a number that is shorter than the widest number (line 7) and ends in 0, which only "
         "a file that keeps trailing zeros writes, while line 5 has one that starts with 0"},
        {"both proofs, settled", "M48\nINCH\n%\nT1\nX0125Y01\nX9250Y4064\nX12100Y5314\n", "leading", "", ""},
        {"the header says LZ", "M48\nINCH,LZ\n%\nT1\nX1250Y25\nX25Y12345\n", "", "",
         "line 5: \"X1250Y25\": a number that is shorter than the widest number (line 6) and ends in 0, which only a "
         "file that keeps trailing zeros writes, but line 2: INCH,LZ says LZ; --zeros leading or --zeros trailing "
         "settles it"},
        {"the header says TZ", "M48\nINCH,TZ\n%\nT1\nX0125Y25\nX25Y125\n", "", "",
         "line 5: \"X0125Y25\": a number that starts with 0, which only a file that keeps leading zeros writes, but "
         "line 2: INCH,TZ says TZ; --zeros"},
        {"the header says TZ, settled", "M48\nINCH,TZ\n%\nT1\nX0125Y25\nX25Y125\n", "leading", "", ""},
        {"every digit agrees with any header", "M48\nINCH,TZ\n%\nT1\nX012500Y250000\n", "", "", ""},
        {"wider than the stated format", "M48\n;FILE_FORMAT=2:4\nINCH,LZ\n%\nT1\nX0125000Y01\n", "", "",
         "line 6: \"X0125000Y01\": a number of 7 digits, more than the 2.4 format of line 2: ;FILE_FORMAT=2:4 allows "
         "(--digits I.D reads"},
        {"wider than the stated format, settled", "M48\n;FILE_FORMAT=2:4\nINCH,LZ\n%\nT1\nX0125000Y01\n", "", "3.4",
         ""},
        {"wider than --digits", "M48\nINCH,LZ\n%\nT1\nX0125000Y01\n", "", "2.4",
         "line 5: \"X0125000Y01\": a number of 7 digits, more than --digits 2.4 allows"},
        {"longer than any format", "M48\nINCH,LZ\n%\nT1\nX0123456789012345678Y01\n", "", "",
         "a number with more than 18 digits"},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(c.content, options(c.zeros, c.digits));
        if (*c.error) {
            EXPECT_NE(reading.error.find(c.error), std::string::npos) << c.label << "\n  gives: " << reading.error;
            EXPECT_TRUE(reading.file.holes.empty()) << c.label;
        } else {
            EXPECT_EQ(reading.error, "") << c.label;
        }
    }
}

TEST(NumberInference, TheInferenceDoesNotDependOnTheOrderOfTheHoles) {
    // The read-back check reads the reordered file again: it must read the same.
    const char* forward = "M48\nM72\n%\nT1\nX9250Y4064\nX12100Y5314\nX8125Y625\nM30\n";
    const char* backward = "M48\nM72\n%\nT1\nX8125Y625\nX12100Y5314\nX9250Y4064\nM30\n";
    const DrillReading a = readExcellon(forward);
    const DrillReading b = readExcellon(backward);
    ASSERT_EQ(a.error, "");
    ASSERT_EQ(b.error, "");
    EXPECT_EQ(a.file.numbers.zeros, b.file.numbers.zeros);
    EXPECT_EQ(digitsText(a.file.numbers), digitsText(b.file.numbers));
    EXPECT_EQ(a.file.holes[0].x.value, b.file.holes[2].x.value);
}

TEST(NumberInference, DigitsOptionText) {
    EXPECT_EQ(digitsText(*readDigitsOption("2.4")), "2.4");
    EXPECT_EQ(digitsText(*readDigitsOption("0.6")), "0.6");
    for (const char* wrong : {"", "24", "2.", ".4", "0.0", "10.4", "2.4.", "a.b", "2:4"})
        EXPECT_FALSE(readDigitsOption(wrong).has_value()) << wrong;
}

}  // namespace
